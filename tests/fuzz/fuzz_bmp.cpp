// BMP pictures: any bytes decode or fail without fault.
// fuzz-seeds: Coches/F1-Vanto-Rojo.bmp Graficos/*.bmp
#include "platform/Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rodavia::Picture picture;
  rodavia::DecodeBmp(std::vector<uint8_t>(data, data + size), picture);
  return 0;
}
