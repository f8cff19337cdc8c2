// The circuit description: any text reads without fault, and what is read
// writes out as a text that reads back to the same description.
// fuzz-seeds: Circuitos/*.cfg
#include <cstdlib>
#include <string>

#include "race/Circuito.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rodavia::TCircuito circuito("");  // no file name: nothing is read or written
  if (!circuito.Leer(std::string(reinterpret_cast<const char*>(data), size))) return 0;
  circuito.SueloEn(double(size % 1100) - 20, double(size % 800) - 20);
  const std::string escrito = circuito.Texto();
  rodavia::TCircuito releido("");
  if (!releido.Leer(escrito) || releido.Texto() != escrito) std::abort();
  return 0;
}
