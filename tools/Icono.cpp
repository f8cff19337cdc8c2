#include "tools/Icono.h"

#include <array>
#include <cmath>

#include "tools/Coches.h"
#include "tools/Lienzo.h"

namespace rodavia::datos {

namespace {

// Signed distance (negative inside) to the icon's rounded square.
float Placa(float x, float y) {
  constexpr float Mitad = LadoIcono / 2.f - 3, Radio = 22;
  const float qx = std::abs(x - LadoIcono / 2.f) - Mitad + Radio, qy = std::abs(y - LadoIcono / 2.f) - Mitad + Radio;
  return std::hypot(std::max(qx, 0.f), std::max(qy, 0.f)) + std::min(std::max(qx, qy), 0.f) - Radio;
}

// The icon's colour at a point: asphalt with a chequered start line, and the
// car heading up and to the right across it, two and a half times its race size.
Color Fondo(float x, float y) {
  const float ruido = Fractal(x, y, 12, 91) * 18 + (Azar(int(x * 4), int(y * 4), 92) - 0.5f) * 10;
  Color c = Color{70, 72, 78} + Color{1, 1, 1} * ruido;
  const float u = (x + y) / 1.41421f - 56;  // along the line across the heading
  if (u > 0 && u < 16) c = ((int(u / 8) + int(std::floor((x - y) / 11.3f))) % 2 == 0) ? Color{235, 235, 230}
                                                                                       : Color{24, 24, 28};
  if (Placa(x, y) > -5) c = Color{206, 24, 22};  // a red rim
  return c;
}

Color PuntoIcono(float x, float y) {
  constexpr float Escala = 2.5f, Rumbo = -M_PI / 4;
  const float qx = (x - LadoIcono / 2.f) / Escala, qy = (y - LadoIcono / 2.f) / Escala;
  const float c = std::cos(Rumbo), s = std::sin(Rumbo);
  if (auto coche = ColorVistaCoche(ModelosCoche()[0], qx * c + qy * s, -qx * s + qy * c)) return *coche;
  return Fondo(x, y);
}

std::array<uint8_t, 4> BigEndian(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

uint32_t Crc32(const uint8_t* p, size_t n, uint32_t crc = 0xFFFFFFFFu) {
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return crc;
}

void Trozo(std::vector<uint8_t>& png, const char* tipo, const std::vector<uint8_t>& datos) {
  for (uint8_t b : BigEndian(uint32_t(datos.size()))) png.push_back(b);
  const size_t inicio = png.size();
  png.insert(png.end(), tipo, tipo + 4);
  png.insert(png.end(), datos.begin(), datos.end());
  for (uint8_t b : BigEndian(~Crc32(png.data() + inicio, png.size() - inicio))) png.push_back(b);
}

// A zlib stream of stored deflate blocks.
std::vector<uint8_t> Zlib(const std::vector<uint8_t>& crudo) {
  std::vector<uint8_t> z = {0x78, 0x01};
  size_t hecho = 0;
  do {
    const size_t n = std::min<size_t>(crudo.size() - hecho, 65535);
    const bool ultimo = hecho + n == crudo.size();
    z.insert(z.end(), {uint8_t(ultimo), uint8_t(n), uint8_t(n >> 8), uint8_t(~n), uint8_t(~n >> 8)});
    z.insert(z.end(), crudo.begin() + long(hecho), crudo.begin() + long(hecho + n));
    hecho += n;
  } while (hecho < crudo.size());
  uint32_t a = 1, b = 0;
  for (uint8_t v : crudo) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  for (uint8_t v : BigEndian(b << 16 | a)) z.push_back(v);
  return z;
}

}  // namespace

std::vector<uint8_t> PintarIcono() {
  constexpr int Sub = 4;  // samples a side in every pixel
  std::vector<uint8_t> rgba(size_t(LadoIcono) * LadoIcono * 4);
  for (int py = 0; py < LadoIcono; ++py)
    for (int px = 0; px < LadoIcono; ++px) {
      Color suma;
      float cubierto = 0;
      for (int j = 0; j < Sub; ++j)
        for (int i = 0; i < Sub; ++i) {
          const float x = px + (i + 0.5f) / Sub, y = py + (j + 0.5f) / Sub;
          if (Placa(x, y) >= 0) continue;
          suma = suma + PuntoIcono(x, y);
          ++cubierto;
        }
      uint8_t* p = &rgba[(size_t(py) * LadoIcono + px) * 4];
      if (cubierto == 0) continue;
      const Color c = suma * (1 / cubierto);
      p[0] = Byte(c.r);
      p[1] = Byte(c.g);
      p[2] = Byte(c.b);
      p[3] = Byte(255 * cubierto / (Sub * Sub));
    }
  return rgba;
}

std::vector<uint8_t> CodificarPng(int ancho, int alto, const std::vector<uint8_t>& rgba) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> cabecera;
  for (uint32_t v : {uint32_t(ancho), uint32_t(alto)})
    for (uint8_t b : BigEndian(v)) cabecera.push_back(b);
  cabecera.insert(cabecera.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
  Trozo(png, "IHDR", cabecera);
  std::vector<uint8_t> filas;
  const size_t fila = size_t(ancho) * 4;
  for (int y = 0; y < alto; ++y) {
    filas.push_back(0);  // no filter on the row
    filas.insert(filas.end(), rgba.begin() + long(y * fila), rgba.begin() + long((y + 1) * fila));
  }
  Trozo(png, "IDAT", Zlib(filas));
  Trozo(png, "IEND", {});
  return png;
}

}  // namespace rodavia::datos
