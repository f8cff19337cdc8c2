#pragma once
// Car pictures: a formula car seen from above, drawn as a strip of 36
// frames of 36 x 36, frame f heading (f - 9) x 10 degrees clockwise from +x,
// on the key colour magenta.
#include <optional>
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
// The colour of the car seen from above at (x, y) pixels of a frame, x
// forward and y to the driver's right from the frame's centre; none outside
// the car and its outline. The desktop icon draws it larger.
std::optional<Color> ColorVistaCoche(const ModeloCoche& modelo, float x, float y);

}  // namespace rodavia::datos
