#pragma once
// Yardsticks for the computer drivers on a default circuit: a plain follower
// of the track's centre line at full throttle that brakes only where the
// bend ahead would carry it off the asphalt, and the time of the shortest
// way round on asphalt at top speed.
#include <vector>

#include "race/Coche.h"
#include "tools/Trazado.h"

namespace rodavia {
class TCircuito;
}

namespace rodavia::test {

class FakeEntorno;

class TReferencia {
 public:
  explicit TReferencia(const datos::DefinicionCircuito& def);
  // Sets the car's four control levels for this tick; the car must have no
  // input of its own, or reading it would overwrite them.
  void Conducir(TCoche& coche);

 private:
  datos::LineaCentral linea_;
  std::vector<double> curva_;  // curvature (1 / radius) at each sample, the largest within 20 px
  double s_ = -1;              // arc length of the sample nearest the car
};

// The follower races `vueltas` laps alone, from pole, on the circuit open
// in `e`, drawn from `def`; its best lap in seconds, 0 when it completes none.
double MejorVueltaReferencia(FakeEntorno& e, const datos::DefinicionCircuito& def, int vueltas);

// Seconds a car at `velocidad` (1/512 pixel a tick) needs for the shortest
// way on asphalt from the finish line to split 1, on to split 2 and back to
// the finish line, measured over the ground grid's cells and their diagonals.
double VueltaMasCorta(const TCircuito& circuito, int velocidad);

}  // namespace rodavia::test
