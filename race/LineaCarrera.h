#pragma once
// A racing line round a circuit: a closed loop of points 8 pixels apart that
// uses the track's width (wide into a bend, close to its inside, wide out of
// it), with the speed its curvature allows at each point. It starts from the
// plan's cheapest way round and is bent, point by point, until its curvature
// changes as evenly as the track's edges let it; the lines a lap needs stay
// crossed in their order.
#include <cstddef>
#include <vector>

namespace rodavia {

class TCircuito;
class TPlanCircuito;

class TLineaCarrera {
 public:
  static constexpr double Paso = 8;  // pixels between points

  struct Punto {
    double x = 0, y = 0;    // probe pixels, as the plan's
    double velocidad = 0;   // the fastest speed the turning circle allows here, 1/512 pixel per tick
    int fase = 0;           // the line due there, as TCoche's Parcial
  };

  TLineaCarrera() = default;
  // Empty when the plan has no way round or the bent loop misses a line.
  TLineaCarrera(const TCircuito& circuito, const TPlanCircuito& plan);

  bool Vacia() const { return puntos_.empty(); }
  size_t Tamanyo() const { return puntos_.size(); }
  // Point `i`, counted round the loop either way.
  const Punto& operator[](long i) const {
    const long n = long(puntos_.size());
    return puntos_[size_t(((i % n) + n) % n)];
  }

 private:
  std::vector<Punto> puntos_;
};

}  // namespace rodavia
