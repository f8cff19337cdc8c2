#include "platform/sdl/SdlDisplay.h"

#include <SDL2/SDL.h>
#include <imgui.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace rodavia {

namespace {
// Lets end-to-end tests take the fallback path of a machine that cannot
// switch to 1024 x 768.
bool FullScreenForcedToFail() {
  const char* v = std::getenv("RODAVIA_FALLA_PANTALLA_COMPLETA");
  return v && std::strcmp(v, "1") == 0;
}
}  // namespace

ScreenArea FitScreen(float windowWidth, float windowHeight) {
  const float scale = std::min(windowWidth / kScreenWidth, windowHeight / kScreenHeight);
  ScreenArea a;
  a.width = kScreenWidth * scale;
  a.height = kScreenHeight * scale;
  a.x = (windowWidth - a.width) / 2;
  a.y = (windowHeight - a.height) / 2;
  return a;
}

SdlDisplay::SdlDisplay(SDL_Window* window) : window_(window) {}

SdlDisplay::~SdlDisplay() {
  if (busyCursor_) SDL_FreeCursor(busyCursor_);
}

// The window is first shown here, already in its mode.
bool SdlDisplay::Initialize() {
  if (fullScreen_) {
    if (FullScreenForcedToFail() || !EnterFullScreen()) return false;
  } else {
    EnterWindow();
  }
  SDL_ShowWindow(window_);
  initialized_ = true;
  changed_ = true;
  return true;
}

// A 1024 x 768 mode, or the nearest larger one (the picture is then
// letterboxed); a screen that cannot show 1024 x 768 fails.
bool SdlDisplay::EnterFullScreen() {
  const int index = std::max(SDL_GetWindowDisplayIndex(window_), 0);
  SDL_DisplayMode wanted{SDL_PIXELFORMAT_RGB565, kScreenWidth, kScreenHeight, 0, nullptr};
  SDL_DisplayMode mode;
  if (!SDL_GetClosestDisplayMode(index, &wanted, &mode)) return false;
  if (mode.w < kScreenWidth || mode.h < kScreenHeight) return false;
  return SDL_SetWindowDisplayMode(window_, &mode) == 0 &&
         SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) == 0;
}

void SdlDisplay::EnterWindow() {
  SDL_SetWindowFullscreen(window_, 0);
  SDL_SetWindowBordered(window_, SDL_TRUE);
  SDL_SetWindowSize(window_, kScreenWidth, kScreenHeight);
  SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void SdlDisplay::Finalize() {
  if (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) SDL_SetWindowFullscreen(window_, 0);
  initialized_ = false;
}

void SdlDisplay::Flip() {
  if (!initialized_) return;
  changed_ = true;
  flipped_ = true;
}

Surface16& SdlDisplay::BackBuffer() {
  if (back_.empty()) back_ = Surface16(kScreenWidth, kScreenHeight);
  return back_;
}

bool SdlDisplay::TakeFlip() { return std::exchange(flipped_, false); }

void SdlDisplay::Draw(ImDrawList& list, const ScreenArea& area) {
  if (changed_) {
    texture_.Upload(BackBuffer());
    changed_ = false;
  }
  texture_.Draw(list, ImVec2(area.x, area.y), ImVec2(area.x + area.width, area.y + area.height));
}

void SdlDisplay::SetCursorVisible(bool visible) {
  cursorVisible_ = visible;
  ApplyCursor();
}

void SdlDisplay::SetBusyCursor(bool busy) {
  busy_ = busy;
  if (busy && !busyCursor_) busyCursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
  ApplyCursor();
}

bool SdlDisplay::OwnsCursor() const { return busy_ || (Showing() && !cursorVisible_); }

// The hidden cursor applies over the race only, so the lobby keeps its pointer.
void SdlDisplay::ApplyCursor() {
  if (!OwnsCursor()) return;
  if (busy_) {
    if (busyCursor_) SDL_SetCursor(busyCursor_);
    SDL_ShowCursor(SDL_ENABLE);
  } else {
    SDL_ShowCursor(SDL_DISABLE);
  }
}

}  // namespace rodavia
