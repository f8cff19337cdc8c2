#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

// Writes the whole file and flushes it to the disk; false on any failure.
bool WriteSynced(const fs::path& path, const std::string& contents) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const char* at = contents.data();
  size_t left = contents.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, at, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    at += n;
    left -= size_t(n);
  }
  const bool synced = left == 0 && ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

// Makes a rename inside the folder durable. Best effort: some file systems
// cannot sync a folder, and the file itself is already on the disk.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

void SetProgramFolder(const fs::path& folder) { ProgramFolderStorage() = folder; }

const fs::path& ProgramFolder() { return ProgramFolderStorage(); }

fs::path Resolve(const std::string& path) { return ResolveIn(ProgramFolder(), path); }

fs::path ResolveIn(const fs::path& base, const std::string& path) {
  bool absolute = !path.empty() && (path[0] == '/' || path[0] == '\\');
  fs::path result = absolute ? fs::path("/") : base;
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
  fs::path temp = path;
  temp += ".tmp";
  bool written = WriteSynced(temp, contents);
  std::error_code ec;
  if (written) {
    fs::rename(temp, path, ec);
    if (!ec) {
      SyncFolder(path.parent_path());
      return true;
    }
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

bool IsSafeFileName(const std::string& name) {
  if (name.empty() || name.find("..") != std::string::npos) return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F || std::strchr("/\\<>:\"|?*", c) != nullptr;
  });
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
