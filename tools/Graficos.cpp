#include "tools/Graficos.h"

#include <cmath>

#include "tools/Coches.h"

namespace rodavia::datos {

namespace {

// Fills a picture with the key colour.
RgbImage Transparente(int ancho, int alto) {
  RgbImage img(ancho, alto);
  for (int y = 0; y < alto; ++y)
    for (int x = 0; x < ancho; ++x) Poner(img, x, y, Clave);
  return img;
}

// Ordered dither threshold of a 4 x 4 Bayer matrix, in (0, 1).
float Umbral(int x, int y) {
  static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return (float(bayer[y & 3][x & 3]) + 0.5f) / 16;
}

void PintarCarcasa(RgbImage& img, int x0) {
  const Color carcasa{44, 44, 50}, borde{14, 14, 16};
  // A gantry with rounded ends; its edge is a hard dark line so nothing
  // blends towards the key colour.
  for (int y = 0; y < AltoSemaforo; ++y)
    for (int x = 0; x < AnchoSemaforo; ++x) {
      const float cx = std::clamp(float(x) + 0.5f, 22.f, AnchoSemaforo - 22.f);
      const float d = std::hypot(float(x) + 0.5f - cx, float(y) + 0.5f - AltoSemaforo / 2.f);
      if (d > 19.5f) continue;
      const float relieve = 1.15f - 0.35f * (float(y) / AltoSemaforo);
      Poner(img, x0 + x, y, d > 18 ? borde : carcasa * relieve);
    }
}

}  // namespace

RgbImage PintarSemaforo() {
  RgbImage img = Transparente(AnchoSemaforo * FramesSemaforo, AltoSemaforo);
  const Color apagada{70, 14, 12}, encendida{255, 44, 30};
  for (int f = 0; f < FramesSemaforo; ++f) {
    const int x0 = f * AnchoSemaforo;
    PintarCarcasa(img, x0);
    for (int k = 0; k < 5; ++k) {
      const float cx = float(x0) + 21 + float(k) * 27, cy = AltoSemaforo / 2.f;
      Disco(img, cx, cy, 11.5f, Color{10, 10, 12});  // the lamp's hood
      if (k < f) {
        Disco(img, cx, cy, 10.5f, Color{255, 90, 60}, 0.5f);  // glow
        Disco(img, cx, cy, 9, encendida, 1, 0.25f);
        Disco(img, cx - 3, cy - 3, 3, Color{255, 220, 200}, 0.8f);  // hot spot
      } else {
        Disco(img, cx, cy, 9, apagada, 1, 0.3f);
        Disco(img, cx - 3, cy - 3, 2.2f, Color{140, 90, 90}, 0.5f);  // reflection
      }
    }
  }
  return img;
}

const std::vector<TipoHumo>& TiposHumo() {
  static const std::vector<TipoHumo> lista = {
      {"HumoAsfalto.bmp", {214, 214, 210}, 0.95f},
      {"HumoNoAsfalto.bmp", {150, 116, 72}, 0.95f},
      {"HumoMotor.bmp", {58, 58, 62}, 1.0f},
  };
  return lista;
}

RgbImage PintarHumo(const TipoHumo& tipo) {
  RgbImage img = Transparente(LadoHumo * FramesHumo, LadoHumo);
  // A few overlapping blobs make the puff; each frame it grows and thins.
  const float blobs[5][3] = {{0, 0, 1}, {-0.4f, -0.3f, 0.7f}, {0.45f, -0.2f, 0.65f},
                             {0.1f, 0.45f, 0.7f}, {-0.35f, 0.35f, 0.6f}};
  for (int f = 0; f < FramesHumo; ++f) {
    const float radio = 4.5f + 2.2f * float(f);
    const float densidad = tipo.densidad * (1 - 0.23f * float(f));
    for (int y = 0; y < LadoHumo; ++y)
      for (int x = 0; x < LadoHumo; ++x) {
        const float px = float(x) + 0.5f - LadoHumo / 2.f, py = float(y) + 0.5f - LadoHumo / 2.f;
        float a = 0;
        for (const auto& b : blobs) {
          const float d = std::hypot(px - b[0] * radio, py - b[1] * radio) / (radio * b[2]);
          a = std::max(a, 1 - d * d);
        }
        a *= densidad * (0.75f + 0.5f * Ruido(float(x + f * 7), float(y), 3, 40));
        if (a <= Umbral(x, y)) continue;
        // Lit from the top-left, a little darker where thick.
        const float luz = 1.1f - 0.25f * Limitar((px + py) / (2 * radio) + 0.5f);
        Poner(img, f * LadoHumo + x, y, tipo.color * luz);
      }
  }
  return img;
}

}  // namespace rodavia::datos
