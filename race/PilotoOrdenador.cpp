#include "race/PilotoOrdenador.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <queue>
#include <utility>

#include "race/Circuito.h"
#include "race/Coche.h"

namespace rodavia {

namespace {

constexpr int Celdas = AnchoMascara * AltoMascara;
constexpr int Pared = -1;  // the cost of a cell no car may enter
// A car probe outside these cells reads as wall (TCircuito::SueloEn).
constexpr int MinX = 1, MaxX = 253, MinY = 1, MaxY = 189;
constexpr double Pi = 3.14159265358979;
constexpr double UnidadesPorRadian = 256;

constexpr std::array<std::pair<int, int>, 8> Vecinos = {
    {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}}};

// Cost of driving across one cell of each ground kind: asphalt is cheapest,
// grass and sand slow the car, and the pit lane is dearer than any detour on
// grass so that it is taken only when it is the only way.
int CosteSuelo(char suelo) {
  switch (suelo) {
    case suelo::Pared: return Pared;
    case suelo::Hierba: return 100;
    case suelo::Arena: return 150;
    case suelo::BoxIn: return 200;
    case suelo::Boxes: return 300;
    default: return 10;
  }
}

// Cell costs, with cells next to a wall, and asphalt next to anything slower,
// made dearer so that the way keeps off the edges.
std::vector<int32_t> Costes(const TCircuito& circuito) {
  std::vector<int32_t> coste(Celdas, Pared);
  for (int y = MinY; y <= MaxY; ++y)
    for (int x = MinX; x <= MaxX; ++x) coste[size_t(y * AnchoMascara + x)] = CosteSuelo(circuito.Celda(x, y));
  // Chebyshev distance, up to 4, from (x, y) to the nearest cell that `es` picks.
  auto cerca = [&](int x, int y, auto es) {
    int d = 4;
    for (int dy = -3; dy <= 3; ++dy)
      for (int dx = -3; dx <= 3; ++dx)
        if (es(coste[size_t((y + dy) * AnchoMascara + x + dx)])) d = std::min(d, std::max(std::abs(dx), std::abs(dy)));
    return d;
  };
  static constexpr int JuntoAPared[] = {0, 40, 20, 10, 0}, JuntoABorde[] = {0, 10, 4, 0, 0};
  std::vector<int32_t> resultado = coste;
  for (int y = MinY + 3; y <= MaxY - 3; ++y)
    for (int x = MinX + 3; x <= MaxX - 3; ++x) {
      const size_t i = size_t(y * AnchoMascara + x);
      if (coste[i] == Pared) continue;
      resultado[i] += JuntoAPared[cerca(x, y, [](int32_t c) { return c == Pared; })];
      if (coste[i] == 10) resultado[i] += JuntoABorde[cerca(x, y, [](int32_t c) { return c != 10; })];
    }
  return resultado;
}

// The line after `fase` in the lap rule, and the line whose crossing started it.
char LineaDe(int fase) {
  static constexpr char lineas[] = {suelo::Meta, suelo::Parcial1, suelo::Parcial2};
  return lineas[fase];
}
int FaseSiguiente(int fase) { return fase == 0 ? 1 : fase == 1 ? 2 : 0; }
int FaseAnterior(int fase) { return fase == 0 ? 2 : fase - 1; }

double Angulo(double a) {  // into -pi..pi
  a = std::fmod(a, 2 * Pi);
  if (a > Pi) a -= 2 * Pi;
  if (a < -Pi) a += 2 * Pi;
  return a;
}

// Heading units one tick of full steering turns at this speed, as the
// physics computes it; rolling back the wheel turns twice as fast.
double GiroMaximo(int velocidad) {
  double factor = 20;
  if (std::abs(velocidad) < 1000) factor = velocidad / 1000.0 * 20;
  else if (velocidad > 5000) factor = 5000.0 / velocidad * 20;
  if (std::abs(velocidad) < 10) factor = 0;
  return velocidad > 0 ? factor : -2 * factor;
}

// Below 1000 the turning circle is 25 pixels; above it, speed / 40 pixels.
double VelocidadEnCurva(double radio) { return std::max(1000.0, 40 * radio); }

constexpr double Frenada = 60;  // speed lost per tick of full brake, with a margin on the 80
constexpr int PasosMuestra = 5;  // cells between the points that measure a bend
constexpr int MaxPasos = 90;

}  // namespace

// ---- The plan -------------------------------------------------------------------

TPlanCircuito::TPlanCircuito(const TCircuito& circuito) {
  const std::vector<int32_t> coste = Costes(circuito);
  for (int fase = 0; fase < 3; ++fase)
    Calcular(circuito, coste, fases_[size_t(fase)], LineaDe(fase), LineaDe(FaseAnterior(fase)));
}

// Cheapest ways to `meta` (Dijkstra from its cells backwards). The line the
// car has just crossed, `cerrada`, can be left but not entered: that keeps a
// car from reaching the next line by driving the lap backwards.
void TPlanCircuito::Calcular(const TCircuito& circuito, const std::vector<int32_t>& coste, Fase& fase,
                             char meta, char cerrada) {
  fase.distancia.assign(Celdas, Inalcanzable);
  fase.siguiente.assign(Celdas, -1);
  using Entrada = std::pair<int32_t, int32_t>;  // distance, cell
  std::priority_queue<Entrada, std::vector<Entrada>, std::greater<>> cola;
  for (int i = 0; i < Celdas; ++i)
    if (coste[size_t(i)] != Pared && circuito.Mascara[size_t(i)] == meta) {
      fase.distancia[size_t(i)] = 0;
      cola.push({0, i});
    }
  while (!cola.empty()) {
    const auto [d, u] = cola.top();
    cola.pop();
    if (d > fase.distancia[size_t(u)]) continue;
    const int ux = u % AnchoMascara, uy = u / AnchoMascara;
    const bool uCerrada = circuito.Mascara[size_t(u)] == cerrada;
    for (const auto& [dx, dy] : Vecinos) {
      const int vx = ux + dx, vy = uy + dy;
      if (vx < MinX || vx > MaxX || vy < MinY || vy > MaxY) continue;
      const int v = vy * AnchoMascara + vx;
      if (coste[size_t(v)] == Pared) continue;
      if (uCerrada && circuito.Mascara[size_t(v)] != cerrada) continue;
      const bool diagonal = dx != 0 && dy != 0;
      // No slipping diagonally between two cells of wall.
      if (diagonal && (coste[size_t(uy * AnchoMascara + vx)] == Pared || coste[size_t(vy * AnchoMascara + ux)] == Pared))
        continue;
      const int32_t nd = d + (diagonal ? coste[size_t(u)] * 14 / 10 : coste[size_t(u)]);
      if (nd < fase.distancia[size_t(v)]) {
        fase.distancia[size_t(v)] = nd;
        fase.siguiente[size_t(v)] = u;
        cola.push({nd, v});
      }
    }
  }
}

// ---- The driver -----------------------------------------------------------------

TPilotoOrdenador::TPilotoOrdenador(std::shared_ptr<const TPlanCircuito> plan, int nivel)
    : plan_(std::move(plan)) {
  const double k = (std::clamp(nivel, NivelOrdenadorMinimo, NivelOrdenadorMaximo) - 1) / 9.0;
  margen_ = 0.55 + 0.5 * k;
  tope_ = 0.7 + 0.3 * k;
}

// The cell under the car's probe or, off every way (on a wall, say), the
// nearest one with a way; -1 when none is near.
int TPilotoOrdenador::CeldaCercana(double x, double y, int fase) const {
  const int cx = int(std::nearbyint((x + 14) / 4)), cy = int(std::nearbyint((y + 14) / 4));
  int mejor = -1;
  for (int r = 0; r <= 4 && mejor < 0; ++r)
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx) {
        if (std::max(std::abs(dx), std::abs(dy)) != r) continue;
        const int x1 = cx + dx, y1 = cy + dy;
        if (x1 < MinX || x1 > MaxX || y1 < MinY || y1 > MaxY) continue;
        const int c = y1 * AnchoMascara + x1;
        if (plan_->Distancia(fase, c) == TPlanCircuito::Inalcanzable) continue;
        if (mejor < 0 || plan_->Distancia(fase, c) < plan_->Distancia(fase, mejor)) mejor = c;
      }
  return mejor;
}

bool TPlanCircuito::SinCamino(double x, double y) const {
  const int cx = int(std::nearbyint(x / 4)), cy = int(std::nearbyint(y / 4));
  if (cx < MinX || cx > MaxX || cy < MinY || cy > MaxY) return true;
  return fases_[0].siguiente[size_t(cy * AnchoMascara + cx)] < 0 && fases_[0].distancia[size_t(cy * AnchoMascara + cx)] != 0;
}

// Whether the straight line between two probe points keeps clear of walls.
bool TPilotoOrdenador::ALaVista(double x0, double y0, double x1, double y1) const {
  const int pasos = int(std::hypot(x1 - x0, y1 - y0) / 2) + 1;
  for (int i = 1; i <= pasos; ++i) {
    const double x = x0 + (x1 - x0) * i / pasos, y = y0 + (y1 - y0) * i / pasos;
    // A cell of margin either side: the car needs room to follow the line.
    if (plan_->SinCamino(x, y) || plan_->SinCamino(x + 4, y) || plan_->SinCamino(x - 4, y) ||
        plan_->SinCamino(x, y + 4) || plan_->SinCamino(x, y - 4))
      return false;
  }
  return true;
}

// Walks the plan ahead of the car: the heading to a point some ticks ahead,
// and the highest speed from which every bend within braking distance can
// still be taken.
TPilotoOrdenador::Objetivo TPilotoOrdenador::Mirar(const TCoche& coche, int fase, int celda) const {
  const double px = coche.X + 14, py = coche.Y + 14;
  const double v = std::max<double>(coche.Velocidad, 0);
  const double vista = 16 + v / 512 * 5;
  const double alcance = v * v / (2 * Frenada * 512) + 60;

  Objetivo o;
  o.velocidad = coche.VelocidadMaxima * tope_;
  bool conRumbo = false;
  double recorrido = 0, ax = px, ay = py;       // walked so far, last cell
  double vx = px, vy = py;                      // the point steered at
  double mx[3] = {px, 0, 0}, my[3] = {py, 0, 0};  // the last sample points
  double ms[3] = {0, 0, 0};
  int muestras = 1;
  int c = celda;
  for (int paso = 1; paso <= MaxPasos && recorrido < alcance; ++paso) {
    if (plan_->Distancia(fase, c) == 0) fase = FaseSiguiente(fase);  // on to the next line
    c = plan_->Siguiente(fase, c);
    if (c < 0) break;
    const double x = c % AnchoMascara * 4.0, y = c / AnchoMascara * 4.0;
    recorrido += std::hypot(x - ax, y - ay);
    ax = x, ay = y;
    if (!conRumbo) {  // the farthest point within sight and within `vista`
      if (ALaVista(px, py, x, y) || paso == 1) vx = x, vy = y;
      else conRumbo = true;
      // The car must touch the line it is due to cross: aiming past it
      // would cut the corner where the way turns back on the line.
      conRumbo |= recorrido >= vista || plan_->Distancia(fase, c) == 0;
    }
    if (paso % PasosMuestra) continue;
    if (muestras == 3) {
      mx[0] = mx[1], my[0] = my[1], ms[0] = ms[1];
      mx[1] = mx[2], my[1] = my[2], ms[1] = ms[2];
      muestras = 2;
    }
    mx[muestras] = x, my[muestras] = y, ms[muestras] = recorrido;
    if (++muestras < 3) continue;
    const double a1 = std::atan2(my[1] - my[0], mx[1] - mx[0]);
    const double a2 = std::atan2(my[2] - my[1], mx[2] - mx[1]);
    const double giro = std::fabs(Angulo(a2 - a1));
    if (giro < 1e-3) continue;
    const double radio = (ms[2] - ms[0]) / 2 / giro;
    const double enCurva = VelocidadEnCurva(radio) * margen_;
    o.velocidad = std::min(o.velocidad, std::sqrt(enCurva * enCurva + 2 * Frenada * 512 * ms[1]));
  }
  o.rumbo = std::atan2(vy - py, vx - px) * UnidadesPorRadian;
  return o;
}

// True once the car has stayed within a few pixels of one spot for a while:
// against a wall or another car.
bool TPilotoOrdenador::Atascado(double x, double y) {
  constexpr int Paciencia = 45;  // ticks, 1.35 s
  constexpr double Cerca = 12;   // pixels
  if (std::hypot(x - anclaX_, y - anclaY_) > Cerca) {
    anclaX_ = x, anclaY_ = y;
    ticksQuieto_ = 0;
    return false;
  }
  if (++ticksQuieto_ < Paciencia) return false;
  ticksQuieto_ = 0;
  return true;
}

TControles TPilotoOrdenador::Decidir(const TCoche& coche) {
  TControles t;
  const int fase = std::clamp<int>(coche.Parcial, 0, 2);
  const int celda = CeldaCercana(coche.X, coche.Y, fase);
  if (celda < 0) return t;
  if (Atascado(coche.X, coche.Y)) ticksMarchaAtras_ = 30;
  const Objetivo o = Mirar(coche, fase, celda);

  // Steering: the level that turns the car onto the heading in one tick.
  const double error = Angulo((o.rumbo - coche.Rumbo) / UnidadesPorRadian) * UnidadesPorRadian;
  const double giro = GiroMaximo(coche.Velocidad);
  const double nivel = giro > 0.01 ? std::fabs(error) / giro * 128 : 128;
  const auto volante = int16_t(std::clamp(nivel, 0.0, 128.0));
  (error > 0 ? t.Derecha : t.Izquierda) = volante;

  if (ticksMarchaAtras_ > 0) {  // backs away from what stopped it
    --ticksMarchaAtras_;
    t.Acelerador = t.Freno = 128;  // the throttle lifts it over 0 so the brake can take it below
    return t;
  }
  // Far off the heading the car slows to turn on the spot.
  double velocidad = o.velocidad;
  if (std::fabs(error) > 0.8 * UnidadesPorRadian) velocidad = std::min(velocidad, 1200.0);
  if (coche.Velocidad < 0) {
    // Rolling back the throttle cancels itself unless it lifts the speed
    // over 0 in one tick; otherwise only coasting slows the car.
    if (coche.Velocidad + coche.Aceleracion > 0) t.Acelerador = 128;
    return t;
  }
  if (coche.Velocidad < velocidad - 20)
    t.Acelerador = 128;
  else if (coche.Velocidad > velocidad + 40)
    t.Freno = int16_t(std::clamp((coche.Velocidad - velocidad) / 80 * 128, 61.0, 128.0));
  return t;
}

}  // namespace rodavia
