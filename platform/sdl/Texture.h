#pragma once
// A texture of the window's renderer holding one of the game's RGB565
// pictures, for ImGui to draw.
#include <cstdint>

#include <imgui.h>

#include "platform/Surface.h"

struct SDL_Renderer;
struct SDL_Texture;

namespace rodavia {

class Texture {
 public:
  Texture() = default;
  ~Texture();
  Texture(Texture&& other) noexcept;
  Texture& operator=(Texture&& other) noexcept;
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  // The renderer every texture belongs to; set while the window lives.
  static void SetRenderer(SDL_Renderer* renderer);

  // The whole picture, opaque.
  void Upload(const Surface16& picture);
  // The picture with every pixel of colour `key` see-through.
  void UploadKeyed(const Surface16& picture, uint16_t key);
  // Draws the picture stretched over min..max.
  void Draw(ImDrawList& list, ImVec2 min, ImVec2 max) const;

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return texture_ == nullptr; }

 private:
  void Reserve(int width, int height, bool keyed);
  SDL_Texture* texture_ = nullptr;
  int width_ = 0, height_ = 0;
  bool keyed_ = false;
};

}  // namespace rodavia
