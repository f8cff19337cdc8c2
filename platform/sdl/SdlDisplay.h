#pragma once
// The race display on the application's window: a 1024 x 768 RGB565 back
// buffer shown, when visible, over the whole window (stretched, centred and
// letterboxed); full screen in a 1024 x 768 mode or in the window.
#include "platform/Display.h"
#include "platform/sdl/Texture.h"

struct SDL_Window;
struct SDL_Cursor;
struct ImDrawList;
struct ImVec2;

namespace rodavia {

constexpr int kScreenWidth = 1024, kScreenHeight = 768;

// Where the 1024 x 768 picture goes in a window of the given size: as large
// as fits with its aspect kept, centred.
struct ScreenArea {
  float x = 0, y = 0, width = kScreenWidth, height = kScreenHeight;
};
ScreenArea FitScreen(float windowWidth, float windowHeight);

class SdlDisplay : public Display {
 public:
  explicit SdlDisplay(SDL_Window* window);
  ~SdlDisplay() override;
  SdlDisplay(const SdlDisplay&) = delete;
  SdlDisplay& operator=(const SdlDisplay&) = delete;

  void SetFullScreenOption(bool fullScreen) override { fullScreen_ = fullScreen; }
  bool FullScreenOption() const override { return fullScreen_; }
  bool Initialize() override;
  void Finalize() override;
  bool Initialized() const override { return initialized_; }
  // Allocated on first use: the lobby never draws on it.
  Surface16& BackBuffer() override;
  void Flip() override;
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Visible() const override { return visible_; }
  void SetCursorVisible(bool visible) override;
  void SetBusyCursor(bool busy) override;

  // Whether a frame shows the back buffer rather than the main window.
  bool Showing() const { return visible_ && initialized_; }
  // True once after each Flip: the application then draws without waiting.
  bool TakeFlip();
  // Draws the back buffer into `area`, uploading it first when it was flipped.
  void Draw(ImDrawList& list, const ScreenArea& area);
  // Whether the display decides the mouse cursor now (busy, or hidden over
  // the race); the window's controls choose it otherwise.
  bool OwnsCursor() const;
  void ApplyCursor();

 private:
  bool EnterFullScreen();
  void EnterWindow();

  SDL_Window* window_;
  SDL_Cursor* busyCursor_ = nullptr;
  Surface16 back_;
  Texture texture_;
  bool fullScreen_ = true, initialized_ = false, visible_ = false;
  bool cursorVisible_ = true, busy_ = false;
  bool changed_ = true, flipped_ = false;
};

}  // namespace rodavia
