#include "tools/Coches.h"

#include <cmath>
#include <optional>

namespace rodavia::datos {

namespace {

// Signed distance (negative inside) to a box with rounded corners centred
// at (cx, cy) with half sizes (hx, hy).
float Caja(float x, float y, float cx, float cy, float hx, float hy, float r = 0) {
  const float qx = std::abs(x - cx) - hx + r, qy = std::abs(y - cy) - hy + r;
  const float fuera = std::hypot(std::max(qx, 0.f), std::max(qy, 0.f));
  return fuera + std::min(std::max(qx, qy), 0.f) - r;
}
float Circulo(float x, float y, float cx, float cy, float r) { return std::hypot(x - cx, y - cy) - r; }

const Color Contorno{16, 16, 20}, Caucho{30, 30, 33}, Visera{26, 30, 44};

// The car in its own frame: x forward, y to the driver's right, pixels,
// centred on the picture's centre. Nothing outside the car or its outline.
std::optional<Color> ColorCoche(const ModeloCoche& m, float x, float y) {
  const float ay = std::abs(y);
  // Shading: lit along the spine, darker towards the sides.
  const float luz = 1.12f - 0.28f * Limitar(ay / 6.5f);
  if (Circulo(x, y, -1.8f, 0, 2.3f) < 0) {  // helmet with its visor at the front
    if (x > -0.9f && ay < 1.9f) return Visera * (1 + 0.8f * Limitar(1 - ay));
    return m.casco * (1.15f - 0.2f * Limitar(std::hypot(x + 2.4f, y + 0.6f) / 2.3f));
  }
  if (Caja(x, y, -1.2f, 0, 3.6f, 2.7f, 1.2f) < 0) return Color{18, 18, 20};  // cockpit
  if (Caja(x, y, -5.2f, 0, 1.1f, 1.3f, 0.5f) < 0) return m.carroceria * 0.55f;  // roll hoop
  // Wings: the front one wide and low, the rear one across the back.
  if (Caja(x, y, 13.4f, 0, 1.2f, 8.8f, 0.4f) < 0)
    return ay > 8 ? m.carroceria * 0.8f : m.detalle * (x > 13.6f ? 1.1f : 0.85f);
  if (Caja(x, y, -14.2f, 0, 1.5f, 8.2f, 0.4f) < 0)
    return ay > 7.2f ? m.detalle : Color{44, 44, 50} * (x < -14.4f ? 0.8f : 1.2f);
  // Tyres: slim at the front, wide at the rear, with tread and a rim of light.
  auto rueda = [&](float cx, float cy, float hx, float hy) -> std::optional<Color> {
    if (Caja(x, y, cx, cy, hx, hy, 0.9f) >= 0) return std::nullopt;
    const bool dibujo = std::fmod(std::abs(x - cx) + 10, 1.6f) < 0.5f;
    const float brillo = 1 + 0.6f * Limitar(1 - std::abs(ay - std::abs(cy) + hy * 0.4f));
    return Caucho * (dibujo ? 0.75f : 1.f) * brillo;
  };
  if (auto r = rueda(7.2f, y > 0 ? 7.6f : -7.6f, 3.0f, 1.9f)) return r;
  if (auto r = rueda(-9.4f, y > 0 ? 8.0f : -8.0f, 3.5f, 2.9f)) return r;
  // Body: nose, monocoque, sidepods and the engine cover tapering back.
  const bool morro = x > 2 && x < 12.2f && ay < 3.1f - (x - 2) * 0.15f;
  const bool centro = Caja(x, y, -1, 0, 5.2f, 3.5f, 1.5f) < 0;
  const bool pontones = Caja(x, y, -3.6f, 0, 4.2f, 6.0f, 2.2f) < 0;
  const bool motor = x <= -7 && x > -13 && ay < 3.4f - (-7 - x) * 0.25f;
  if (morro || centro || pontones || motor) {
    if (ay < 0.8f && x > -11) return m.detalle * luz;  // stripe along the spine
    return m.carroceria * luz;
  }
  // Suspension arms.
  if ((std::abs(x - 7.2f) < 0.45f && ay < 6) || (std::abs(x + 9.4f) < 0.5f && ay < 5.5f))
    return Color{70, 70, 76};
  return std::nullopt;
}

// The same with a dark outline around the whole shape.
std::optional<Color> ColorConContorno(const ModeloCoche& m, float x, float y) {
  if (std::abs(x) > 16 || std::abs(y) > 11.8f) return std::nullopt;  // beyond the widest parts
  if (auto c = ColorCoche(m, x, y)) return c;
  for (float a = 0; a < 6.28f; a += 0.785f)
    if (ColorCoche(m, x + 0.8f * std::cos(a), y + 0.8f * std::sin(a))) return Contorno;
  return std::nullopt;
}

}  // namespace

const std::vector<ModeloCoche>& ModelosCoche() {
  static const std::vector<ModeloCoche> lista = {
      {"F1-Vanto-Rojo.bmp", {206, 24, 22}, {245, 245, 240}, {250, 210, 30}},
      {"F1-Vanto-Azul.bmp", {24, 70, 200}, {250, 200, 30}, {240, 240, 240}},
      {"F1-Vanto-Verde.bmp", {20, 140, 60}, {240, 240, 235}, {230, 60, 40}},
      {"F1-Vanto-Amarillo.bmp", {244, 200, 24}, {30, 30, 34}, {40, 90, 220}},
      {"F1-Vanto-Negro.bmp", {36, 36, 40}, {220, 170, 40}, {220, 40, 40}},
      {"F1-Vanto-Blanco.bmp", {236, 236, 232}, {210, 30, 30}, {30, 60, 180}},
  };
  return lista;
}

std::optional<Color> ColorVistaCoche(const ModeloCoche& modelo, float x, float y) {
  return ColorConContorno(modelo, x, y);
}

RgbImage PintarCoche(const ModeloCoche& modelo) {
  // The top view at eight samples a pixel, drawn once and then turned.
  constexpr int Fino = 8, Lado = LadoCoche * Fino;
  std::vector<std::optional<Color>> vista(size_t(Lado) * Lado);
  for (int j = 0; j < Lado; ++j)
    for (int i = 0; i < Lado; ++i)
      vista[size_t(j) * Lado + i] = ColorConContorno(modelo, (i + 0.5f) / Fino - LadoCoche / 2.f,
                                                     (j + 0.5f) / Fino - LadoCoche / 2.f);
  constexpr int Sub = 5;  // samples a side in every output pixel
  RgbImage img(LadoCoche * FramesCoche, LadoCoche);
  for (int f = 0; f < FramesCoche; ++f) {
    const double rumbo = (f - 9) * 10 * M_PI / 180;
    const float c = float(std::cos(rumbo)), s = float(std::sin(rumbo));
    for (int py = 0; py < LadoCoche; ++py)
      for (int px = 0; px < LadoCoche; ++px) {
        Color suma;
        int dentro = 0;
        for (int j = 0; j < Sub; ++j)
          for (int i = 0; i < Sub; ++i) {
            const float qx = px + (i + 0.5f) / Sub - LadoCoche / 2.f;
            const float qy = py + (j + 0.5f) / Sub - LadoCoche / 2.f;
            // Into the car's frame: forward along the heading, right clockwise of it.
            const int vx = int(std::floor((qx * c + qy * s + LadoCoche / 2.f) * Fino));
            const int vy = int(std::floor((-qx * s + qy * c + LadoCoche / 2.f) * Fino));
            if (vx < 0 || vy < 0 || vx >= Lado || vy >= Lado) continue;
            if (const auto& col = vista[size_t(vy) * Lado + vx]) {
              suma = suma + *col;
              ++dentro;
            }
          }
        const float cobertura = float(dentro) / (Sub * Sub);
        // Thin coverage stays transparent; partial pixels lean to the dark
        // outline, never towards the key colour, so no pink halo shows.
        Color pixel = Clave;
        if (cobertura >= 0.3f) pixel = Mezcla(Contorno, suma * (1.f / float(dentro)), cobertura);
        Poner(img, f * LadoCoche + px, py, pixel);
      }
  }
  return img;
}

}  // namespace rodavia::datos
