#include "platform/ImageList.h"

#include "platform/Picture.h"

namespace rodavia {

void ImageSlot::setPicture(Picture picture) {
  picture_ = std::move(picture.pixels);
  frameWidth = picture_.width();
  frameHeight = picture_.height();
  transparentColor = picture.transparentColor;
}

int ImageSlot::frameCount() const {
  if (frameWidth <= 0 || frameHeight <= 0) return 0;
  return (picture_.width() / frameWidth) * (picture_.height() / frameHeight);
}

// An empty rectangle for a frame outside the picture (and no division by a
// zero frame width or by a frame wider than the picture).
Rect ImageSlot::frameRect(int frame) const {
  if (frame < 0 || frame >= frameCount()) return {};
  const int across = picture_.width() / frameWidth;
  const int x = (frame % across) * frameWidth, y = (frame / across) * frameHeight;
  return {x, y, x + frameWidth, y + frameHeight};
}

void ImageSlot::drawFrame(Surface16& to, int frame, int x, int y) const {
  if (frame < 0 || frame >= frameCount()) return;
  if (transparent)
    to.blitKeyed(picture_, frameRect(frame), x, y, ColorRefTo565(transparentColor));
  else
    to.blit(picture_, frameRect(frame), x, y);
}

ImageSlot& ImageList::slot(const std::string& name) {
  if (ImageSlot* s = find(name)) return *s;
  slots_.push_back(std::make_unique<ImageSlot>(name));
  return *slots_.back();
}

ImageSlot* ImageList::find(const std::string& name) {
  for (auto& s : slots_)
    if (s->name() == name) return s.get();
  return nullptr;
}

}  // namespace rodavia
