#include "platform/Files.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <fstream>
#include <iterator>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace rodavia::files {

namespace {

fs::path& ProgramFolderStorage() {
  static fs::path folder = fs::current_path();
  return folder;
}

char Lower(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }

// The entry of `folder` named `name`: the exact name when it exists, else the
// first entry equal without regard to case, else the name as written.
fs::path MatchComponent(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  if (fs::exists(folder / name, ec)) return folder / name;
  fs::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (EqualNoCase(entry, name)) return it->path();
  }
  return folder / name;
}

// Split on both "\" and "/", dropping empty parts.
std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// True when `name` matches a mask of the form "*", "*.ext" or an exact name,
// without regard to case.
bool MatchesMask(const std::string& name, const std::string& mask) {
  if (mask == "*" || mask == "*.*") return true;
  if (mask.size() >= 1 && mask[0] == '*') {
    std::string tail = mask.substr(1);
    return name.size() >= tail.size() &&
           EqualNoCase(name.substr(name.size() - tail.size()), tail);
  }
  return EqualNoCase(name, mask);
}

}  // namespace

void SetProgramFolder(const fs::path& folder) { ProgramFolderStorage() = folder; }

const fs::path& ProgramFolder() { return ProgramFolderStorage(); }

fs::path Resolve(const std::string& path) {
  bool absolute = !path.empty() && (path[0] == '/' || path[0] == '\\');
  fs::path result = absolute ? fs::path("/") : ProgramFolder();
  for (const std::string& part : SplitPath(path)) {
    if (part == "." || part == "..") {
      result /= part;
      continue;
    }
    result = MatchComponent(result, part);
  }
  return result;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(Resolve(path), ec);
}

bool CreateFolder(const std::string& path) {
  fs::path target = Resolve(path);
  std::error_code ec;
  fs::create_directories(target, ec);
  return fs::is_directory(target, ec);
}

std::vector<std::string> List(const std::string& folder, const std::string& mask) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(Resolve(folder), ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    std::string name = it->path().filename().string();
    if (MatchesMask(name, mask)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), LessNoCase);
  return names;
}

bool ReadAll(const fs::path& path, std::vector<uint8_t>& bytes) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteAtomic(const fs::path& path, const std::string& contents) {
  // Unique per process and per call, so concurrent writers never share one.
  static std::atomic<unsigned> serial{0};
  fs::path temp = path;
  temp += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
  bool written = false;
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (out) {
      out.write(contents.data(), std::streamsize(contents.size()));
      out.flush();
      written = bool(out);
    }
  }
  std::error_code ec;
  if (written) {
    fs::rename(temp, path, ec);
    if (!ec) return true;
  }
  fs::remove(temp, ec);
  return false;
}

bool Delete(const std::string& path) {
  std::error_code ec;
  fs::path target = Resolve(path);
  if (!fs::is_regular_file(target, ec)) return false;
  return fs::remove(target, ec);
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(),
      [](char x, char y) { return static_cast<unsigned char>(Lower(x)) < static_cast<unsigned char>(Lower(y)); });
}

}  // namespace rodavia::files
