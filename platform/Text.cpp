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

std::string ZeroPadded(long long value, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*lld", width, value);
  return text;
}

}  // namespace rodavia
