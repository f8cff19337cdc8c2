#include "race/Humo.h"

#include <cmath>

#include "platform/ImageList.h"

namespace rodavia {

namespace {
uint32_t semilla_ = 0;
}  // namespace

void SembrarAleatorio(uint32_t semilla) { semilla_ = semilla; }

int Aleatorio(int rango) {
  // A linear congruential sequence: cheap enough for hundreds of puffs a tick.
  semilla_ = semilla_ * 134775813u + 1u;
  return int((uint64_t(semilla_) * uint32_t(rango)) >> 32);
}

THumo::THumo(TSpriteEngine& motor, ImageSlot& imagen, double x, double y) : TImageSprite(&motor) {
  Image = &imagen;
  Width = imagen.frameWidth;
  Height = imagen.frameHeight;
  X = x;
  Y = y;
  SetZ(ZHumo);
  FrameCount = imagen.frameCount();
}

void THumo::Step(int) {
  X += Aleatorio(2) - 1;
  Y += Aleatorio(2) - 1;
  ++Vida;
  // With no frames the divisor is infinite and the frame stays 0.
  Frame = std::trunc(Vida / (double(DuracionVida) / FrameCount));
  if (Vida >= DuracionVida) Kill();
}

}  // namespace rodavia
