#pragma once
// Drawing helpers for the data generator: colours as floats, deterministic
// noise (hashes of integer coordinates and a fixed seed, never a clock or a
// library random engine, so every run writes the same bytes) and blending
// into an RgbImage.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/Picture.h"

namespace rodavia::datos {

struct Color {
  float r = 0, g = 0, b = 0;
};

inline Color operator*(Color c, float k) { return {c.r * k, c.g * k, c.b * k}; }
inline Color operator+(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Color Mezcla(Color a, Color b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline float Limitar(float v, float lo = 0, float hi = 1) { return std::clamp(v, lo, hi); }
// Coverage of a pixel by a region whose signed distance (inside positive)
// is d pixels: a one-pixel ramp gives anti-aliased edges.
inline float Cobertura(float d) { return Limitar(d + 0.5f); }
inline float Suave(float e0, float e1, float x) {
  const float t = Limitar((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

// A well-mixed 32-bit hash of two coordinates and a seed.
inline uint32_t Hash(int x, int y, uint32_t semilla) {
  uint32_t h = uint32_t(x) * 0x8da6b343u ^ uint32_t(y) * 0xd8163841u ^ semilla * 0xcb1ab31fu;
  h ^= h >> 15;
  h *= 0x2c1b3c6du;
  h ^= h >> 12;
  h *= 0x297a2d39u;
  h ^= h >> 15;
  return h;
}
// In [0, 1).
inline float Azar(int x, int y, uint32_t semilla) { return float(Hash(x, y, semilla) >> 8) / 16777216.0f; }

// Smooth value noise in [0, 1) with features of about `escala` pixels.
inline float Ruido(float x, float y, float escala, uint32_t semilla) {
  x /= escala;
  y /= escala;
  const int ix = int(std::floor(x)), iy = int(std::floor(y));
  const float fx = x - float(ix), fy = y - float(iy);
  const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  const float a = Azar(ix, iy, semilla), b = Azar(ix + 1, iy, semilla);
  const float c = Azar(ix, iy + 1, semilla), d = Azar(ix + 1, iy + 1, semilla);
  return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}
// Three octaves of value noise, centred on 0, about -0.5..0.5.
inline float Fractal(float x, float y, float escala, uint32_t semilla) {
  return (Ruido(x, y, escala, semilla) * 0.57f + Ruido(x, y, escala / 2, semilla + 1) * 0.29f +
          Ruido(x, y, escala / 4, semilla + 2) * 0.14f) -
         0.5f;
}

inline uint8_t Byte(float v) { return uint8_t(std::lround(Limitar(v, 0, 255))); }

inline Color Leer(const RgbImage& img, int x, int y) {
  const uint8_t* p = img.at(x, y);
  return {float(p[0]), float(p[1]), float(p[2])};
}
inline void Poner(RgbImage& img, int x, int y, Color c) {
  uint8_t* p = img.at(x, y);
  p[0] = Byte(c.r);
  p[1] = Byte(c.g);
  p[2] = Byte(c.b);
}
// Blends c over the pixel with opacity a (0..1); outside the picture nothing.
inline void Fundir(RgbImage& img, int x, int y, Color c, float a) {
  if (x < 0 || y < 0 || x >= img.width || y >= img.height || a <= 0) return;
  Poner(img, x, y, Mezcla(Leer(img, x, y), c, Limitar(a)));
}

// Anti-aliased filled disc, optionally shaded from the top-left (luz > 0).
void Disco(RgbImage& img, float cx, float cy, float radio, Color c, float opacidad = 1,
           float luz = 0);

}  // namespace rodavia::datos
