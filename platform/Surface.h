#pragma once
// A 16-bit RGB565 picture in memory: the race back buffer and every picture
// slot are one of these, so a drawn frame can be checked pixel by pixel
// without a display.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rodavia {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  // Touching edges do not overlap.
  bool overlaps(const Rect& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
};

// Colours in the game are 0x00BBGGRR (the Windows COLORREF order).
constexpr uint32_t RGBColor(uint8_t r, uint8_t g, uint8_t b) {
  return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}
constexpr uint16_t To565(uint8_t r, uint8_t g, uint8_t b) {
  return uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}
constexpr uint16_t ColorRefTo565(uint32_t c) {
  return To565(uint8_t(c & 0xFF), uint8_t((c >> 8) & 0xFF), uint8_t((c >> 16) & 0xFF));
}
// Back to 8 bits a channel, replicating the high bits into the low ones.
constexpr uint32_t Rgb565ToColorRef(uint16_t p) {
  uint32_t r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
  return RGBColor(uint8_t((r << 3) | (r >> 2)), uint8_t((g << 2) | (g >> 4)),
                  uint8_t((b << 3) | (b >> 2)));
}

class Surface16 {
 public:
  Surface16() = default;
  Surface16(int width, int height, uint16_t fill = 0)
      : width_(width), height_(height), pixels_(size_t(width) * height, fill) {}

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return pixels_.empty(); }
  uint16_t* row(int y) { return pixels_.data() + size_t(y) * width_; }
  const uint16_t* row(int y) const { return pixels_.data() + size_t(y) * width_; }
  uint16_t pixel(int x, int y) const { return row(y)[x]; }
  void setPixel(int x, int y, uint16_t p) { row(y)[x] = p; }
  const std::vector<uint16_t>& pixels() const { return pixels_; }
  std::vector<uint16_t>& pixels() { return pixels_; }
  void fill(uint16_t p);

  // Copies the area src of `from` with its top-left corner at (x, y), clipped
  // to this surface. With a key, source pixels of that colour are skipped.
  void blit(const Surface16& from, Rect src, int x, int y);
  void blitKeyed(const Surface16& from, Rect src, int x, int y, uint16_t key);

 private:
  int width_ = 0, height_ = 0;
  std::vector<uint16_t> pixels_;
};

}  // namespace rodavia
