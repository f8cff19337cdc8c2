#include "platform/Surface.h"

#include <gtest/gtest.h>

#include "platform/ImageList.h"
#include "platform/Picture.h"

namespace rodavia {
namespace {

// A source whose every pixel tells where it came from: 100 * y + x + 1.
Surface16 Numbered(int w, int h) {
  Surface16 s(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.setPixel(x, y, uint16_t(100 * y + x + 1));
  return s;
}

// The destination as text rows, so clipping mistakes show at a glance.
std::vector<std::vector<int>> Rows(const Surface16& s) {
  std::vector<std::vector<int>> rows;
  for (int y = 0; y < s.height(); ++y) {
    rows.emplace_back();
    for (int x = 0; x < s.width(); ++x) rows.back().push_back(s.pixel(x, y));
  }
  return rows;
}

using Grid = std::vector<std::vector<int>>;

TEST(Surface, BlitInside) {
  Surface16 to(4, 3);
  to.blit(Numbered(2, 2), {0, 0, 2, 2}, 1, 1);
  EXPECT_EQ(Rows(to), (Grid{{0, 0, 0, 0}, {0, 1, 2, 0}, {0, 101, 102, 0}}));
}

TEST(Surface, BlitClipsAtEveryEdgeOfTheDestination) {
  const Surface16 from = Numbered(3, 3);
  Surface16 to(3, 3);
  to.blit(from, {0, 0, 3, 3}, -2, -1);  // left and top
  EXPECT_EQ(Rows(to), (Grid{{103, 0, 0}, {203, 0, 0}, {0, 0, 0}}));
  to.fill(0);
  to.blit(from, {0, 0, 3, 3}, 2, 1);  // right and bottom
  EXPECT_EQ(Rows(to), (Grid{{0, 0, 0}, {0, 0, 1}, {0, 0, 101}}));
  to.fill(0);
  for (auto [x, y] : {std::pair{-3, 0}, std::pair{3, 0}, std::pair{0, -3}, std::pair{0, 3}, std::pair{-100, 100}})
    to.blit(from, {0, 0, 3, 3}, x, y);  // wholly outside: nothing
  EXPECT_EQ(Rows(to), (Grid{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}));
}

TEST(Surface, BlitClipsASourceRectanglePartlyOutsideTheSource) {
  const Surface16 from = Numbered(3, 3);
  Surface16 to(4, 4);
  // Columns -1 and rows -1 do not exist: what is left lands one further in.
  to.blit(from, {-1, -1, 2, 2}, 0, 0);
  EXPECT_EQ(Rows(to), (Grid{{0, 0, 0, 0}, {0, 1, 2, 0}, {0, 101, 102, 0}, {0, 0, 0, 0}}));
  to.fill(0);
  to.blit(from, {1, 2, 9, 9}, 0, 0);  // beyond right and bottom
  EXPECT_EQ(Rows(to), (Grid{{202, 203, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}));
  to.fill(0);
  to.blit(from, {5, 5, 9, 9}, 0, 0);   // nothing of the source
  to.blit(from, {2, 2, 1, 1}, 0, 0);   // inverted
  to.blit(Surface16(), {0, 0, 3, 3}, 0, 0);
  EXPECT_EQ(Rows(to), (Grid{{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}));
  Surface16 none;
  none.blit(from, {0, 0, 3, 3}, 0, 0);  // onto an empty surface
  EXPECT_TRUE(none.empty());
}

TEST(Surface, KeyedBlitSkipsTheKeyAndClipsLikeBlit) {
  Surface16 from = Numbered(3, 2);
  from.setPixel(1, 0, 7);
  from.setPixel(2, 1, 7);
  Surface16 to(3, 2, 9);
  to.blitKeyed(from, {0, 0, 3, 2}, 0, 0, 7);
  EXPECT_EQ(Rows(to), (Grid{{1, 9, 3}, {101, 102, 9}}));
  to.fill(9);
  to.blitKeyed(from, {0, 0, 3, 2}, -1, 1, 7);
  EXPECT_EQ(Rows(to), (Grid{{9, 9, 9}, {9, 3, 9}}));
}

// ----------------------------------------------------------- image slots --

Picture Strip(int frames, int frameSize, uint16_t key) {
  Picture p;
  p.pixels = Surface16(frames * frameSize, frameSize);
  for (int f = 0; f < frames; ++f)
    for (int y = 0; y < frameSize; ++y)
      for (int x = 0; x < frameSize; ++x)
        p.pixels.setPixel(f * frameSize + x, y, uint16_t(f + 1));
  p.pixels.setPixel(0, frameSize - 1, key);
  p.transparentColor = Rgb565ToColorRef(key);
  return p;
}

TEST(ImageSlot, TakesThePictureWithItsSizeAndKeyColour) {
  ImageSlot slot("Semaforo");
  EXPECT_FALSE(slot.loaded());
  EXPECT_EQ(slot.frameCount(), 0);
  slot.setPicture(Strip(6, 4, 0xF81F));
  EXPECT_TRUE(slot.loaded());
  EXPECT_EQ(slot.frameWidth, 24);
  EXPECT_EQ(slot.frameHeight, 4);
  EXPECT_EQ(slot.frameCount(), 1);
  EXPECT_EQ(slot.transparentColor, Rgb565ToColorRef(0xF81F));
}

TEST(ImageSlot, FramesRunLeftToRightThenTopToBottom) {
  ImageSlot slot("Coche");
  Picture p;
  p.pixels = Surface16(110, 75);  // 3 × 2 whole frames of 36 × 36, the rest unused
  slot.setPicture(std::move(p));
  slot.frameWidth = slot.frameHeight = 36;
  EXPECT_EQ(slot.frameCount(), 6);
  const Rect r4 = slot.frameRect(4);
  EXPECT_EQ(r4.left, 36);
  EXPECT_EQ(r4.top, 36);
  EXPECT_EQ(r4.right, 72);
  EXPECT_EQ(r4.bottom, 72);
  EXPECT_TRUE(slot.frameRect(6).empty());
  EXPECT_TRUE(slot.frameRect(-1).empty());
  slot.frameWidth = 0;  // no frames, and no division by zero
  EXPECT_EQ(slot.frameCount(), 0);
  EXPECT_TRUE(slot.frameRect(0).empty());
  slot.frameWidth = 200;  // wider than the picture
  EXPECT_EQ(slot.frameCount(), 0);
  EXPECT_TRUE(slot.frameRect(0).empty());
}

TEST(ImageSlot, DrawFrameSkipsTheKeyWhenTransparentAndIgnoresUnknownFrames) {
  ImageSlot slot("Humo");
  slot.setPicture(Strip(3, 2, 0xFFFF));
  slot.frameWidth = slot.frameHeight = 2;
  Surface16 to(3, 2, 50);
  slot.drawFrame(to, -1, 0, 0);
  slot.drawFrame(to, 3, 0, 0);
  EXPECT_EQ(Rows(to), (Grid{{50, 50, 50}, {50, 50, 50}}));

  slot.transparent = true;
  slot.drawFrame(to, 0, 0, 0);  // its bottom-left pixel is the key
  EXPECT_EQ(Rows(to), (Grid{{1, 1, 50}, {50, 1, 50}}));
  slot.drawFrame(to, 2, 2, -1);  // clipped like any blit: its bottom-left pixel only
  EXPECT_EQ(Rows(to), (Grid{{1, 1, 3}, {50, 1, 50}}));

  slot.transparent = false;
  slot.drawFrame(to, 0, 1, 0);
  EXPECT_EQ(Rows(to), (Grid{{1, 1, 1}, {50, 0xFFFF, 1}}));
}

}  // namespace
}  // namespace rodavia
