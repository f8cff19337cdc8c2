#include "sprites/Sprites.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "platform/ImageList.h"
#include "platform/Picture.h"

namespace rodavia {
namespace {

// A sprite that records its steps and collisions and can run code in them.
class Probe : public TSprite {
 public:
  Probe(TSprite* parent, std::vector<std::string>* log, std::string name)
      : TSprite(parent), log_(log), name_(std::move(name)) {}
  void Step(int) override {
    log_->push_back("step " + name_);
    if (onStep) onStep();
  }
  void Collide(TSprite* other, bool& done) override {
    log_->push_back("hit " + static_cast<Probe*>(other)->name_);
    if (onCollide) onCollide(done);
  }
  void Paint() override { log_->push_back("paint " + name_); }
  std::function<void()> onStep;
  std::function<void(bool&)> onCollide;

 private:
  std::vector<std::string>* log_;
  std::string name_;
};

Probe* Make(TSprite* parent, std::vector<std::string>& log, const std::string& name, int z = 0,
            double x = 0, double y = 0, int size = 36) {
  auto* p = new Probe(parent, &log, name);
  p->SetZ(z);
  p->X = x;
  p->Y = y;
  p->Width = p->Height = size;
  return p;
}

struct SpritesTest : ::testing::Test {
  SpritesTest() : surface(1024, 768) { engine.SetSurface(&surface); }
  std::vector<std::string> Paints() {
    std::vector<std::string> p;
    for (auto& l : log)
      if (l.rfind("paint ", 0) == 0) p.push_back(l.substr(6));
    return p;
  }
  Surface16 surface;
  TSpriteEngine engine;
  std::vector<std::string> log;
};

TEST_F(SpritesTest, DrawOrderIsByDepthWithNewerSpritesUnderOlderOnes) {
  Make(&engine, log, "car10", 10);
  Make(&engine, log, "puffA", 30);
  Make(&engine, log, "puffB", 30);
  Make(&engine, log, "fondo", -1);
  auto* car12 = Make(&engine, log, "car12", 12);
  engine.Draw();
  EXPECT_EQ(Paints(), (std::vector<std::string>{"fondo", "car10", "car12", "puffB", "puffA"}));

  // Moving a sprite to another depth re-sorts it; setting the same depth keeps it.
  log.clear();
  car12->SetZ(30);
  engine.Draw();
  EXPECT_EQ(Paints(), (std::vector<std::string>{"fondo", "car10", "car12", "puffB", "puffA"}));
  log.clear();
  car12->SetZ(30);
  engine.Draw();
  EXPECT_EQ(Paints()[2], "car12");
}

TEST_F(SpritesTest, SpritesOffTheSurfaceOrInvisibleAreNotPaintedButStillMove) {
  Make(&engine, log, "parked", 10, -50, -50);
  auto* hidden = Make(&engine, log, "hidden", 11);
  hidden->Visible = false;
  Make(&engine, log, "edge", 12, 1023, 767);  // one pixel on the surface
  engine.Draw();
  EXPECT_EQ(Paints(), (std::vector<std::string>{"edge"}));
  log.clear();
  engine.Move(0);
  EXPECT_EQ(log, (std::vector<std::string>{"step parked", "step hidden", "step edge"}));
}

TEST_F(SpritesTest, ChildrenCreatedDuringAMovePassMoveFromTheNextPass) {
  auto* car = Make(&engine, log, "car");
  int made = 0;
  car->onStep = [&] { Make(&engine, log, "puff" + std::to_string(made++), 30); };
  engine.Move(0);
  EXPECT_EQ(log, (std::vector<std::string>{"step car"}));
  log.clear();
  engine.Move(0);
  EXPECT_EQ(log, (std::vector<std::string>{"step car", "step puff0"}));
}

TEST_F(SpritesTest, KilledSpritesMoveUntilFreedAndAreFreedOnce) {
  auto* puff = Make(&engine, log, "puff", 30);
  auto* other = Make(&engine, log, "other", 30);
  puff->onStep = [&] { puff->Kill(); puff->Kill(); };
  engine.Move(0);
  ASSERT_EQ(engine.DeadList().size(), 1u);
  EXPECT_TRUE(puff->Dead);
  engine.FreeDead();
  EXPECT_TRUE(engine.DeadList().empty());
  ASSERT_EQ(engine.Children().size(), 1u);
  EXPECT_EQ(engine.Children()[0], other);
  log.clear();
  engine.Draw();
  EXPECT_EQ(Paints(), (std::vector<std::string>{"other"}));
}

TEST_F(SpritesTest, FreeingASpriteFromItsOwnerTakesItOutOfTheDeadListToo) {
  auto* car = Make(&engine, log, "car");
  car->Kill();
  delete car;
  EXPECT_TRUE(engine.DeadList().empty());
  EXPECT_TRUE(engine.Children().empty());
  engine.FreeDead();  // nothing left to free twice
}

TEST_F(SpritesTest, CollisionPassVisitsOverlappingRectanglesInCreationOrder) {
  auto* a = Make(&engine, log, "a", 10, 0, 0);
  Make(&engine, log, "touching", 11, 36, 0);   // shares an edge only
  Make(&engine, log, "corner", 12, 35, 35);    // overlaps one pixel
  auto* off = Make(&engine, log, "nocollide", 13, 10, 10);
  off->Collides = false;
  auto* hidden = Make(&engine, log, "hidden", 14, 5, 5);
  hidden->Visible = false;  // invisible sprites are still hit
  log.clear();
  EXPECT_EQ(a->CheckCollisions(), 2);
  EXPECT_EQ(log, (std::vector<std::string>{"hit corner", "hit hidden"}));
}

TEST_F(SpritesTest, DoneStopsOnlyTheDescentIntoChildren) {
  auto* a = Make(&engine, log, "a", 10, 0, 0);
  auto* b = Make(&engine, log, "b", 11, 0, 0);
  Make(b, log, "b.child", 0, 0, 0);
  Make(&engine, log, "c", 12, 0, 0);
  a->onCollide = [](bool& done) { done = true; };
  log.clear();
  EXPECT_EQ(a->CheckCollisions(), 2);
  EXPECT_EQ(log, (std::vector<std::string>{"hit b", "hit c"}));

  // Without done the children are visited too; a dead tester tests nothing.
  a->onCollide = nullptr;
  log.clear();
  EXPECT_EQ(a->CheckCollisions(), 3);
  a->Kill();
  EXPECT_EQ(a->CheckCollisions(), 0);
}

TEST_F(SpritesTest, ChildByPositionOutOfRangeRaisesTheListError) {
  try {
    engine.Child(0);
    FAIL();
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "Index of the list exceeds the range. (0)");
  }
}

Picture Strip(int frames, int size, uint16_t key) {
  Picture p;
  p.pixels = Surface16(frames * size, size, key);
  for (int f = 0; f < frames; ++f)
    for (int y = 1; y < size - 1; ++y)
      for (int x = 1; x < size - 1; ++x) p.pixels.setPixel(f * size + x, y, uint16_t(100 + f));
  p.transparentColor = Rgb565ToColorRef(key);
  return p;
}

TEST_F(SpritesTest, ImageSpritePaintsItsTruncatedFrameSkippingTheKeyColour) {
  ImageList images;
  ImageSlot& slot = images.slot("car");
  const uint16_t key = To565(255, 0, 255);
  slot.setPicture(Strip(3, 8, key));
  slot.frameWidth = slot.frameHeight = 8;
  slot.transparent = true;
  surface.fill(7);
  auto* s = new TImageSprite(&engine);
  s->Image = &slot;
  s->Width = s->Height = 8;
  s->X = 10.9;
  s->Y = 20.2;
  s->Frame = 1.99;
  engine.Draw();
  EXPECT_EQ(surface.pixel(10, 20), 7);    // key colour left the background
  EXPECT_EQ(surface.pixel(11, 21), 101);  // frame 1 at the truncated position
  EXPECT_EQ(surface.pixel(18, 21), 7);

  surface.fill(7);
  s->Frame = 3;  // past the last frame: nothing
  engine.Draw();
  EXPECT_EQ(surface.pixel(11, 21), 7);
}

TEST_F(SpritesTest, ImageSpriteStepWithoutFramesHoldsFrameZero) {
  TImageSprite light(&engine);
  light.Frame = 4;
  light.Step(0);
  EXPECT_EQ(light.Frame, 0);
  light.FrameCount = 6;
  light.FrameLoop = true;
  light.FrameSpeed = 1;
  light.Frame = 5;
  light.Step(2);
  EXPECT_DOUBLE_EQ(light.Frame, 1);
}

TEST_F(SpritesTest, BackgroundDrawsItsWholePictureAndDoesNotCollide) {
  ImageList images;
  ImageSlot& slot = images.slot("Circuito");
  Picture p;
  p.pixels = Surface16(1024, 768, 0);
  p.pixels.setPixel(0, 0, 11);
  p.pixels.setPixel(1023, 767, 22);
  slot.setPicture(std::move(p));
  auto* fondo = new TBackgroundSprite(&engine);
  fondo->SetMapSize(1, 1);
  fondo->Image = &slot;
  fondo->SetZ(-1);
  EXPECT_FALSE(fondo->Collides);
  engine.Draw();
  EXPECT_EQ(surface.pixel(0, 0), 11);
  EXPECT_EQ(surface.pixel(1023, 767), 22);
  fondo->SetMapSize(0, 5);
  EXPECT_EQ(fondo->MapWidth(), 0);
  EXPECT_EQ(fondo->MapHeight(), 0);
}

}  // namespace
}  // namespace rodavia
