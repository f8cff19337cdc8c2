#pragma once
// Car pictures: a formula car seen from above, drawn as a strip of 36
// frames of 36 x 36, frame f heading (f - 9) x 10 degrees clockwise from +x,
// on the key colour magenta.
#include <string>
#include <vector>

#include "platform/Picture.h"
#include "tools/Lienzo.h"

namespace rodavia::datos {

constexpr int LadoCoche = 36, FramesCoche = 36;
const Color Clave{255, 0, 255};  // transparent: the bottom-left pixel of every sprite

struct ModeloCoche {
  std::string archivo;
  Color carroceria, detalle, casco;  // body, stripes and wings, helmet
};

const std::vector<ModeloCoche>& ModelosCoche();
RgbImage PintarCoche(const ModeloCoche& modelo);

}  // namespace rodavia::datos
