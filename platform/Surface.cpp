#include "platform/Surface.h"

#include <algorithm>
#include <cstring>

namespace rodavia {

void Surface16::fill(uint16_t p) { std::fill(pixels_.begin(), pixels_.end(), p); }

namespace {
// Clips the area src of `from`, whose top-left corner lands at (x, y) on `to`,
// against both surfaces, moving (x, y) with any part cut off at the left or
// top. False when nothing is left to copy.
bool Clip(const Surface16& to, const Surface16& from, Rect& src, int& x, int& y) {
  if (src.left < 0) { x -= src.left; src.left = 0; }
  if (src.top < 0) { y -= src.top; src.top = 0; }
  src.right = std::min(src.right, from.width());
  src.bottom = std::min(src.bottom, from.height());
  if (x < 0) { src.left -= x; x = 0; }
  if (y < 0) { src.top -= y; y = 0; }
  src.right = std::min(src.right, src.left + (to.width() - x));
  src.bottom = std::min(src.bottom, src.top + (to.height() - y));
  return !src.empty();
}
}  // namespace

void Surface16::blit(const Surface16& from, Rect src, int x, int y) {
  if (!Clip(*this, from, src, x, y)) return;
  const size_t bytes = size_t(src.width()) * sizeof(uint16_t);
  for (int j = 0; j < src.height(); ++j)
    std::memcpy(row(y + j) + x, from.row(src.top + j) + src.left, bytes);
}

void Surface16::blitKeyed(const Surface16& from, Rect src, int x, int y, uint16_t key) {
  if (!Clip(*this, from, src, x, y)) return;
  for (int j = 0; j < src.height(); ++j) {
    const uint16_t* s = from.row(src.top + j) + src.left;
    uint16_t* d = row(y + j) + x;
    for (int i = 0; i < src.width(); ++i)
      if (s[i] != key) d[i] = s[i];
  }
}

}  // namespace rodavia
