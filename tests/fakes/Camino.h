#pragma once
// The shortest way across a circuit's ground grid, for tests that measure
// what a lap could cut or how short it could be.
#include <cmath>
#include <functional>
#include <queue>
#include <utility>
#include <vector>

#include "race/Circuito.h"

namespace rodavia::test {

// Cells, a diagonal step counting sqrt 2, from any cell of line `desde` to
// the nearest cell of line `hasta`, stepping only on cells `pisable` takes
// (ground kinds) and never diagonally between two cells of wall; 1e18 when
// no way leads there.
template <class Pisable>
double CaminoMasCorto(const TCircuito& c, char desde, char hasta, Pisable pisable) {
  std::vector<double> d(c.Mascara.size(), 1e18);
  using Entrada = std::pair<double, int>;
  std::priority_queue<Entrada, std::vector<Entrada>, std::greater<>> cola;
  for (int i = 0; i < int(d.size()); ++i)
    if (c.Mascara[size_t(i)] == desde) d[size_t(i)] = 0, cola.push({0, i});
  while (!cola.empty()) {
    const auto [du, u] = cola.top();
    cola.pop();
    if (du > d[size_t(u)]) continue;
    if (c.Mascara[size_t(u)] == hasta) return du;
    const int x = u % AnchoMascara, y = u / AnchoMascara;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const int nx = x + dx, ny = y + dy;
        if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= AnchoMascara || ny >= AltoMascara) continue;
        if (!pisable(c.Celda(nx, ny)) || c.Celda(nx, y) == suelo::Pared || c.Celda(x, ny) == suelo::Pared) continue;
        const int v = ny * AnchoMascara + nx;
        const double dv = du + (dx && dy ? M_SQRT2 : 1);
        if (dv < d[size_t(v)]) d[size_t(v)] = dv, cola.push({dv, v});
      }
  }
  return 1e18;
}

}  // namespace rodavia::test
