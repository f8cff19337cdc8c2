#pragma once
// The sprite engine: a tree of sprites that is moved once a frame, lets a
// sprite find the sprites it touches, frees the sprites that died and draws
// them in depth order onto the back buffer.
#include <vector>

#include "platform/Surface.h"

namespace rodavia {

class ImageSlot;
class TSpriteEngine;

class TSprite {
 public:
  explicit TSprite(TSprite* parent);
  // Frees the children, last first, and leaves the tree.
  virtual ~TSprite();
  TSprite(const TSprite&) = delete;
  TSprite& operator=(const TSprite&) = delete;

  TSpriteEngine* Engine = nullptr;
  TSprite* Parent = nullptr;
  bool Dead = false;
  bool Collides = true;
  bool Moves = true;
  bool Visible = true;
  double X = 0, Y = 0;
  int Width = 0, Height = 0;

  int Z() const { return z_; }
  // Re-sorts the sprite among its parent's draw list; the same value does nothing.
  void SetZ(int z);

  const std::vector<TSprite*>& Children() const { return children_; }
  const std::vector<TSprite*>& DrawList() const { return drawList_; }
  // Throws std::out_of_range "Index of the list exceeds the range. (i)".
  TSprite* Child(int index) const;

  double WorldX() const;
  double WorldY() const;

  virtual void Collide(TSprite* other, bool& done);
  virtual void Paint();
  virtual void Step(int count);
  virtual Rect Bounds() const;
  virtual bool Overlaps(TSprite* other);

  // The move pass of this sprite's subtree.
  void Move(int count);
  // The drawing pass of this sprite's subtree.
  void Draw();
  // Marks the sprite dead; the next FreeDead frees it. A second Kill does nothing.
  void Kill();
  // The collision pass of this sprite: calls Collide for each sprite touched.
  int CheckCollisions();

 private:
  friend class TSpriteEngine;
  void Insert(TSprite* child);
  void Remove(TSprite* child);
  void VisitForCollision(TSprite* candidate);

  int z_ = 0;
  std::vector<TSprite*> children_;
  std::vector<TSprite*> drawList_;
};

class TSpriteEngine : public TSprite {
 public:
  TSpriteEngine();
  ~TSpriteEngine() override;

  // The surface to draw on (the back buffer), or nullptr while the display
  // is not initialised; the engine takes its size.
  void SetSurface(Surface16* surface);
  Surface16* Surface() const { return surface_; }
  Rect SurfaceRect() const { return surfaceRect_; }

  // Frees every sprite of the dead list, last first.
  void FreeDead();
  const std::vector<TSprite*>& DeadList() const { return dead_; }

 private:
  friend class TSprite;
  Surface16* surface_ = nullptr;
  Rect surfaceRect_;
  std::vector<TSprite*> dead_;
  // Scratch state of the collision pass under way.
  TSprite* tester_ = nullptr;
  Rect testRect_;
  int hits_ = 0;
  bool done_ = false;
};

// A sprite that shows one frame of a picture slot.
class TImageSprite : public TSprite {
 public:
  explicit TImageSprite(TSprite* parent) : TSprite(parent) {}

  ImageSlot* Image = nullptr;
  int FrameCount = 0;
  double Frame = 0;
  double FrameSpeed = 0;
  bool FrameLoop = false;
  int FirstFrame = 0;
  bool PixelExact = false;

  void Paint() override;
  void Step(int count) override;
  bool Overlaps(TSprite* other) override;
};

// A grid of cells, each showing one frame of its picture slot.
class TBackgroundSprite : public TSprite {
 public:
  explicit TBackgroundSprite(TSprite* parent);

  ImageSlot* Image = nullptr;
  bool Tile = false;

  void SetMapSize(int width, int height);
  int MapWidth() const { return mapWidth_; }
  int MapHeight() const { return mapHeight_; }
  int& Cell(int x, int y) { return map_[size_t(y) * mapWidth_ + x]; }
  bool CollisionCell(int x, int y) const { return collisionMap_[size_t(y) * mapWidth_ + x]; }

  Rect Bounds() const override;
  void Paint() override;

 private:
  int mapWidth_ = 0, mapHeight_ = 0;
  std::vector<int> map_;
  std::vector<bool> collisionMap_;
};

}  // namespace rodavia
