#include "sprites/Sprites.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "platform/ImageList.h"

namespace rodavia {

// ---- TSprite ---------------------------------------------------------------

TSprite::TSprite(TSprite* parent) : Parent(parent) {
  if (!parent) return;
  parent->children_.push_back(this);
  parent->Insert(this);
  Engine = parent->Engine ? parent->Engine : static_cast<TSpriteEngine*>(parent);
}

TSprite::~TSprite() {
  while (!children_.empty()) delete children_.back();
  if (Parent) {
    Parent->Remove(this);
    if (Engine) {
      auto& dead = Engine->dead_;
      dead.erase(std::remove(dead.begin(), dead.end(), this), dead.end());
    }
  }
}

void TSprite::Insert(TSprite* child) {
  // Before the first sprite of equal or greater Z: a newer sprite is drawn
  // under the older ones of its depth.
  auto at = std::lower_bound(drawList_.begin(), drawList_.end(), child->z_,
                             [](TSprite* s, int z) { return s->z_ < z; });
  drawList_.insert(at, child);
}

void TSprite::Remove(TSprite* child) {
  children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
  drawList_.erase(std::remove(drawList_.begin(), drawList_.end(), child), drawList_.end());
}

void TSprite::SetZ(int z) {
  if (z == z_) return;
  if (Parent) {
    auto& list = Parent->drawList_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    z_ = z;
    Parent->Insert(this);
  } else {
    z_ = z;
  }
}

TSprite* TSprite::Child(int index) const {
  if (index < 0 || index >= int(children_.size()))
    throw std::out_of_range("Index of the list exceeds the range. (" + std::to_string(index) + ")");
  return children_[index];
}

double TSprite::WorldX() const { return X + (Parent ? Parent->WorldX() : 0); }
double TSprite::WorldY() const { return Y + (Parent ? Parent->WorldY() : 0); }

void TSprite::Collide(TSprite*, bool&) {}
void TSprite::Paint() {}
void TSprite::Step(int) {}

Rect TSprite::Bounds() const {
  const int left = int(std::trunc(WorldX())), top = int(std::trunc(WorldY()));
  return {left, top, left + Width, top + Height};
}

bool TSprite::Overlaps(TSprite*) { return true; }

void TSprite::Move(int count) {
  if (!Moves) return;
  Step(count);
  // Children created during the pass are first moved in the next one.
  const size_t n = children_.size();
  for (size_t i = 0; i < n && i < children_.size(); ++i) children_[i]->Move(count);
}

void TSprite::Draw() {
  if (!Visible) return;
  if (Engine && Bounds().overlaps(Engine->SurfaceRect())) Paint();
  for (size_t i = 0; i < drawList_.size(); ++i) drawList_[i]->Draw();
}

void TSprite::Kill() {
  if (!Engine || Dead) return;
  Dead = true;
  Engine->dead_.push_back(this);
}

int TSprite::CheckCollisions() {
  if (!Engine || Dead || !Collides) return 0;
  TSpriteEngine& e = *Engine;
  e.hits_ = 0;
  e.done_ = false;
  e.testRect_ = Bounds();
  e.tester_ = this;
  const size_t n = e.children_.size();
  for (size_t i = 0; i < n && i < e.children_.size(); ++i) e.VisitForCollision(e.children_[i]);
  return e.hits_;
}

void TSprite::VisitForCollision(TSprite* c) {
  // Runs on the engine, whose scratch state describes the pass.
  auto& e = *static_cast<TSpriteEngine*>(this);
  if (!c->Collides) return;
  TSprite* s = e.tester_;
  if (c != s && c->Bounds().overlaps(e.testRect_) && s->Overlaps(c) && c->Overlaps(s)) {
    ++e.hits_;
    s->Collide(c, e.done_);
    if (!s->Collides || s->Dead) e.done_ = true;
  }
  if (e.done_) return;
  for (size_t i = 0; i < c->children_.size(); ++i) VisitForCollision(c->children_[i]);
}

// ---- TSpriteEngine -----------------------------------------------------------

TSpriteEngine::TSpriteEngine() : TSprite(nullptr) {}

TSpriteEngine::~TSpriteEngine() {
  // Children leave the dead list as they go; free them while the engine is whole.
  while (!Children().empty()) delete Children().back();
}

void TSpriteEngine::SetSurface(Surface16* surface) {
  surface_ = surface;
  if (surface) {
    surfaceRect_ = {0, 0, surface->width(), surface->height()};
    Width = surface->width();
    Height = surface->height();
  } else {
    surfaceRect_ = {};
  }
}

void TSpriteEngine::FreeDead() {
  while (!dead_.empty()) delete dead_.back();
}

// ---- TImageSprite ------------------------------------------------------------

void TImageSprite::Paint() {
  if (!Image || !Engine || !Engine->Surface()) return;
  const int frame = int(std::trunc(Frame)) + FirstFrame;
  const Rect r = Bounds();
  const int x = r.left + (Width - Image->frameWidth) / 2;
  const int y = r.top + (Height - Image->frameHeight) / 2;
  Image->drawFrame(*Engine->Surface(), frame, x, y);
}

void TImageSprite::Step(int count) {
  Frame += FrameSpeed * count;
  if (FrameLoop) {
    if (FrameCount > 0) {
      Frame = std::fmod(Frame, double(FrameCount));
      if (Frame < 0) Frame += FrameCount;
    } else {
      Frame = 0;
    }
  } else {
    if (Frame >= FrameCount) {
      Frame = FrameCount - 1;
      FrameSpeed = 0;
    }
    if (Frame < 0) {
      Frame = 0;
      FrameSpeed = 0;
    }
  }
}

bool TImageSprite::Overlaps(TSprite*) {
  // No sprite of the game asks for pixel-exact tests: the rectangles decide.
  return true;
}

// ---- TBackgroundSprite -------------------------------------------------------

TBackgroundSprite::TBackgroundSprite(TSprite* parent) : TSprite(parent) { Collides = false; }

void TBackgroundSprite::SetMapSize(int width, int height) {
  if (width <= 0 || height <= 0) width = height = 0;
  mapWidth_ = width;
  mapHeight_ = height;
  map_.assign(size_t(width) * height, 0);
  collisionMap_.assign(size_t(width) * height, true);
}

Rect TBackgroundSprite::Bounds() const {
  if (Tile && Engine) return Engine->SurfaceRect();
  if (!Image) return {};
  const int left = int(std::trunc(WorldX())), top = int(std::trunc(WorldY()));
  return {left, top, left + mapWidth_ * Image->frameWidth, top + mapHeight_ * Image->frameHeight};
}

void TBackgroundSprite::Paint() {
  if (!Image || !Engine || !Engine->Surface() || mapWidth_ == 0) return;
  const int fw = Image->frameWidth, fh = Image->frameHeight;
  if (fw <= 0 || fh <= 0) return;
  Surface16& to = *Engine->Surface();
  const int ox = int(std::trunc(WorldX())), oy = int(std::trunc(WorldY()));
  const Rect surface = Engine->SurfaceRect();
  auto drawCell = [&](int i, int j, int x, int y) {
    const int frame = map_[size_t(j) * mapWidth_ + i];
    if (frame >= 0 && Rect{x, y, x + fw, y + fh}.overlaps(surface)) Image->drawFrame(to, frame, x, y);
  };
  if (!Tile) {
    for (int j = 0; j < mapHeight_; ++j)
      for (int i = 0; i < mapWidth_; ++i) drawCell(i, j, ox + i * fw, oy + j * fh);
    return;
  }
  // Tiled: start from the cell whose copy covers the surface's top-left corner.
  const int w = mapWidth_ * fw, h = mapHeight_ * fh;
  const int startX = ((ox % w) + w) % w - w, startY = ((oy % h) + h) % h - h;
  for (int y = startY; y < surface.bottom; y += fh)
    for (int x = startX; x < surface.right; x += fw) {
      const int i = (((x - startX) / fw) % mapWidth_), j = (((y - startY) / fh) % mapHeight_);
      drawCell(i, j, x, y);
    }
}

}  // namespace rodavia
