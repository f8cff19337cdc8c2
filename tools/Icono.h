#pragma once
// The desktop icon: the red car crossing a start line on a rounded square of
// asphalt, 128 x 128 with transparent corners, as a PNG file.
#include <cstdint>
#include <vector>

namespace rodavia::datos {

constexpr int LadoIcono = 128;

std::vector<uint8_t> PintarIcono();

// A PNG of 8-bit RGBA pixels (rows top to bottom). The picture data is
// stored uncompressed: an icon is small, and no compression library is needed.
std::vector<uint8_t> CodificarPng(int ancho, int alto, const std::vector<uint8_t>& rgba);

}  // namespace rodavia::datos
