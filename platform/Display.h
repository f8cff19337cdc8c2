#pragma once
// The race display: a 1024 x 768 RGB565 back buffer shown full screen or in
// the window, stretched and centred on a larger screen, over the lobby while
// it is visible.
#include <string>

#include "platform/Surface.h"

namespace rodavia {

class Display {
 public:
  virtual ~Display() = default;
  // The full-screen option the next Initialize uses.
  virtual void SetFullScreenOption(bool fullScreen) = 0;
  virtual bool FullScreenOption() const = 0;
  // Enters the mode of the options; false when it cannot be set.
  virtual bool Initialize() = 0;
  virtual void Finalize() = 0;
  virtual bool Initialized() const = 0;
  // 1024 x 768, black until drawn on.
  virtual Surface16& BackBuffer() = 0;
  // Shows the back buffer.
  virtual void Flip() = 0;
  // The drawing surface shown over the window (a race) or hidden (the lobby).
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;
  virtual void SetCursorVisible(bool visible) = 0;
  virtual void SetBusyCursor(bool busy) = 0;
};

class TextRenderer {
 public:
  virtual ~TextRenderer() = default;
  // Bold italic text on a transparent background, top-left corner at (x, y);
  // colour 0x00BBGGRR, size in points (12 pt is 16 px).
  virtual void Draw(Surface16& to, int x, int y, const std::string& utf8, uint32_t color,
                    int points) = 0;
};

}  // namespace rodavia
