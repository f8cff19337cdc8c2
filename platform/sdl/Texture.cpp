#include "platform/sdl/Texture.h"

#include <SDL2/SDL.h>

#include <utility>
#include <vector>

namespace rodavia {

namespace {
SDL_Renderer* renderer = nullptr;
}

void Texture::SetRenderer(SDL_Renderer* r) { renderer = r; }

Texture::~Texture() {
  if (texture_) SDL_DestroyTexture(texture_);
}

Texture::Texture(Texture&& other) noexcept { *this = std::move(other); }

Texture& Texture::operator=(Texture&& other) noexcept {
  std::swap(texture_, other.texture_);
  std::swap(width_, other.width_);
  std::swap(height_, other.height_);
  std::swap(keyed_, other.keyed_);
  return *this;
}

// Creates the texture or changes its size and layout; keeps it when they
// match so that a new frame only replaces the pixels. Opaque pictures keep
// their 16-bit pixels; keyed ones take an alpha channel.
void Texture::Reserve(int width, int height, bool keyed) {
  if (texture_ && width == width_ && height == height_ && keyed == keyed_) return;
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = SDL_CreateTexture(renderer, keyed ? SDL_PIXELFORMAT_ABGR8888 : SDL_PIXELFORMAT_RGB565,
                               SDL_TEXTUREACCESS_STREAMING, width, height);
  width_ = texture_ ? width : 0;
  height_ = texture_ ? height : 0;
  keyed_ = keyed;
  if (texture_) SDL_SetTextureBlendMode(texture_, keyed ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
}

void Texture::Upload(const Surface16& picture) {
  if (picture.empty()) return;
  Reserve(picture.width(), picture.height(), false);
  if (texture_) SDL_UpdateTexture(texture_, nullptr, picture.pixels().data(), picture.width() * 2);
}

void Texture::UploadKeyed(const Surface16& picture, uint16_t key) {
  if (picture.empty()) return;
  std::vector<uint32_t> rgba(picture.pixels().size());
  for (size_t i = 0; i < rgba.size(); ++i) {
    const uint16_t p = picture.pixels()[i];
    // Rgb565ToColorRef gives 0x00BBGGRR: ABGR8888 as a 32-bit value.
    rgba[i] = p == key ? 0 : Rgb565ToColorRef(p) | 0xFF000000u;
  }
  Reserve(picture.width(), picture.height(), true);
  if (texture_) SDL_UpdateTexture(texture_, nullptr, rgba.data(), picture.width() * 4);
}

void Texture::Draw(ImDrawList& list, ImVec2 min, ImVec2 max) const {
  if (texture_) list.AddImage(texture_, min, max);
}

}  // namespace rodavia
