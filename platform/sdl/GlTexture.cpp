#include "platform/sdl/GlTexture.h"

#include <GL/gl.h>

#include <bit>
#include <utility>
#include <vector>

namespace rodavia {

namespace {

void SetSampling() {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

}  // namespace

GlTexture::~GlTexture() {
  if (id_) glDeleteTextures(1, &id_);
}

GlTexture::GlTexture(GlTexture&& other) noexcept { *this = std::move(other); }

GlTexture& GlTexture::operator=(GlTexture&& other) noexcept {
  std::swap(id_, other.id_);
  std::swap(width_, other.width_);
  std::swap(height_, other.height_);
  std::swap(sideX_, other.sideX_);
  std::swap(sideY_, other.sideY_);
  return *this;
}

void GlTexture::MatchFontTexture(ImTextureID font) {
  glBindTexture(GL_TEXTURE_2D, GLuint(reinterpret_cast<uintptr_t>(font)));
  SetSampling();
}

// Creates the texture or changes its size; keeps it when the size matches so
// that a new frame only replaces the pixels.
void GlTexture::Reserve(int width, int height) {
  if (!id_) {
    glGenTextures(1, &id_);
    glBindTexture(GL_TEXTURE_2D, id_);
    SetSampling();
    sideX_ = sideY_ = 0;
  }
  glBindTexture(GL_TEXTURE_2D, id_);
  width_ = width;
  height_ = height;
  const int sideX = int(std::bit_ceil(unsigned(width)));
  const int sideY = int(std::bit_ceil(unsigned(height)));
  if (sideX == sideX_ && sideY == sideY_) return;
  sideX_ = sideX;
  sideY_ = sideY;
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, sideX, sideY, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
}

// GL widens the 16-bit pixels to the texture's RGBA8 as it copies them.
void GlTexture::Upload(const Surface16& picture) {
  if (picture.empty()) return;
  Reserve(picture.width(), picture.height());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width_, height_, GL_RGB, GL_UNSIGNED_SHORT_5_6_5,
                  picture.pixels().data());
}

void GlTexture::UploadKeyed(const Surface16& picture, uint16_t key) {
  if (picture.empty()) return;
  std::vector<uint32_t> rgba(picture.pixels().size());
  for (size_t i = 0; i < rgba.size(); ++i) {
    const uint16_t p = picture.pixels()[i];
    // Rgb565ToColorRef gives 0x00BBGGRR: the byte order GL_RGBA wants on a little-endian machine.
    rgba[i] = p == key ? 0 : Rgb565ToColorRef(p) | 0xFF000000u;
  }
  Reserve(picture.width(), picture.height());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

void GlTexture::Draw(ImDrawList& list, ImVec2 min, ImVec2 max) const {
  if (empty()) return;
  list.AddImage(reinterpret_cast<ImTextureID>(uintptr_t(id_)), min, max, ImVec2(0, 0),
                ImVec2(float(width_) / float(sideX_), float(height_) / float(sideY_)));
}

}  // namespace rodavia
