// A circuit as a player may paint it: any ground grid that reads plans
// without fault, and its racing line, when it has one, keeps off the walls
// and knows which line is due at each point.
// fuzz-seeds: Circuitos/*.cfg
#include <cstdlib>
#include <string>

#include "race/Circuito.h"
#include "race/PilotoOrdenador.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rodavia::TCircuito circuito("");  // no file name: nothing is read or written
  if (!circuito.Leer(std::string(reinterpret_cast<const char*>(data), size))) return 0;
  const rodavia::TLineaCarrera& linea = circuito.Plan()->Linea();
  for (long i = 0; i < long(linea.Tamanyo()); ++i) {
    const auto& p = linea[i];
    if (p.fase < 0 || p.fase > 2 || !(p.velocidad >= 1000)) std::abort();
    if (circuito.SueloEn(p.x - 14, p.y - 14) == rodavia::suelo::Pared) std::abort();
  }
  return 0;
}
