#pragma once
// A GL texture holding one of the game's RGB565 pictures, for ImGui to draw.
#include <cstdint>

#include "platform/Surface.h"

namespace rodavia {

class GlTexture {
 public:
  GlTexture() = default;
  ~GlTexture();
  GlTexture(GlTexture&& other) noexcept;
  GlTexture& operator=(GlTexture&& other) noexcept;
  GlTexture(const GlTexture&) = delete;
  GlTexture& operator=(const GlTexture&) = delete;

  // The whole picture as 16-bit pixels (fast: no conversion).
  void Upload(const Surface16& picture);
  // The picture with every pixel of colour `key` see-through.
  void UploadKeyed(const Surface16& picture, uint16_t key);

  void* Id() const { return reinterpret_cast<void*>(uintptr_t(id_)); }
  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return id_ == 0 || width_ == 0 || height_ == 0; }

 private:
  void Reserve(int width, int height, bool rgba);
  unsigned id_ = 0;
  int width_ = 0, height_ = 0;
  bool rgba_ = false;
};

}  // namespace rodavia
