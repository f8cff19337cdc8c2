#pragma once
// Named picture slots with a frame size and colour-key transparency: the
// image list the sprites draw from. Frames are numbered left to right, then
// top to bottom.
#include <memory>
#include <string>
#include <vector>

#include "platform/Surface.h"

namespace rodavia {

struct Picture;

class ImageSlot {
 public:
  explicit ImageSlot(std::string name) : name_(std::move(name)) {}
  const std::string& name() const { return name_; }

  // Takes the picture; the frame size becomes the whole picture and the
  // transparent colour the one the picture reports.
  void setPicture(Picture picture);
  const Surface16& picture() const { return picture_; }
  bool loaded() const { return !picture_.empty(); }

  int frameWidth = 0, frameHeight = 0;
  bool transparent = false;
  uint32_t transparentColor = 0;  // 0x00BBGGRR

  int frameCount() const;
  Rect frameRect(int frame) const;
  // Draws one frame with its top-left corner at (x, y); a frame number outside
  // the picture draws nothing.
  void drawFrame(Surface16& to, int frame, int x, int y) const;

 private:
  std::string name_;
  Surface16 picture_;
};

class ImageList {
 public:
  // The slot of that name, created empty when missing.
  ImageSlot& slot(const std::string& name);
  ImageSlot* find(const std::string& name);

 private:
  std::vector<std::unique_ptr<ImageSlot>> slots_;
};

}  // namespace rodavia
