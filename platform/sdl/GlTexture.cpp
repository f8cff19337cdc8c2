#include "platform/sdl/GlTexture.h"

#include <GL/gl.h>

#include <utility>
#include <vector>

namespace rodavia {

GlTexture::~GlTexture() {
  if (id_) glDeleteTextures(1, &id_);
}

GlTexture::GlTexture(GlTexture&& other) noexcept { *this = std::move(other); }

GlTexture& GlTexture::operator=(GlTexture&& other) noexcept {
  std::swap(id_, other.id_);
  std::swap(width_, other.width_);
  std::swap(height_, other.height_);
  std::swap(rgba_, other.rgba_);
  return *this;
}

// Creates the texture or changes its size and layout; keeps it when they match
// so that a new frame only replaces the pixels.
void GlTexture::Reserve(int width, int height, bool rgba) {
  if (!id_) {
    glGenTextures(1, &id_);
    glBindTexture(GL_TEXTURE_2D, id_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    width_ = height_ = 0;
  }
  glBindTexture(GL_TEXTURE_2D, id_);
  if (width == width_ && height == height_ && rgba == rgba_) return;
  width_ = width;
  height_ = height;
  rgba_ = rgba;
  glTexImage2D(GL_TEXTURE_2D, 0, rgba ? GL_RGBA : GL_RGB, width, height, 0, rgba ? GL_RGBA : GL_RGB,
               rgba ? GL_UNSIGNED_BYTE : GL_UNSIGNED_SHORT_5_6_5, nullptr);
}

void GlTexture::Upload(const Surface16& picture) {
  if (picture.empty()) return;
  Reserve(picture.width(), picture.height(), false);
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
  Reserve(picture.width(), picture.height(), true);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

}  // namespace rodavia
