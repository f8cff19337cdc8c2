#include "race/LineaCarrera.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "race/Circuito.h"
#include "race/PilotoOrdenador.h"

namespace rodavia {

namespace {

constexpr double Margen = 10;    // pixels the line keeps from the edge of its ground
constexpr double Alcance = 48;   // pixels a point may move either side of the plan's way
constexpr int Iteraciones = 40;  // rounds of bending at each spacing
constexpr double RadioMinimo = 25;  // pixels: the tightest turning circle of a car

struct Vector {
  double x, y;
};

// A point on the plan's way and the segment of the normal through it that
// the line may use, as offsets along the normal.
struct Base {
  Vector p, normal;
  double desde = 0, hasta = 0;
  char linea = 0;  // the line a lap crosses here, pinning the point to it; 0 for none
};

char SueloEnSonda(const TCircuito& circuito, double x, double y) {
  const int cx = int(std::nearbyint(x / 4)), cy = int(std::nearbyint(y / 4));
  if (cx < 1 || cx > AnchoMascara - 4 || cy < 1 || cy > AltoMascara - 4) return suelo::Pared;
  return circuito.Celda(cx, cy);
}

char LineaDe(int fase) {
  static constexpr char lineas[] = {suelo::Meta, suelo::Parcial1, suelo::Parcial2};
  return lineas[fase];
}
int FaseSiguiente(int fase) { return fase == 0 ? 1 : fase == 1 ? 2 : 0; }

// Signed curvature (1 / radius, pixels) of the circle through three points.
double Curvatura(Vector a, Vector b, Vector c) {
  const double abx = b.x - a.x, aby = b.y - a.y, bcx = c.x - b.x, bcy = c.y - b.y;
  const double lados = std::hypot(abx, aby) * std::hypot(bcx, bcy) * std::hypot(c.x - a.x, c.y - a.y);
  return lados < 1e-9 ? 0 : 2 * (abx * bcy - aby * bcx) / lados;
}

// The cells the plan walks in one lap from a cell of the finish line, split
// 1, split 2 and the finish line again; false where no way leads on.
bool Recorrer(const TPlanCircuito& plan, int& celda, std::vector<int>* celdas) {
  int pasos = 0;
  for (const int fase : {1, 2, 0})
    while (plan.Distancia(fase, celda) != 0) {
      celda = plan.Siguiente(fase, celda);
      if (celda < 0 || ++pasos > AnchoMascara * AltoMascara) return false;
      if (celdas) celdas->push_back(celda);
    }
  return true;
}

// The plan's way round as points `Paso` apart, each with the line it
// crosses, if any (at a crossing the point is the first cell of the line).
std::vector<Base> Muestrear(const TCircuito& circuito, const std::vector<int>& celdas) {
  std::vector<Vector> v;
  for (const int c : celdas) v.push_back({c % AnchoMascara * 4.0, c / AnchoMascara * 4.0});
  std::vector<Base> bases;
  int fase = 1;  // the loop starts on the finish line
  double resto = 0;  // from the last point to the cell reached
  for (size_t k = 0; k < v.size(); ++k) {
    const Vector a = v[k], b = v[(k + 1) % v.size()];
    const char suelo = circuito.Celda(int(a.x / 4), int(a.y / 4));
    if (suelo == LineaDe(fase) || k == 0) {
      bases.push_back({a, {0, 0}, 0, 0, suelo});
      resto = 0;
      if (k > 0) fase = FaseSiguiente(fase);
    }
    const double largo = std::hypot(b.x - a.x, b.y - a.y);
    double s = TLineaCarrera::Paso - resto;
    for (; s <= largo; s += TLineaCarrera::Paso)
      bases.push_back({{a.x + (b.x - a.x) * s / largo, a.y + (b.y - a.y) * s / largo}, {0, 0}, 0, 0, 0});
    resto = largo - (s - TLineaCarrera::Paso);  // from the last point to b
  }
  return bases;
}

// The unit normal of the way at point `i`, from its neighbours two apart.
Vector NormalEn(const std::vector<Base>& bases, size_t i) {
  const size_t n = bases.size();
  const Vector a = bases[(i + n - 2) % n].p, c = bases[(i + 2) % n].p;
  const double largo = std::max(1e-9, std::hypot(c.x - a.x, c.y - a.y));
  return {-(c.y - a.y) / largo, (c.x - a.x) / largo};
}

// Smooths the plan's way, a staircase of cells, so that its normals turn
// evenly; a point that would leave its ground, or sits on a line it must
// cross, stays.
void Alisar(const TCircuito& circuito, std::vector<Base>& bases) {
  const size_t n = bases.size();
  auto clase = [&](Vector p) { return CosteSuelo(SueloEnSonda(circuito, p.x, p.y)); };
  for (int vuelta = 0; vuelta < 50; ++vuelta) {
    const std::vector<Base> antes = bases;
    for (size_t i = 0; i < n; ++i) {
      Base& b = bases[i];
      if (b.linea) continue;
      const Vector a = antes[(i + n - 1) % n].p, c = antes[(i + 1) % n].p;
      const Vector q = {(a.x + 2 * b.p.x + c.x) / 4, (a.y + 2 * b.p.y + c.y) / 4};
      if (clase(q) == clase(b.p)) b.p = q;
    }
  }
}

// The normals and how far along each the line may go: over the ground the
// way takes there or cheaper, or over the line it crosses, keeping `Margen`
// from the edge.
void Limitar(const TCircuito& circuito, std::vector<Base>& bases) {
  const size_t n = bases.size();
  for (size_t i = 0; i < n; ++i) {
    Base& b = bases[i];
    b.normal = NormalEn(bases, i);
    const int clase = CosteSuelo(SueloEnSonda(circuito, b.p.x, b.p.y));
    // How far the line may go either way along `normal`.
    auto tramo = [&](Vector normal, double& desde, double& hasta) {
      auto vale = [&](double w) {
        const char s = SueloEnSonda(circuito, b.p.x + normal.x * w, b.p.y + normal.y * w);
        return b.linea ? s == b.linea : s != suelo::Pared && CosteSuelo(s) <= clase;
      };
      desde = hasta = 0;
      if (!vale(0)) return;
      while (hasta < Alcance && vale(hasta + 1)) ++hasta;
      while (desde > -Alcance && vale(desde - 1)) --desde;
    };
    double desde, hasta;
    tramo(b.normal, desde, hasta);
    // A point on a line may move along that line, whichever way it is painted.
    for (int k = 0; b.linea && k < 16; ++k) {
      Vector otra = {std::cos(k * M_PI / 16), std::sin(k * M_PI / 16)};
      if (otra.x * b.normal.x + otra.y * b.normal.y < 0) otra = {-otra.x, -otra.y};
      double d, h;
      tramo(otra, d, h);
      if (h - d > hasta - desde) b.normal = otra, desde = d, hasta = h;
    }
    b.desde = desde + Margen, b.hasta = hasta - Margen;
    if (b.desde > b.hasta) b.desde = b.hasta = (desde + hasta) / 2;
    // Towards the inside of a bend of the way, the normals of its points
    // cross at its centre: a point may go only part of the way there.
    const double k = Curvatura(bases[(i + n - 4) % n].p, b.p, bases[(i + 4) % n].p);
    if (k > 1e-6) b.hasta = std::max(std::min(b.hasta, 0.6 / k), std::min(b.desde, 0.0));
    if (k < -1e-6) b.desde = std::min(std::max(b.desde, 0.6 / k), std::max(b.hasta, 0.0));
  }
}

// Bends the line until its curvature at each point is the mean of its
// neighbours' where the edges leave room: first over points far apart, then
// ever closer, so that the whole loop settles in few rounds.
std::vector<double> Doblar(const std::vector<Base>& bases) {
  const long n = long(bases.size());
  std::vector<double> w(static_cast<size_t>(n));
  for (long i = 0; i < n; ++i) w[size_t(i)] = (bases[size_t(i)].desde + bases[size_t(i)].hasta) / 2;
  auto en = [&](long i, double wi) {
    const Base& b = bases[size_t(((i % n) + n) % n)];
    return Vector{b.p.x + b.normal.x * wi, b.p.y + b.normal.y * wi};
  };
  auto punto = [&](long i) { return en(i, w[size_t(((i % n) + n) % n)]); };
  long s = 1;
  while (s * 16 < n) s *= 2;
  for (; s >= 1; s /= 2) {
    for (int vuelta = 0; vuelta < Iteraciones; ++vuelta)
      for (long i = 0; i < n; i += s) {
        const Vector a = punto(i - s), b = punto(i + s);
        const double objetivo = (Curvatura(punto(i - 2 * s), a, punto(i)) + Curvatura(punto(i), b, punto(i + 2 * s))) / 2;
        const double k0 = Curvatura(a, punto(i), b), k1 = Curvatura(a, en(i, w[size_t(i)] + 0.1), b);
        if (std::fabs(k1 - k0) < 1e-12) continue;
        const Base& base = bases[size_t(i)];
        w[size_t(i)] = std::clamp(w[size_t(i)] + (objetivo - k0) / (k1 - k0) * 0.1, base.desde, base.hasta);
      }
    if (s == 1) break;
    for (long i = 0; i < n; i += s)  // the points between follow straight
      for (long j = 1; j < s && i + j < n; ++j) {
        const double siguiente = w[size_t((i + s) % n)];
        const Base& base = bases[size_t(i + j)];
        w[size_t(i + j)] = std::clamp(w[size_t(i)] + (siguiente - w[size_t(i)]) * double(j) / double(s), base.desde, base.hasta);
      }
  }
  // The edges are staircases of cells: a line pressed against one would
  // follow its steps, so the last rounds smooth it, a little past them.
  for (int vuelta = 0; vuelta < 10; ++vuelta) {
    const std::vector<double> antes = w;
    for (long i = 0; i < n; ++i) {
      const Base& base = bases[size_t(i)];
      const double media = (antes[size_t((i + n - 1) % n)] + 2 * antes[size_t(i)] + antes[size_t((i + 1) % n)]) / 4;
      w[size_t(i)] = std::clamp(media, base.desde - 3, base.hasta + 3);
    }
  }
  return w;
}

// Where the normals of a tight bend cross, the bent loop may turn back on
// itself: those points go, and what is left is spaced `Paso` apart again. A
// loop still folded after a few rounds is left so, and dropped later.
std::vector<Vector> Reparar(std::vector<Vector> p) {
  auto atras = [](Vector a, Vector b, Vector c) { return (b.x - a.x) * (c.x - b.x) + (b.y - a.y) * (c.y - b.y) <= 0; };
  bool quitado = true;
  for (int ronda = 0; quitado && ronda < 50 && p.size() >= 16; ++ronda) {
    quitado = false;
    std::vector<Vector> q;
    for (size_t i = 0; i < p.size(); ++i) {
      const Vector& a = q.empty() ? p.back() : q.back();
      if (atras(a, p[i], p[(i + 1) % p.size()])) {
        quitado = true;
        continue;
      }
      q.push_back(p[i]);
    }
    p = std::move(q);
  }
  double largo = 0;
  for (size_t i = 0; i < p.size(); ++i) largo += std::hypot(p[(i + 1) % p.size()].x - p[i].x, p[(i + 1) % p.size()].y - p[i].y);
  const size_t n = size_t(std::lround(largo / TLineaCarrera::Paso));
  std::vector<Vector> r;
  double recorrido = 0;  // along the loop to the start of segment i
  for (size_t i = 0; i < p.size() && r.size() < n; ++i) {
    const Vector a = p[i], b = p[(i + 1) % p.size()];
    const double l = std::hypot(b.x - a.x, b.y - a.y);
    for (double s = double(r.size()) * largo / double(n); s <= recorrido + l && r.size() < n; s = double(r.size()) * largo / double(n))
      r.push_back({a.x + (b.x - a.x) * (s - recorrido) / std::max(l, 1e-9), a.y + (b.y - a.y) * (s - recorrido) / std::max(l, 1e-9)});
    recorrido += l;
  }
  return r;
}

}  // namespace

TLineaCarrera::TLineaCarrera(const TCircuito& circuito, const TPlanCircuito& plan) {
  // The finish cell nearest split 1, and the plan's way round from where
  // one lap from it ends, so that the loop closes on itself.
  int inicio = -1;
  for (int c = 0; c < AnchoMascara * AltoMascara; ++c)
    if (circuito.Mascara[size_t(c)] == suelo::Meta && plan.Distancia(1, c) != TPlanCircuito::Inalcanzable &&
        (inicio < 0 || plan.Distancia(1, c) < plan.Distancia(1, inicio)))
      inicio = c;
  if (inicio < 0 || !Recorrer(plan, inicio, nullptr)) return;
  std::vector<int> celdas = {inicio};
  if (!Recorrer(plan, inicio, &celdas) || celdas.size() < 16) return;
  celdas.pop_back();  // the loop closes on its first cell

  std::vector<Base> bases = Muestrear(circuito, celdas);
  Alisar(circuito, bases);
  Limitar(circuito, bases);
  const std::vector<double> w = Doblar(bases);
  std::vector<Vector> bruto;
  for (size_t i = 0; i < bases.size(); ++i)
    bruto.push_back({bases[i].p.x + bases[i].normal.x * w[i], bases[i].p.y + bases[i].normal.y * w[i]});
  for (const Vector& p : Reparar(bruto)) puntos_.push_back({p.x, p.y, 0, 0});
  const long n = long(puntos_.size());
  if (n < 16) return;
  // The speed each bend allows: the turning circle is speed / 40 pixels,
  // and 25 pixels at any speed below 1000, so a tighter bend is no use.
  int fase = 1, cruces = 0;
  for (long i = 0; i < n; ++i) {
    const auto v = [&](long j) { return Vector{(*this)[j].x, (*this)[j].y}; };
    const double k = std::fabs(Curvatura(v(i - 4), v(i), v(i + 4)));
    puntos_[size_t(i)].velocidad = k < 1e-6 ? 1e9 : std::max(1000.0, 40 / k);
    if (k > 1 / RadioMinimo) cruces = -100;
  }
  // The line due at each point, as a car following the loop would find it.
  // A loop that runs into a wall, misses a line, or still folds back on
  // itself is no use.
  for (long i = 1; i <= n; ++i) {
    const Punto &a = (*this)[i - 1], &b = (*this)[i], &c = (*this)[i + 1];
    const double ab = std::hypot(b.x - a.x, b.y - a.y);
    if (ab > 2 * Paso || (b.x - a.x) * (c.x - b.x) + (b.y - a.y) * (c.y - b.y) < 0) cruces = -100;
    const int pasos = int(ab) + 1;
    for (int k = 1; k <= pasos; ++k) {
      const char s = SueloEnSonda(circuito, a.x + (b.x - a.x) * k / pasos, a.y + (b.y - a.y) * k / pasos);
      if (s == suelo::Pared) cruces = -100;
      if (s == LineaDe(fase)) fase = FaseSiguiente(fase), ++cruces;
    }
    puntos_[size_t(i % n)].fase = fase;
  }
  if (cruces != 3 || fase != 1) puntos_.clear();
}

}  // namespace rodavia
