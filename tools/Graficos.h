#pragma once
// Race pictures on the key colour: the starting light (six frames side by
// side: all out, then one more red lamp each) and the three smoke puffs
// (square frames of a puff that grows and thins out).
#include <string>
#include <vector>

#include "platform/Picture.h"
#include "tools/Lienzo.h"

namespace rodavia::datos {

constexpr int AnchoSemaforo = 150, AltoSemaforo = 44, FramesSemaforo = 6;
constexpr int LadoHumo = 24, FramesHumo = 4;

struct TipoHumo {
  std::string archivo;
  Color color;
  float densidad;  // opacity of the first frame
};

const std::vector<TipoHumo>& TiposHumo();
RgbImage PintarSemaforo();
RgbImage PintarHumo(const TipoHumo& tipo);

}  // namespace rodavia::datos
