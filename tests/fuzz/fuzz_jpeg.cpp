// JPEG pictures: any bytes decode or fail without fault.
// fuzz-seeds: Circuitos/*.jpg
#include "platform/Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rodavia::Picture picture;
  rodavia::DecodeJpeg(std::vector<uint8_t>(data, data + size), picture);
  return 0;
}
