#pragma once
// The default circuits: from one geometry (tools/Trazado.h) both the ground
// grid with its start positions and the 1024 x 768 picture.
#include <vector>

#include "platform/Picture.h"
#include "race/Circuito.h"
#include "tools/Lienzo.h"
#include "tools/Trazado.h"

namespace rodavia::datos {

constexpr int AnchoCircuito = 1024, AltoCircuito = 768;

class Pista {
 public:
  explicit Pista(const DefinicionCircuito& def);

  // Fills the grid, texts, start positions, pit position and an empty record.
  void Describir(TCircuito& circuito) const;
  // The circuit's picture.
  RgbImage Pintar() const;

 private:
  // What each picture pixel knows about the nearest piece of track.
  struct Campo {
    float d = 1e9f;     // distance to the centre line
    float s = 0;        // arc length of the nearest centre-line point
    float lado = 0;     // signed distance: > 0 right of the driving direction
    float dBoxes = 1e9f, sBoxes = 0;  // the same for the pit lane
  };
  // Properties along the lap, one per centre-line sample.
  struct Tramo {
    float curva = 0;   // signed curvature, > 0 turning right
    float piano = 0;   // 1 where kerbs line the track
    float arena = 0;   // 1 where a gravel trap lies outside the bend
    float desvio = 0;  // pit lane offset (DesvioBoxesEn)
  };

  void CalcularTramos();
  void CalcularCampos();
  void CalcularCosturas();
  const Campo& En(int x, int y) const { return campos_[size_t(y) * AnchoCircuito + x]; }
  const Tramo& TramoEn(float s) const;
  double Vuelta(double s) const;  // arc length after the finish line, 0..largo
  float ArenaFuera(const Campo& c) const;     // gravel on this side of the track, 0..1
  float Barrera(const Campo& c) const;        // distance of the barrier's face
  // On the barrier, or on a wall along a seam, widened by margen pixels.
  bool EnBarrera(const Campo& c, float margen) const;
  bool EnCostura(int x, int y, float margen) const;
  float BordeArena(const Campo& c, int x, int y) const;  // > 0 on gravel
  bool MuroBoxes(const Campo& c) const;
  char SueloPixel(int x, int y) const;
  Color ColorSuelo(int x, int y) const;
  void PintarNeumaticos(RgbImage& img) const;
  void PintarArboles(RgbImage& img) const;
  void PintarCajones(RgbImage& img) const;
  std::vector<TSalida> Salidas() const;  // 16 start positions then the pit

  DefinicionCircuito def_;
  LineaCentral linea_;
  Hitos hitos_;
  std::vector<Punto> boxes_;
  std::vector<Tramo> tramos_;
  std::vector<Campo> campos_;
  std::vector<float> costura_;  // distance to the nearest seam between parts of the lap
};

}  // namespace rodavia::datos
