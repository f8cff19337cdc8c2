#pragma once
// Smoke puffs: decoration that drifts up and left, plays its picture's frames
// once over 40 ticks and dies.
#include <cstdint>

#include "sprites/Sprites.h"

namespace rodavia {

class ImageSlot;

// The game's one random sequence; the main window seeds it at start-up and
// tests seed it to repeat a run.
void SembrarAleatorio(uint32_t semilla);
// 0 .. rango - 1.
int Aleatorio(int rango);

class THumo : public TImageSprite {
 public:
  static constexpr int16_t DuracionVida = 40;  // ticks
  static constexpr int ZHumo = 30;            // over every car

  // A puff of the slot's picture with its top-left corner at (x, y), owned
  // by the engine, which frees it after it dies.
  THumo(TSpriteEngine& motor, ImageSlot& imagen, double x, double y);

  void Step(int count) override;

  int16_t Vida = 0;  // age in ticks
};

}  // namespace rodavia
