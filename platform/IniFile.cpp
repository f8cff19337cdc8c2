#include "platform/IniFile.h"
#include "platform/Text.h"

#include <charconv>
#include <climits>
#include <cstdint>
#include <system_error>

#include "platform/Files.h"

namespace rodavia {

namespace {

constexpr size_t kMaxValueLength = 2047;

// The name of a "[name]" line, or false when the line is not a section header.
// The name ends at the line's last "]", so a name holding "]" (a circuit
// called "Pista [2]") is found again after it was written.
bool SectionHeader(const std::string& line, std::string& name) {
  std::string t = TrimBlanks(line);
  if (t.empty() || t[0] != '[') return false;
  size_t close = t.rfind(']');
  if (close == std::string::npos) return false;
  name = TrimBlanks(t.substr(1, close - 1));
  return true;
}

// The key of a "key=value" line, or false for blank lines, comments and
// anything else without "=".
bool KeyOf(const std::string& line, std::string& key) {
  std::string t = TrimBlanks(line);
  if (t.empty() || t[0] == ';') return false;
  size_t eq = t.find('=');
  if (eq == std::string::npos) return false;
  key = TrimBlanks(t.substr(0, eq));
  return true;
}

// A line break inside a written value would split it into lines of its own
// (and could forge keys); blanks take their place.
std::string SingleLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits of `text` from `pos` in the given base; false when there are none or
// the value leaves the range of long long.
bool ParseDigits(const std::string& text, size_t pos, int base, bool negative, long long& value) {
  if (pos >= text.size()) return false;
  unsigned long long magnitude = 0;
  auto [end, ec] = std::from_chars(text.data() + pos, text.data() + text.size(), magnitude, base);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  if (negative) {
    if (magnitude > static_cast<unsigned long long>(LLONG_MAX) + 1) return false;
    value = magnitude == static_cast<unsigned long long>(LLONG_MAX) + 1 ? LLONG_MIN
                                                                        : -static_cast<long long>(magnitude);
  } else {
    if (magnitude > static_cast<unsigned long long>(LLONG_MAX)) return false;
    value = static_cast<long long>(magnitude);
  }
  return true;
}

}  // namespace

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {
  std::error_code ec;
  if (!std::filesystem::exists(path_, ec)) return;
  std::vector<uint8_t> bytes;
  if (!files::ReadAll(path_, bytes)) {
    readable_ = false;
    return;
  }
  std::string text(bytes.begin(), bytes.end());
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);  // UTF-8 byte order mark
  size_t start = 0;
  while (start < text.size()) {
    size_t nl = text.find('\n', start);
    if (nl == std::string::npos) nl = text.size();
    std::string line = text.substr(start, nl - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(std::move(line));
    start = nl + 1;
  }
}

int IniFile::findSection(const std::string& section) const {
  std::string name;
  for (size_t i = 0; i < lines_.size(); ++i)
    if (SectionHeader(lines_[i], name) && files::EqualNoCase(name, TrimBlanks(section))) return int(i);
  return -1;
}

int IniFile::findKey(int sectionLine, const std::string& key) const {
  std::string name;
  for (size_t i = size_t(sectionLine) + 1; i < lines_.size(); ++i) {
    if (SectionHeader(lines_[i], name)) break;
    if (KeyOf(lines_[i], name) && files::EqualNoCase(name, TrimBlanks(key))) return int(i);
  }
  return -1;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def) const {
  int s = findSection(section);
  int k = s < 0 ? -1 : findKey(s, key);
  if (k < 0) return def;
  const std::string& line = lines_[size_t(k)];
  std::string value = TrimBlanks(line.substr(line.find('=') + 1));
  if (value.size() > kMaxValueLength) value.resize(kMaxValueLength);
  return value;
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  long long value = 0;
  if (!ParseInteger(ReadString(section, key, ""), value)) return def;
  if (value < INT_MIN || value > INT_MAX) return def;
  return int(value);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::ReadReal(const std::string& section, const std::string& key, double def) const {
  double value = 0;
  return ParseReal(ReadString(section, key, ""), value) ? value : def;
}

bool IniFile::HasKey(const std::string& section, const std::string& key) const {
  int s = findSection(section);
  return s >= 0 && findKey(s, key) >= 0;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  std::string line = SingleLine(TrimBlanks(key)) + "=" + SingleLine(value);
  dirty_ = true;
  int s = findSection(section);
  if (s < 0) {
    // Appended piece by piece: g++ 12 gives a false -Wrestrict on "[" + name.
    std::string header = "[";
    header += SingleLine(TrimBlanks(section));
    header += ']';
    lines_.push_back(header);
    lines_.push_back(line);
    return;
  }
  int k = findKey(s, key);
  if (k >= 0) {
    lines_[size_t(k)] = line;
    return;
  }
  // After the section's last non-blank line, so blank lines that part it from
  // the next section stay where they are.
  size_t insertAt = size_t(s) + 1;
  std::string name;
  for (size_t i = size_t(s) + 1; i < lines_.size() && !SectionHeader(lines_[i], name); ++i)
    if (!TrimBlanks(lines_[i]).empty()) insertAt = i + 1;
  lines_.insert(lines_.begin() + std::ptrdiff_t(insertAt), line);
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, long long value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void IniFile::WriteReal(const std::string& section, const std::string& key, double value) {
  WriteString(section, key, FormatReal(value));
}

std::vector<std::string> IniFile::SectionNames() const {
  std::vector<std::string> names;
  std::string name;
  for (const std::string& line : lines_) {
    if (!SectionHeader(line, name)) continue;
    bool seen = false;
    for (const std::string& n : names) seen = seen || files::EqualNoCase(n, name);
    if (!seen) names.push_back(name);
  }
  return names;
}

bool IniFile::Flush() {
  if (!dirty_) return true;
  // Rewriting a file we could not read would throw its contents away.
  if (!readable_) return false;
  std::string text;
  for (const std::string& line : lines_) text += line + "\r\n";
  if (!files::WriteAtomic(path_, text)) return false;
  dirty_ = false;
  return true;
}

bool IniFile::ParseInteger(const std::string& text, long long& value) {
  std::string t = TrimBlanks(text);
  size_t pos = 0;
  bool negative = false;
  if (pos < t.size() && (t[pos] == '+' || t[pos] == '-')) negative = t[pos++] == '-';
  if (pos < t.size() && t[pos] == '$') return ParseDigits(t, pos + 1, 16, negative, value);
  if (pos + 1 < t.size() && t[pos] == '0' && (t[pos + 1] == 'x' || t[pos + 1] == 'X'))
    return ParseDigits(t, pos + 2, 16, negative, value);
  return ParseDigits(t, pos, 10, negative, value);
}

bool IniFile::ParseReal(const std::string& text, double& value) {
  std::string t = TrimBlanks(text);
  // Checked by hand so that only plain decimal forms pass ("inf", "nan" and
  // hexadecimal floats do not): sign, digits, one separator, exponent.
  std::string normal;
  size_t pos = 0;
  if (pos < t.size() && (t[pos] == '+' || t[pos] == '-')) {
    if (t[pos] == '-') normal += '-';
    ++pos;
  }
  int digits = 0;
  bool separator = false;
  for (; pos < t.size(); ++pos) {
    char c = t[pos];
    if (IsDigit(c)) {
      ++digits;
    } else if ((c == '.' || c == ',') && !separator) {
      separator = true;
      c = '.';
    } else {
      break;
    }
    normal += c;
  }
  if (digits == 0) return false;
  if (pos < t.size() && (t[pos] == 'e' || t[pos] == 'E')) {
    normal += 'e';
    ++pos;
    if (pos < t.size() && (t[pos] == '+' || t[pos] == '-')) normal += t[pos++];
    size_t expStart = pos;
    while (pos < t.size() && IsDigit(t[pos])) normal += t[pos++];
    if (pos == expStart) return false;
  }
  if (pos != t.size()) return false;
  double parsed = 0;
  auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), parsed);
  if (ec != std::errc() || end != normal.data() + normal.size()) return false;
  value = parsed;
  return true;
}

std::string IniFile::FormatReal(double value) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

}  // namespace rodavia
