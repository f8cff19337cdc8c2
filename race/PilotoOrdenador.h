#pragma once
// Computer drivers. A circuit's plan says, for every drivable cell of its
// ground grid, which neighbouring cell leads soonest to the next line the lap
// rule wants (split 1, split 2, then the finish line). A driver follows that
// plan and answers, each tick, the four control levels a keyboard or
// joystick would give, so its car obeys the same physics as anyone's; it
// passes slower cars and gets free when pinned against a wall or a car.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "race/LineaCarrera.h"

namespace rodavia {

class TCircuito;
class TCoche;

constexpr int NivelOrdenadorMinimo = 1, NivelOrdenadorMaximo = 10;

// What the plan counts for driving across one grid cell of this ground;
// -1 for a wall.
int CosteSuelo(char suelo);

// The four control levels, 0..128.
struct TControles {
  int16_t Acelerador = 0, Freno = 0, Izquierda = 0, Derecha = 0;
};

// Another car as a driver sees it: its top-left corner, as TCoche's X and Y,
// and its movement in pixels per tick.
struct TOtroCoche {
  double X = 0, Y = 0, VX = 0, VY = 0;
};

class TPlanCircuito {
 public:
  static constexpr int32_t Inalcanzable = INT32_MAX;

  explicit TPlanCircuito(const TCircuito& circuito);

  // `fase` is the car's Parcial: 0 the finish line is due, 1 split 1, 2 split 2.
  // Cost of the way from cell `celda` (y * AnchoMascara + x) to that line.
  int32_t Distancia(int fase, int celda) const { return fases_[size_t(fase)].distancia[size_t(celda)]; }
  // The next cell on that way; -1 from a cell with no way.
  int32_t Siguiente(int fase, int celda) const { return fases_[size_t(fase)].siguiente[size_t(celda)]; }
  // Whether a car probe at (x, y), pixels of the picture, stands where no way leads.
  bool SinCamino(double x, double y) const;
  // The racing line round the circuit; empty when the plan has none.
  const TLineaCarrera& Linea() const { return linea_; }

 private:
  struct Fase {
    std::vector<int32_t> distancia, siguiente;
  };
  void Calcular(const TCircuito& circuito, const std::vector<int32_t>& coste, Fase& fase,
                char meta, char cerrada);

  std::array<Fase, 3> fases_;
  TLineaCarrera linea_;
};

class TPilotoOrdenador {
 public:
  // `nivel` 1..10 sets how close to the limit it drives.
  TPilotoOrdenador(std::shared_ptr<const TPlanCircuito> plan, int nivel);

  // The levels for this tick, from the car's position, heading and speed
  // and from the other cars on the track.
  TControles Decidir(const TCoche& coche, const std::vector<TOtroCoche>& otros = {});

 private:
  struct Objetivo {
    double rumbo = 0;      // heading towards the point ahead, 1/256 radian
    double velocidad = 0;  // the speed wanted now, 1/512 pixel per tick
    double x = 0, y = 0;   // the point steered at, probe pixels
  };
  // A way out for a car that stopped moving: reverse for `atras` ticks, then
  // drive for `adelante` ticks, both turning the nose towards `rumbo`.
  struct Maniobra {
    int atras = 0, adelante = 0;
    double rumbo = 0;  // radians
  };
  int CeldaCercana(double x, double y, int fase) const;
  bool ALaVista(double x0, double y0, double x1, double y1) const;
  Objetivo Mirar(const TCoche& coche, int fase, int celda) const;
  bool SeguirLinea(const TCoche& coche, int fase, Objetivo& o);
  void Esquivar(const TCoche& coche, const std::vector<TOtroCoche>& otros, Objetivo& o);
  double Libre(double x, double y, double angulo, const std::vector<TOtroCoche>& otros) const;
  bool Atascado(const TCoche& coche);
  void EmpezarManiobra(const TCoche& coche, const std::vector<TOtroCoche>& otros, double rumbo);
  TControles Maniobrar(const TCoche& coche);
  TControles SalirDePared(const TCoche& coche, int celda);

  std::shared_ptr<const TPlanCircuito> plan_;
  double margen_;   // fraction of the corner speed the car allows itself
  double tope_;     // fraction of the car's top speed
  double frenada_;  // speed it counts on the full brake taking off a tick, of the 80 it does
  double anclaX_ = 0, anclaY_ = 0;  // where the car was when it last moved on
  int ticksQuieto_ = 0;
  double esperado_ = 0;  // pixels its speed would have carried it meanwhile
  Maniobra maniobra_;
  int intentos_ = 0;               // manoeuvres in a row at one spot
  int ticksDesdeManiobra_ = 1000;  // since the last one ended
  long indice_ = -1;               // the point of the racing line nearest the car
  int lado_ = 0;                   // the side it passes a car on: -1 left, 1 right, 0 none
  bool enPared_ = false;           // pushed into a wall
  double salidaPared_ = 0;         // and the way out, radians
};

}  // namespace rodavia
