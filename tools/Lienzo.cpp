#include "tools/Lienzo.h"

namespace rodavia::datos {

void Disco(RgbImage& img, float cx, float cy, float radio, Color c, float opacidad, float luz) {
  const int x0 = int(std::floor(cx - radio - 1)), x1 = int(std::ceil(cx + radio + 1));
  const int y0 = int(std::floor(cy - radio - 1)), y1 = int(std::ceil(cy + radio + 1));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const float dx = float(x) + 0.5f - cx, dy = float(y) + 0.5f - cy;
      const float d = std::sqrt(dx * dx + dy * dy);
      // Lit from the top-left: brighter where the surface faces the light.
      const float brillo = 1 + luz * Limitar(-(dx + dy) / (radio * 1.41f), -1, 1);
      Fundir(img, x, y, c * brillo, Cobertura(radio - d) * opacidad);
    }
}

}  // namespace rodavia::datos
