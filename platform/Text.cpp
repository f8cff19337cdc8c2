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

std::string ZeroPadded(long long value, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*lld", width, value);
  return text;
}

}  // namespace rodavia
