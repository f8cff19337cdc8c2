#include "platform/Picture.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "fakes/Fakes.h"

namespace rodavia {
namespace {

// ----------------------------------------------------- building BMP files --

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = uint8_t(v), b[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  Put16(b, at, v), Put16(b, at + 2, v >> 16);
}

// A BMP file: file header, an info header of `headerSize` bytes (masks inside
// it when it is 108 bytes long, after it when 40), palette and pixel bytes.
struct BmpFields {
  int width = 1, height = 1;  // negative height: rows top to bottom
  int bitCount = 24;
  uint32_t compression = 0;
  uint32_t headerSize = 40;
  uint32_t colorsUsed = 0;
  std::vector<uint32_t> masks;      // R, G, B
  std::vector<uint32_t> palette;    // 0x00RRGGBB as stored (B G R X)
  std::vector<uint8_t> pixels;
};

std::vector<uint8_t> MakeBmp(const BmpFields& s) {
  const size_t afterMasks = s.headerSize == 40 ? s.masks.size() * 4 : 0;
  const size_t offset = 14 + s.headerSize + afterMasks + s.palette.size() * 4;
  std::vector<uint8_t> b(offset, 0);
  b[0] = 'B', b[1] = 'M';
  Put32(b, 10, uint32_t(offset));
  Put32(b, 14, s.headerSize);
  Put32(b, 18, uint32_t(s.width));
  Put32(b, 22, uint32_t(s.height));
  Put16(b, 26, 1);
  Put16(b, 28, uint32_t(s.bitCount));
  Put32(b, 30, s.compression);
  Put32(b, 46, s.colorsUsed);
  for (size_t i = 0; i < s.masks.size(); ++i) Put32(b, 14 + 40 + i * 4, s.masks[i]);
  for (size_t i = 0; i < s.palette.size(); ++i) Put32(b, 14 + s.headerSize + afterMasks + i * 4, s.palette[i]);
  b.insert(b.end(), s.pixels.begin(), s.pixels.end());
  Put32(b, 2, uint32_t(b.size()));
  return b;
}

Picture Decoded(const std::vector<uint8_t>& bytes) {
  Picture p;
  std::string error;
  EXPECT_TRUE(DecodeBmp(bytes, p, &error)) << error;
  return p;
}

constexpr uint16_t kRed = To565(255, 0, 0), kGreen = To565(0, 255, 0), kBlue = To565(0, 0, 255);
constexpr uint16_t kWhite = To565(255, 255, 255), kBlack = 0;

// ------------------------------------------------------------- encoders ----

RgbImage Gradient(int w, int h) {
  RgbImage image(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = image.at(x, y);
      p[0] = uint8_t(x * 40), p[1] = uint8_t(y * 60), p[2] = uint8_t(200 - x * 10);
    }
  return image;
}

TEST(PictureEncode, Bmp24IsAStandardBottomUpFileWithPaddedRows) {
  const RgbImage image = Gradient(5, 3);
  const std::vector<uint8_t> b = EncodeBmp24(image);
  ASSERT_EQ(b.size(), 54u + 16 * 3);  // 5 × 3 bytes padded to 16
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(b[2] | (b[3] << 8), int(b.size()));
  EXPECT_EQ(b[10], 54);
  EXPECT_EQ(b[14], 40);
  EXPECT_EQ(b[28], 24);
  // The first stored row is the bottom one, B G R.
  EXPECT_EQ(b[54], image.at(0, 2)[2]);
  EXPECT_EQ(b[55], image.at(0, 2)[1]);
  EXPECT_EQ(b[56], image.at(0, 2)[0]);
}

TEST(PictureEncode, Bmp24RoundTrip) {
  const RgbImage image = Gradient(7, 4);
  const Picture p = Decoded(EncodeBmp24(image));
  ASSERT_EQ(p.pixels.width(), 7);
  ASSERT_EQ(p.pixels.height(), 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 7; ++x) {
      const uint8_t* c = image.at(x, y);
      EXPECT_EQ(p.pixels.pixel(x, y), To565(c[0], c[1], c[2])) << x << "," << y;
    }
  const uint8_t* corner = image.at(0, 3);
  EXPECT_EQ(p.transparentColor, RGBColor(corner[0], corner[1], corner[2]));
}

TEST(PictureEncode, JpegRoundTripKeepsSizeAndColours) {
  RgbImage image(32, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) {
      uint8_t* p = image.at(x, y);
      p[0] = x < 16 ? 200 : 20, p[1] = 100, p[2] = x < 16 ? 30 : 220;
    }
  const std::vector<uint8_t> jpeg = EncodeJpeg(image, 95);
  ASSERT_GE(jpeg.size(), 2u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
  Picture p;
  std::string error;
  ASSERT_TRUE(DecodeJpeg(jpeg, p, &error)) << error;
  ASSERT_EQ(p.pixels.width(), 32);
  ASSERT_EQ(p.pixels.height(), 16);
  for (auto [x, y] : {std::pair{3, 3}, std::pair{28, 12}}) {
    const uint32_t got = Rgb565ToColorRef(p.pixels.pixel(x, y));
    const uint8_t* want = image.at(x, y);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(int((got >> (8 * c)) & 0xFF), want[c], 12) << x << "," << y;
  }
  EXPECT_NEAR(int(p.transparentColor & 0xFF), 200, 12);  // bottom-left, red side
  EXPECT_TRUE(EncodeJpeg(RgbImage(), 90).empty());        // nothing to encode
}

// A one-channel JPEG, which the game's own writer never makes.
std::vector<uint8_t> GreyJpeg(int w, int h, uint8_t level) {
  jpeg_compress_struct info;
  jpeg_error_mgr err;
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  unsigned char* data = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &data, &size);
  info.image_width = JDIMENSION(w), info.image_height = JDIMENSION(h);
  info.input_components = 1, info.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> line(size_t(w), level);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = line.data();
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> out(data, data + size);
  jpeg_destroy_compress(&info);
  std::free(data);
  return out;
}

TEST(PictureDecode, GreyJpeg) {
  Picture p;
  ASSERT_TRUE(DecodeJpeg(GreyJpeg(8, 8, 128), p));
  const uint32_t c = Rgb565ToColorRef(p.pixels.pixel(4, 4));
  EXPECT_NEAR(int(c & 0xFF), 128, 8);
  EXPECT_NEAR(int((c >> 8) & 0xFF), 128, 8);
  EXPECT_NEAR(int((c >> 16) & 0xFF), 128, 8);
}

TEST(PictureDecode, BrokenJpegFailsWithAReason) {
  const std::vector<uint8_t> good = EncodeJpeg(Gradient(16, 16), 90);
  Picture p;
  std::string error;
  for (size_t n : {size_t(0), size_t(2), size_t(20), good.size() / 2, good.size() - 2}) {
    error.clear();
    EXPECT_FALSE(DecodeJpeg(std::vector<uint8_t>(good.begin(), good.begin() + std::ptrdiff_t(n)), p, &error)) << n;
    EXPECT_FALSE(error.empty()) << n;
  }
  std::vector<uint8_t> garbage = good;
  for (size_t i = 2; i < garbage.size(); ++i) garbage[i] = uint8_t(i * 7);
  EXPECT_FALSE(DecodeJpeg(garbage, p, &error));
}

// The offset of the first marker `code` (0xFF code) of a JPEG.
size_t JpegMarker(const std::vector<uint8_t>& jpeg, uint8_t code) {
  for (size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == code) return i;
  ADD_FAILURE() << "no marker " << int(code);
  return 0;
}

TEST(PictureDecode, AJpegCutShortAndClosedWithItsEndMarkerFails) {
  std::vector<uint8_t> jpeg = EncodeJpeg(Gradient(64, 64), 90);
  const size_t scan = JpegMarker(jpeg, 0xDA);
  jpeg.resize(scan + (jpeg.size() - scan) / 2);
  jpeg.insert(jpeg.end(), {0xFF, 0xD9});
  Picture p;
  std::string error;
  EXPECT_FALSE(DecodeJpeg(jpeg, p, &error));
  EXPECT_NE(error.find("Corrupt JPEG data"), std::string::npos) << error;
}

TEST(PictureDecode, TinyFilesClaimingHugePicturesAreRefusedBeforeDecoding) {
  std::string error;
  Picture p;
  BmpFields rle;
  rle.width = 16384, rle.height = 4096, rle.bitCount = 8, rle.compression = 1, rle.colorsUsed = 1;
  rle.palette = {0}, rle.pixels = {0, 1};  // end of picture at once
  EXPECT_FALSE(DecodeBmp(MakeBmp(rle), p, &error));
  rle.width = 2049, rle.height = 1;
  EXPECT_FALSE(DecodeBmp(MakeBmp(rle), p, &error));
  rle.width = 2048, rle.height = 2048;
  EXPECT_TRUE(DecodeBmp(MakeBmp(rle), p, &error)) << error;

  std::vector<uint8_t> jpeg = EncodeJpeg(Gradient(16, 16), 90);
  const size_t frame = JpegMarker(jpeg, 0xC0);  // height and width follow at +5 and +7
  jpeg[frame + 5] = jpeg[frame + 7] = 0x08, jpeg[frame + 6] = jpeg[frame + 8] = 0x00;  // 2048 x 2048
  EXPECT_FALSE(DecodeJpeg(jpeg, p, &error));
  EXPECT_EQ(error, "JPEG data too short for its size");
  jpeg[frame + 5] = 0x10;  // 4096 high
  EXPECT_FALSE(DecodeJpeg(jpeg, p, &error));
  EXPECT_EQ(error, "JPEG size out of range");
}

// ---------------------------------------------------------- BMP depths -----

TEST(PictureDecode, OneBitUsesThePaletteAndReportsWhiteAsTransparent) {
  BmpFields s;
  s.width = 10, s.height = 2, s.bitCount = 1;
  s.palette = {0x0000FF, 0xFF0000};  // blue, red
  // Rows of 4 bytes; bottom row first: 1000000001, then 0101010101.
  s.pixels = {0x80, 0x40, 0, 0, 0x55, 0x40, 0, 0};
  const Picture p = Decoded(MakeBmp(s));
  EXPECT_EQ(p.pixels.pixel(0, 1), kRed);
  EXPECT_EQ(p.pixels.pixel(1, 1), kBlue);
  EXPECT_EQ(p.pixels.pixel(9, 1), kRed);
  EXPECT_EQ(p.pixels.pixel(0, 0), kBlue);
  EXPECT_EQ(p.pixels.pixel(1, 0), kRed);
  EXPECT_EQ(p.pixels.pixel(9, 0), kRed);
  EXPECT_EQ(p.transparentColor, 0xFFFFFFu);
}

TEST(PictureDecode, FourBitTopDownWithOddWidth) {
  BmpFields s;
  s.width = 3, s.height = -2, s.bitCount = 4;
  s.palette.assign(16, 0);
  s.palette[1] = 0xFF0000, s.palette[2] = 0x00FF00, s.palette[15] = 0xFFFFFF;
  s.pixels = {0x12, 0xF0, 0, 0, 0x21, 0x10, 0, 0};  // top row first
  const Picture p = Decoded(MakeBmp(s));
  EXPECT_EQ(p.pixels.pixel(0, 0), kRed);
  EXPECT_EQ(p.pixels.pixel(1, 0), kGreen);
  EXPECT_EQ(p.pixels.pixel(2, 0), kWhite);
  EXPECT_EQ(p.pixels.pixel(0, 1), kGreen);
  EXPECT_EQ(p.pixels.pixel(2, 1), kRed);
  EXPECT_EQ(p.transparentColor, RGBColor(0, 255, 0));  // bottom-left
}

TEST(PictureDecode, EightBitShortPaletteAndIndexesBeyondIt) {
  BmpFields s;
  s.width = 3, s.height = 1, s.bitCount = 8, s.colorsUsed = 2;
  s.palette = {0x123456, 0x00FF00};
  s.pixels = {1, 0, 200, 0};
  const Picture p = Decoded(MakeBmp(s));
  EXPECT_EQ(p.pixels.pixel(0, 0), kGreen);
  EXPECT_EQ(p.pixels.pixel(1, 0), To565(0x12, 0x34, 0x56));
  EXPECT_EQ(p.pixels.pixel(2, 0), kBlack);  // no such entry
  EXPECT_EQ(p.transparentColor, RGBColor(0, 255, 0));
}

TEST(PictureDecode, SixteenBitPlainIs555AndBitFieldsMayBe565) {
  BmpFields s;
  s.width = 2, s.height = 1, s.bitCount = 16;
  s.pixels = {0x00, 0x7C, 0x1F, 0x00};  // 555 red, blue
  Picture p = Decoded(MakeBmp(s));
  EXPECT_EQ(p.pixels.pixel(0, 0), kRed);
  EXPECT_EQ(p.pixels.pixel(1, 0), kBlue);

  s.compression = 3, s.masks = {0xF800, 0x07E0, 0x001F};
  s.pixels = {0xE0, 0x07, 0x34, 0x12};  // 565 green, then 0x1234 exactly
  p = Decoded(MakeBmp(s));
  EXPECT_EQ(p.pixels.pixel(0, 0), kGreen);
  EXPECT_EQ(p.pixels.pixel(1, 0), 0x1234);  // 565 survives unchanged
}

TEST(PictureDecode, ThirtyTwoBitPlainAndWithMasksInsideALaterHeader) {
  BmpFields s;
  s.width = 1, s.height = 2, s.bitCount = 32;
  s.pixels = {0x10, 0x20, 0x30, 0xFF, 0xFF, 0, 0, 0};  // bottom row B G R X first
  Picture p = Decoded(MakeBmp(s));
  EXPECT_EQ(p.pixels.pixel(0, 1), To565(0x30, 0x20, 0x10));
  EXPECT_EQ(p.pixels.pixel(0, 0), kBlue);
  EXPECT_EQ(p.transparentColor, RGBColor(0x30, 0x20, 0x10));

  s.compression = 3, s.headerSize = 108, s.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
  p = Decoded(MakeBmp(s));
  EXPECT_EQ(p.pixels.pixel(0, 1), To565(0x10, 0x20, 0x30));
  EXPECT_EQ(p.pixels.pixel(0, 0), kRed);
}

TEST(PictureDecode, TwentyFourBitRowsArePaddedToFourBytes) {
  BmpFields s;
  s.width = 2, s.height = 2;
  s.pixels = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
  const Picture p = Decoded(MakeBmp(s));
  EXPECT_EQ(p.pixels.pixel(0, 1), kRed);
  EXPECT_EQ(p.pixels.pixel(1, 1), kGreen);
  EXPECT_EQ(p.pixels.pixel(0, 0), kBlue);
  EXPECT_EQ(p.pixels.pixel(1, 0), kWhite);
  EXPECT_EQ(p.transparentColor, RGBColor(255, 0, 0));
}

TEST(PictureDecode, RunLengthEightAndFour) {
  BmpFields s;
  s.width = 4, s.height = 2, s.bitCount = 8, s.compression = 1, s.colorsUsed = 4;
  s.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  // Bottom row: run of three 1s, end of line; top row: absolute 2 3 2, a
  // run that overflows the row, end of picture.
  s.pixels = {3, 1, 0, 0, 0, 3, 2, 3, 2, 0, 9, 1, 0, 1};
  Picture p = Decoded(MakeBmp(s));
  EXPECT_EQ(p.pixels.pixel(0, 1), kRed);
  EXPECT_EQ(p.pixels.pixel(2, 1), kRed);
  EXPECT_EQ(p.pixels.pixel(3, 1), kBlack);
  EXPECT_EQ(p.pixels.pixel(0, 0), kGreen);
  EXPECT_EQ(p.pixels.pixel(1, 0), kBlue);
  EXPECT_EQ(p.pixels.pixel(2, 0), kGreen);
  EXPECT_EQ(p.pixels.pixel(3, 0), kRed);

  s.bitCount = 4, s.compression = 2, s.colorsUsed = 16;
  s.palette.resize(16, 0);
  // Bottom row: delta (1, 0), run of 3 alternating 1 and 2; top row: absolute 3 1 3.
  s.pixels = {0, 2, 1, 0, 3, 0x12, 0, 0, 0, 3, 0x31, 0x30, 0, 1};
  p = Decoded(MakeBmp(s));
  EXPECT_EQ(p.pixels.pixel(0, 1), kBlack);
  EXPECT_EQ(p.pixels.pixel(1, 1), kRed);
  EXPECT_EQ(p.pixels.pixel(2, 1), kGreen);
  EXPECT_EQ(p.pixels.pixel(3, 1), kRed);
  EXPECT_EQ(p.pixels.pixel(0, 0), kBlue);
  EXPECT_EQ(p.pixels.pixel(1, 0), kRed);
  EXPECT_EQ(p.pixels.pixel(2, 0), kBlue);
}

// ------------------------------------------------------------ bad files ----

TEST(PictureDecode, EveryTruncationOfAValidFileFailsCleanly) {
  BmpFields s;
  s.width = 3, s.height = 2, s.bitCount = 8;
  s.palette.assign(256, 0x808080);
  s.pixels.assign(8, 1);
  const std::vector<uint8_t> whole = MakeBmp(s);
  Picture p;
  for (size_t n = 0; n < whole.size() - 1; ++n) {  // the last row may lack its padding byte
    std::string error;
    EXPECT_FALSE(DecodeBmp(std::vector<uint8_t>(whole.begin(), whole.begin() + std::ptrdiff_t(n)), p, &error)) << n;
    EXPECT_FALSE(error.empty()) << n;
  }
  EXPECT_TRUE(DecodeBmp(std::vector<uint8_t>(whole.begin(), whole.end() - 1), p));
}

TEST(PictureDecode, TruncatedRunLengthDataFails) {
  BmpFields s;
  s.width = 4, s.height = 2, s.bitCount = 8, s.compression = 1, s.colorsUsed = 2;
  s.palette = {0, 0xFF0000};
  for (std::vector<uint8_t> data : {std::vector<uint8_t>{3, 1, 0}, {0, 2, 1}, {0, 5, 1, 1}}) {
    s.pixels = data;
    Picture p;
    EXPECT_FALSE(DecodeBmp(MakeBmp(s), p));
  }
}

TEST(PictureDecode, UntrustedHeadersAreRejected) {
  auto rejected = [](BmpFields s, const char* what) {
    Picture p;
    std::string error;
    EXPECT_FALSE(DecodeBmp(MakeBmp(s), p, &error)) << what;
    EXPECT_FALSE(error.empty()) << what;
  };
  BmpFields s;
  s.pixels.assign(4, 0);
  BmpFields t = s;
  t.width = 0;
  rejected(t, "no width");
  t = s, t.height = 0;
  rejected(t, "no height");
  t = s, t.width = -4;
  rejected(t, "negative width");
  t = s, t.width = 100000;
  rejected(t, "too wide");
  t = s, t.height = int(0x80000000u);
  rejected(t, "most negative height");
  t = s, t.width = 16384, t.height = 16384;
  rejected(t, "huge and truncated");
  t = s, t.bitCount = 7, t.colorsUsed = 1, t.palette = {0};
  rejected(t, "odd depth");
  t = s, t.compression = 3;
  rejected(t, "bit fields on 24 bits");
  t = s, t.compression = 4;
  rejected(t, "embedded JPEG");
  t = s, t.bitCount = 8, t.compression = 1, t.height = -1, t.colorsUsed = 1, t.palette = {0};
  rejected(t, "top-down run-length");

  std::vector<uint8_t> farOffset = MakeBmp(s);
  farOffset[10] = 0xFF, farOffset[11] = 0xFF, farOffset[12] = 0xFF, farOffset[13] = 0x7F;
  Picture p;
  EXPECT_FALSE(DecodeBmp(farOffset, p));
  EXPECT_FALSE(DecodeBmp({'B', 'M'}, p));
  std::vector<uint8_t> unknownHeader = MakeBmp(s);
  unknownHeader[14] = 20;
  EXPECT_FALSE(DecodeBmp(unknownHeader, p));
}

TEST(PictureDecode, AFailedDecodeLeavesThePictureAlone) {
  Picture p;
  p.pixels = Surface16(2, 2, 7);
  p.transparentColor = 5;
  EXPECT_FALSE(DecodeBmp({'B', 'M', 0, 0}, p));
  EXPECT_EQ(p.pixels.width(), 2);
  EXPECT_EQ(p.transparentColor, 5u);
}

// ---------------------------------------------------------- LoadPicture ----

TEST(PictureLoad, ChoosesTheDecoderByContentNotByName) {
  test::TempProgramFolder folder;
  const std::vector<uint8_t> bmp = EncodeBmp24(Gradient(4, 4));
  const std::vector<uint8_t> jpg = EncodeJpeg(Gradient(8, 8), 90);
  folder.Write("es_bmp.jpg", std::string(bmp.begin(), bmp.end()));
  folder.Write("es_jpg.bmp", std::string(jpg.begin(), jpg.end()));
  folder.Write("texto.bmp", "hola");
  Picture p;
  std::string error;
  ASSERT_TRUE(LoadPicture(folder.path() / "es_bmp.jpg", p, &error)) << error;
  EXPECT_EQ(p.pixels.width(), 4);
  ASSERT_TRUE(LoadPicture(folder.path() / "es_jpg.bmp", p, &error)) << error;
  EXPECT_EQ(p.pixels.width(), 8);
  EXPECT_FALSE(LoadPicture(folder.path() / "texto.bmp", p, &error));
  EXPECT_NE(error.find("texto.bmp"), std::string::npos);
  EXPECT_FALSE(LoadPicture(folder.path() / "falta.bmp", p, &error));
  EXPECT_NE(error.find("falta.bmp"), std::string::npos);
}

}  // namespace
}  // namespace rodavia
