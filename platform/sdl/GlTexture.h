#pragma once
// A GL texture holding one of the game's RGB565 pictures, for ImGui to draw.
//
// Every texture is of one kind, the kind of the font texture: RGBA8, sides
// of a power of two, linear filtering, clamped edges. A software rasteriser
// compiles a drawing routine per kind of texture, so one kind means one
// compilation on a cold start instead of one per kind. The picture sits in
// the top-left corner of its texture.
#include <cstdint>

#include <imgui.h>

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

  // The whole picture, opaque.
  void Upload(const Surface16& picture);
  // The picture with every pixel of colour `key` see-through.
  void UploadKeyed(const Surface16& picture, uint16_t key);
  // Draws the picture stretched over min..max.
  void Draw(ImDrawList& list, ImVec2 min, ImVec2 max) const;

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return id_ == 0 || width_ == 0 || height_ == 0; }

  // Gives the font texture the common kind's edge mode.
  static void MatchFontTexture(ImTextureID font);

 private:
  void Reserve(int width, int height);
  unsigned id_ = 0;
  int width_ = 0, height_ = 0;
  int sideX_ = 0, sideY_ = 0;  // the texture's power-of-two sides
};

}  // namespace rodavia
