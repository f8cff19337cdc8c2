// The race text: colour, place, clipping and the blend into the background.
#include <gtest/gtest.h>

#include "platform/sdl/SdlText.h"

namespace rodavia {
namespace {

struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  bool empty() const { return right < 0; }
};

// The area of pixels that differ from `background`.
Box Changed(const Surface16& s, uint16_t background) {
  Box b;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x)
      if (s.pixel(x, y) != background) {
        b.left = std::min(b.left, x);
        b.top = std::min(b.top, y);
        b.right = std::max(b.right, x + 1);
        b.bottom = std::max(b.bottom, y + 1);
      }
  return b;
}

int Count(const Surface16& s, uint16_t colour) {
  int n = 0;
  for (uint16_t p : s.pixels()) n += p == colour;
  return n;
}

class TextTest : public ::testing::Test {
 protected:
  SdlText text;
  Surface16 screen{200, 100, To565(0, 0, 128)};
  const uint16_t blue = To565(0, 0, 128);
};

TEST_F(TextTest, DrawsSolidColourBelowAndRightOfItsCorner) {
  text.Draw(screen, 40, 30, "Vuelta 3", RGBColor(255, 255, 0), 12);
  const Box b = Changed(screen, blue);
  ASSERT_FALSE(b.empty());
  EXPECT_GE(b.left, 40);
  EXPECT_GE(b.top, 30);
  EXPECT_LE(b.bottom, 30 + 20);  // 12 pt is 16 px: one line of about 19
  EXPECT_GT(b.right - b.left, 50);
  EXPECT_GT(Count(screen, To565(255, 255, 0)), 40) << "the body of the glyphs is the exact colour";
}

TEST_F(TextTest, ColourIsBgrAndEdgesBlendIntoTheBackground) {
  text.Draw(screen, 10, 10, "Rodavia", RGBColor(255, 0, 0), 16);
  const uint16_t red = To565(255, 0, 0);
  int blended = 0;
  for (uint16_t p : screen.pixels()) {
    if (p == blue || p == red) continue;
    ++blended;
    EXPECT_EQ(p & 0x07E0, 0) << "no green enters a blend of red over blue";
  }
  EXPECT_GT(Count(screen, red), 0);
  EXPECT_GT(blended, 0) << "anti-aliased edges";
}

TEST_F(TextTest, LargerPointSizesAreTaller) {
  Surface16 small(300, 100, 0), large(300, 100, 0);
  text.Draw(small, 0, 0, "Hola", RGBColor(255, 255, 255), 12);
  text.Draw(large, 0, 0, "Hola", RGBColor(255, 255, 255), 24);
  const int hs = Changed(small, 0).bottom - Changed(small, 0).top;
  const int hl = Changed(large, 0).bottom - Changed(large, 0).top;
  EXPECT_NEAR(double(hl) / hs, 2.0, 0.3);
}

TEST_F(TextTest, ClipsAtEveryEdgeWithoutTouchingMemoryOutside) {
  for (auto [x, y] : {std::pair{-30, 40}, {180, 40}, {50, -10}, {50, 92}, {-500, -500}, {5000, 10}}) {
    Surface16 s(200, 100, blue);
    text.Draw(s, x, y, "Jugador 12", RGBColor(255, 255, 255), 12);
    const Box b = Changed(s, blue);
    if (b.empty()) continue;
    EXPECT_GE(b.left, std::max(x, 0));
    EXPECT_GE(b.top, std::max(y, 0));
  }
  Surface16 s(200, 100, blue);
  text.Draw(s, 180, 92, "ABC", RGBColor(255, 255, 255), 12);
  EXPECT_FALSE(Changed(s, blue).empty()) << "the visible corner is still drawn";
}

TEST_F(TextTest, EmptyTextAndUtf8) {
  text.Draw(screen, 10, 10, "", RGBColor(255, 255, 255), 12);
  EXPECT_TRUE(Changed(screen, blue).empty());
  text.Draw(screen, 10, 10, "Año récord ñ", RGBColor(255, 255, 255), 12);
  EXPECT_FALSE(Changed(screen, blue).empty());
}

TEST_F(TextTest, CachedTextDrawnInAnotherColourMatchesAFreshRendering) {
  Surface16 scratch(200, 100, 0), cached(200, 100, 0), fresh(200, 100, 0);
  text.Draw(scratch, 5, 5, "1:02:345", RGBColor(0, 255, 0), 12);
  text.Draw(cached, 5, 5, "1:02:345", RGBColor(255, 255, 255), 12);
  SdlText other;
  other.Draw(fresh, 5, 5, "1:02:345", RGBColor(255, 255, 255), 12);
  EXPECT_EQ(cached.pixels(), fresh.pixels());
}

}  // namespace
}  // namespace rodavia
