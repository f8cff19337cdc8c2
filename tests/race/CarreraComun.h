#pragma once
// Cars for the race tests, built in a FakeEntorno.
#include <string>

#include "fakes/FakeEntorno.h"
#include "race/Coche.h"

namespace rodavia::test {

// Virtual-key codes of the default driving keys.
constexpr int Arriba = 38, Abajo = 40, Izquierda = 37, Derecha = 39;

// A local player; `perfil` holds the lines of his profile file, if any.
inline TCoche* CocheLocal(FakeEntorno& e, int16_t indice, const std::string& nombre,
                          const std::string& perfil = "") {
  if (!perfil.empty()) e.carpeta.Write("Jugadores/" + nombre + ".ini", perfil);
  return new TCoche(e, indice, true, "", "Equipo", nombre);  // the engine owns it
}

inline TCoche* CocheRemoto(FakeEntorno& e, int16_t indice, const std::string& nombre) {
  return new TCoche(e, indice, false, ImagenCochePorDefecto, "Otro", nombre);
}

// A local car on the grid at (x, y) heading `angulo` (a picture frame).
inline TCoche* CocheEnPista(FakeEntorno& e, double x, double y, int16_t angulo = 9) {
  e.circuito->Salidas[1] = {int16_t(x), int16_t(y), angulo};
  TCoche* c = CocheLocal(e, 1, "Ana");
  c->PrepararCarrera(0);
  c->X = x;
  c->Y = y;
  return c;
}

}  // namespace rodavia::test
