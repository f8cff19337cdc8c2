#include "platform/Text.h"

#include <cstdio>

namespace rodavia {

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

std::string TrimBlanks(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string Utf8Prefix(const std::string& text, size_t count) {
  size_t end = 0;
  for (size_t characters = 0; end < text.size(); ++end) {
    const bool continuation = (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80;
    if (!continuation && characters++ == count) break;
  }
  return text.substr(0, end);
}

std::string ValidUtf8(const std::string& text) {
  std::string valid;
  valid.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b = byte(i);
    size_t length = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    if (length > 1 && i + length <= text.size()) {
      // The second byte's range rules out overlong forms, surrogates and
      // code points above U+10FFFF.
      const unsigned char lo = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
      const unsigned char hi = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
      bool ok = byte(i + 1) >= lo && byte(i + 1) <= hi;
      for (size_t k = 2; ok && k < length; ++k) ok = (byte(i + k) & 0xC0) == 0x80;
      if (!ok) length = 0;
    } else if (length > 1) {
      length = 0;
    }
    if (length == 0) {
      valid += "\xEF\xBF\xBD";
      ++i;
    } else {
      valid.append(text, i, length);
      i += length;
    }
  }
  return valid;
}

std::string ZeroPadded(long long value, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*lld", width, value);
  return text;
}

}  // namespace rodavia
