#pragma once
// Picture files: BMP of every common depth and JPEG, decoded into RGB565;
// BMP and JPEG writers for the data generator.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Surface.h"

namespace rodavia {

struct Picture {
  Surface16 pixels;
  // The colour the picture reports as transparent: its bottom-left pixel, or
  // white for a one-bit picture. 0x00BBGGRR.
  uint32_t transparentColor = 0;
};

// Reads a .bmp or .jpg (by content, not by name). False, with a reason in
// *error when given, when the file is missing or not a picture we read.
bool LoadPicture(const std::filesystem::path& path, Picture& out, std::string* error = nullptr);
bool DecodeBmp(const std::vector<uint8_t>& bytes, Picture& out, std::string* error = nullptr);
bool DecodeJpeg(const std::vector<uint8_t>& bytes, Picture& out, std::string* error = nullptr);

// 8 bits a channel, rows top to bottom, R G B order.
struct RgbImage {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  RgbImage() = default;
  RgbImage(int w, int h) : width(w), height(h), rgb(size_t(w) * h * 3, 0) {}
  uint8_t* at(int x, int y) { return &rgb[(size_t(y) * width + x) * 3]; }
  const uint8_t* at(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

std::vector<uint8_t> EncodeBmp24(const RgbImage& image);
std::vector<uint8_t> EncodeJpeg(const RgbImage& image, int quality);

}  // namespace rodavia
