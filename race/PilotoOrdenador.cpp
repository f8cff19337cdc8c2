#include "race/PilotoOrdenador.h"

#include <algorithm>
#include <cmath>
#include <tuple>
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

// Chebyshev distance, up to 4, from every cell to the nearest one whose cost
// `es` picks: two sweeps over the grid, each taking the four neighbours
// already swept.
template <class Es>
std::vector<int8_t> Cercania(const std::vector<int32_t>& coste, Es es) {
  std::vector<int8_t> d(Celdas);
  for (size_t i = 0; i < d.size(); ++i) d[i] = es(coste[i]) ? 0 : 4;
  auto tomar = [&](int i, int x, int y, int dx, int dy) {
    if (x + dx < 0 || x + dx >= AnchoMascara || y + dy < 0 || y + dy >= AltoMascara) return;
    d[size_t(i)] = std::min<int8_t>(d[size_t(i)], int8_t(d[size_t((y + dy) * AnchoMascara + x + dx)] + 1));
  };
  for (int y = 0; y < AltoMascara; ++y)
    for (int x = 0; x < AnchoMascara; ++x)
      for (const auto& [dx, dy] : {std::pair{-1, 0}, {-1, -1}, {0, -1}, {1, -1}}) tomar(y * AnchoMascara + x, x, y, dx, dy);
  for (int y = AltoMascara - 1; y >= 0; --y)
    for (int x = AnchoMascara - 1; x >= 0; --x)
      for (const auto& [dx, dy] : {std::pair{1, 0}, {1, 1}, {0, 1}, {-1, 1}}) tomar(y * AnchoMascara + x, x, y, dx, dy);
  return d;
}

// Cell costs, with cells next to a wall, and asphalt next to anything slower,
// made dearer so that the way keeps off the edges.
std::vector<int32_t> Costes(const TCircuito& circuito) {
  std::vector<int32_t> coste(Celdas, Pared);
  for (int y = MinY; y <= MaxY; ++y)
    for (int x = MinX; x <= MaxX; ++x) coste[size_t(y * AnchoMascara + x)] = CosteSuelo(circuito.Celda(x, y));
  const std::vector<int8_t> pared = Cercania(coste, [](int32_t c) { return c == Pared; });
  const std::vector<int8_t> borde = Cercania(coste, [](int32_t c) { return c != 10; });
  static constexpr int JuntoAPared[] = {0, 40, 20, 10, 0}, JuntoABorde[] = {0, 10, 4, 0, 0};
  std::vector<int32_t> resultado = coste;
  for (int y = MinY + 3; y <= MaxY - 3; ++y)
    for (int x = MinX + 3; x <= MaxX - 3; ++x) {
      const size_t i = size_t(y * AnchoMascara + x);
      if (coste[i] == Pared) continue;
      resultado[i] += JuntoAPared[pared[i]];
      if (coste[i] == 10) resultado[i] += JuntoABorde[borde[i]];
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

// The pedals that take the car to its fastest speed backwards, -79: the
// brake takes up to 80 off a speed above 0 and nothing off one at or below
// it, and the throttle does not change a speed it cannot lift over 0.
void MarchaAtras(const TCoche& coche, TControles& t) {
  constexpr int Objetivo = -79;
  const int v = coche.Velocidad;
  if (v <= Objetivo) {
    t.Freno = 128;  // a pedal held: no rolling friction
  } else if (v > 0) {
    const int quitar = std::min(v - Objetivo, 80);
    t.Freno = int16_t(std::clamp(int(std::ceil((quitar - 0.5) * 128 / 80)), 0, 128));
  } else if (1 - v <= coche.Aceleracion) {
    // Throttle just over 0, then the full brake.
    int nivel = 0;
    while (nivel < 128 && std::nearbyint(coche.Aceleracion * nivel / 128.0) < 1 - v) ++nivel;
    t.Acelerador = int16_t(nivel);
    t.Freno = 128;
  }  // otherwise coasting lifts the speed towards 0 first
}

// How far the car can go along its heading before its box touches the
// other car's (cars touch when under 15 pixels apart on both axes); 1e10
// when the heading clears it.
double DistanciaAChoque(const TCoche& coche, const TOtroCoche& otro) {
  constexpr double Toque = 16;
  const double c = std::cos(coche.Rumbo / UnidadesPorRadian), s = std::sin(coche.Rumbo / UnidadesPorRadian);
  double entrada = 0, salida = 1e10;
  for (const auto& [desde, hacia, paso] : {std::tuple{coche.X, otro.X, c}, std::tuple{coche.Y, otro.Y, s}}) {
    const double a = hacia - Toque - desde, b = hacia + Toque - desde;  // the slab, relative
    if (std::fabs(paso) < 1e-9) {
      if (a > 0 || b < 0) return 1e10;
      continue;
    }
    const double t0 = std::min(a / paso, b / paso), t1 = std::max(a / paso, b / paso);
    entrada = std::max(entrada, t0), salida = std::min(salida, t1);
  }
  return entrada <= salida ? entrada : 1e10;
}

// Half the width of a car's way past another: their boxes are 16 pixels.
constexpr double AnchoPaso = 26;

// What keeping behind another car counts on the full brake taking off a
// tick: the 80 it does, with a margin.
constexpr double Frenada = 60;
constexpr int PasosMuestra = 5;  // cells between the points that measure a bend
constexpr int MaxPasos = 90;

}  // namespace

// ---- The plan -------------------------------------------------------------------

// Asphalt is cheapest, grass and sand slow the car, and the pit lane is
// dearer than any detour on grass so that it is taken only when it is the
// only way.
int CosteSuelo(char s) {
  switch (s) {
    case suelo::Pared: return Pared;
    case suelo::Hierba: return 100;
    case suelo::Arena: return 150;
    case suelo::BoxIn: return 200;
    case suelo::Boxes: return 300;
    default: return 10;
  }
}

TPlanCircuito::TPlanCircuito(const TCircuito& circuito) {
  const std::vector<int32_t> coste = Costes(circuito);
  for (int fase = 0; fase < 3; ++fase)
    Calcular(circuito, coste, fases_[size_t(fase)], LineaDe(fase), LineaDe(FaseAnterior(fase)));
  linea_ = TLineaCarrera(circuito, *this);
}

// Cheapest ways to `meta` (Dijkstra from its cells backwards). The line the
// car has just crossed, `cerrada`, can be left but not entered: that keeps a
// car from reaching the next line by driving the lap backwards. Every step
// costs less than `Cubos`, so the cells waiting at each distance fit in a
// ring of that many buckets, taken in order of distance and then of cell.
void TPlanCircuito::Calcular(const TCircuito& circuito, const std::vector<int32_t>& coste, Fase& fase,
                             char meta, char cerrada) {
  constexpr int32_t Cubos = 1024;
  fase.distancia.assign(Celdas, Inalcanzable);
  fase.siguiente.assign(Celdas, -1);
  std::vector<std::vector<int32_t>> cubos(Cubos);
  size_t pendientes = 0;
  for (int i = 0; i < Celdas; ++i)
    if (coste[size_t(i)] != Pared && circuito.Mascara[size_t(i)] == meta) {
      fase.distancia[size_t(i)] = 0;
      cubos[0].push_back(i);
      ++pendientes;
    }
  std::vector<int32_t> ahora;
  for (int32_t d = 0; pendientes > 0; ++d) {
    ahora.swap(cubos[size_t(d % Cubos)]);
    pendientes -= ahora.size();
    std::sort(ahora.begin(), ahora.end());
    for (const int32_t u : ahora) {
      if (fase.distancia[size_t(u)] != d) continue;  // reached more cheaply since
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
          cubos[size_t(nd % Cubos)].push_back(v);
          ++pendientes;
        }
      }
    }
    ahora.clear();
  }
}

// ---- The driver -----------------------------------------------------------------

TPilotoOrdenador::TPilotoOrdenador(std::shared_ptr<const TPlanCircuito> plan, int nivel)
    : plan_(std::move(plan)) {
  const double k = (std::clamp(nivel, NivelOrdenadorMinimo, NivelOrdenadorMaximo) - 1) / 9.0;
  margen_ = 0.55 + 0.45 * k;
  tope_ = 0.7 + 0.3 * k;
  frenada_ = 60 + 10 * k;
}

// The cell under the car's probe or, off every way (on a wall, say), the
// nearest one with a way; -1 when none is near.
int TPilotoOrdenador::CeldaCercana(double x, double y, int fase) const {
  const int cx = int(std::nearbyint((x + 14) / 4)), cy = int(std::nearbyint((y + 14) / 4));
  int mejor = -1;
  for (int r = 0; r <= 8 && mejor < 0; ++r)  // deep in a wall a car pushed in may be 6 cells from its edge
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
  const double alcance = v * v / (2 * frenada_ * 512) + 60;

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
    o.velocidad = std::min(o.velocidad, std::sqrt(enCurva * enCurva + 2 * frenada_ * 512 * ms[1]));
  }
  o.rumbo = std::atan2(vy - py, vx - px) * UnidadesPorRadian;
  o.x = vx, o.y = vy;
  return o;
}

// Follows the racing line: steers at a point on it a little ahead and keeps
// to the speed from which every bend within braking distance can be taken.
// False when the car is off the line (pushed away, or short of a line it
// has yet to touch): the plan then takes it back.
bool TPilotoOrdenador::SeguirLinea(const TCoche& coche, int fase, Objetivo& o) {
  constexpr double Cerca = 16, Lejos = 40;  // pixels from the line
  const TLineaCarrera& linea = plan_->Linea();
  if (linea.Vacia()) return false;
  const double px = coche.X + 14, py = coche.Y + 14;
  long mejor = -1;
  double dMejor = 1e18;
  auto buscar = [&](long desde, long hasta) {
    for (long i = desde; i <= hasta; ++i) {
      const double d = std::hypot(linea[i].x - px, linea[i].y - py);
      if (linea[i].fase == fase && d < dMejor) mejor = i, dMejor = d;
    }
  };
  if (indice_ >= 0) buscar(indice_ - 2, indice_ + 6);
  if (dMejor > Cerca) buscar(0, long(linea.Tamanyo()) - 1);
  indice_ = dMejor <= Lejos ? mejor : -1;
  if (indice_ < 0) return false;

  const double v = std::max<double>(coche.Velocidad, 0);
  const double adelante = (16 + v / 512 * 3) / TLineaCarrera::Paso;  // points
  const long k = indice_ + long(adelante);
  const double f = adelante - std::floor(adelante);
  o.x = linea[k].x + (linea[k + 1].x - linea[k].x) * f;
  o.y = linea[k].y + (linea[k + 1].y - linea[k].y) * f;
  if (!ALaVista(px, py, o.x, o.y)) return false;
  o.rumbo = std::atan2(o.y - py, o.x - px) * UnidadesPorRadian;
  o.velocidad = coche.VelocidadMaxima * tope_;
  const double alcance = v * v / (2 * frenada_ * 512) + 60;
  for (long j = 0; j * TLineaCarrera::Paso <= alcance; ++j) {
    const double enCurva = linea[indice_ + j].velocidad * margen_;
    o.velocidad = std::min(o.velocidad, std::sqrt(enCurva * enCurva + 2 * frenada_ * 512 * j * TLineaCarrera::Paso));
  }
  return true;
}

// Another car in the way, on the line to the point steered at and slower
// than this one, is passed on the side with room.
void TPilotoOrdenador::Esquivar(const TCoche& coche, const std::vector<TOtroCoche>& otros, Objetivo& o) {
  const double px = coche.X + 14, py = coche.Y + 14;
  double ux = o.x - px, uy = o.y - py;
  const double largo = std::hypot(ux, uy);
  if (largo < 1) return;
  ux /= largo, uy /= largo;
  const double v = std::max<double>(coche.Velocidad, 0) / 512;
  // Far enough ahead to swerve a car's width on the tightest turning
  // circle, 25 pixels, and further at speed.
  const double horizonte = 60 + 12 * v;
  const TOtroCoche* delante = nullptr;
  double fDelante = 0, lDelante = 0;
  for (const TOtroCoche& otro : otros) {
    const double dx = otro.X - coche.X, dy = otro.Y - coche.Y;
    const double f = dx * ux + dy * uy, l = dy * ux - dx * uy;
    if (f < 0 || f > horizonte || std::fabs(l) > 22) continue;  // 22: the boxes' reach on a diagonal
    if (otro.VX * ux + otro.VY * uy > v - 0.3 && f > 18) continue;  // as fast: no need to pass
    if (!delante || f < fDelante) delante = &otro, fDelante = f, lDelante = l;
  }
  if (!delante) {
    lado_ = 0;
    return;
  }
  // A point beside it, on each side: the one that needs the smaller swerve
  // first, unless the side taken last tick needs at most a car's width
  // more, so that the car does not weave. The point lies far enough ahead
  // that the car never turns more than about 35 degrees off its way to pass.
  int primero = lDelante > 0 ? -1 : 1;
  if (lado_ == -primero && std::fabs(lDelante + lado_ * AnchoPaso) < std::fabs(lDelante - lado_ * AnchoPaso) + 16)
    primero = lado_;
  for (const int lado : {primero, -primero}) {
    const double lateral = lDelante + lado * AnchoPaso;
    const double avance = std::max(fDelante + 8, 1.4 * std::fabs(lateral));
    const double qx = px + ux * avance - uy * lateral, qy = py + uy * avance + ux * lateral;
    if (!ALaVista(px, py, qx, qy)) continue;
    // Room for a car there, not at a wall it would be pushed into.
    bool libre = !plan_->SinCamino(qx + 12, qy) && !plan_->SinCamino(qx - 12, qy) &&
                 !plan_->SinCamino(qx, qy + 12) && !plan_->SinCamino(qx, qy - 12);
    for (const TOtroCoche& otro : otros)
      libre &= &otro == delante || std::max(std::fabs(otro.X + 14 - qx), std::fabs(otro.Y + 14 - qy)) > 18;
    if (!libre) continue;
    o.x = qx, o.y = qy;
    o.rumbo = std::atan2(qy - py, qx - px) * UnidadesPorRadian;
    lado_ = lado;
    return;
  }
  // No room on either side: while its heading would run into the car, it
  // keeps from touching it at its speed.
  lado_ = 0;
  const double hasta = DistanciaAChoque(coche, *delante);
  if (hasta < 1e9) {
    const double suVelocidad = std::max(0.0, delante->VX * ux + delante->VY * uy) * 512;
    o.velocidad = std::min(o.velocidad, suVelocidad + std::sqrt(2 * Frenada * 512 * std::max(0.0, hasta - 3)));
  }
}

// How far, up to 48 pixels, a car probe at (x, y) can go along `angulo`
// (radians) before a wall, ground with no way or another car.
double TPilotoOrdenador::Libre(double x, double y, double angulo, const std::vector<TOtroCoche>& otros) const {
  const double cx = std::cos(angulo), cy = std::sin(angulo);
  for (double d = 4; d <= 48; d += 4) {
    const double qx = x + cx * d, qy = y + cy * d;
    if (plan_->SinCamino(qx, qy)) return d - 4;
    for (const TOtroCoche& otro : otros)
      if (std::max(std::fabs(otro.X + 14 - qx), std::fabs(otro.Y + 14 - qy)) < 16) return d - 4;
  }
  return 48;
}

// True once the car has stayed within a few pixels of one spot while its
// speed should have carried it well away (held by a wall or another car),
// or for over a second in any case. The check starts again whenever it
// moves on and after each manoeuvre.
bool TPilotoOrdenador::Atascado(const TCoche& coche) {
  constexpr int Paciencia = 15, PacienciaMaxima = 40;  // ticks
  constexpr double Cerca = 8;                          // pixels
  ++ticksDesdeManiobra_;
  const double movido = std::hypot(coche.X - anclaX_, coche.Y - anclaY_);
  if (movido > Cerca) {
    anclaX_ = coche.X, anclaY_ = coche.Y;
    ticksQuieto_ = 0;
    esperado_ = 0;
    return false;
  }
  esperado_ += std::abs(coche.Velocidad) / 512.0;
  ++ticksQuieto_;
  return (ticksQuieto_ >= Paciencia && esperado_ > 2 * movido + 4) || ticksQuieto_ >= PacienciaMaxima;
}

// Picks the way out: of sixteen headings, the one with the most room that
// leads most nearly where the plan goes (`rumbo`, radians). A manoeuvre
// soon after another at the same spot failed, so it tries another heading
// and reverses longer.
void TPilotoOrdenador::EmpezarManiobra(const TCoche& coche, const std::vector<TOtroCoche>& otros, double rumbo) {
  const bool otraVez = ticksDesdeManiobra_ < 90 && std::hypot(coche.X - anclaX_, coche.Y - anclaY_) < 24;
  intentos_ = otraVez ? intentos_ + 1 : 0;
  const double px = coche.X + 14, py = coche.Y + 14;
  const double morro = coche.Rumbo / UnidadesPorRadian;
  double mejor = -1e9, salida = rumbo;
  for (int k = 0; k < 16; ++k) {
    const double a = k * Pi / 8;
    double puntos = Libre(px, py, a, otros) + 16 * std::cos(a - rumbo);
    if (intentos_ % 2 == 1 && std::cos(a - maniobra_.rumbo) > 0.7) puntos -= 40;
    if (puntos > mejor) mejor = puntos, salida = a;
  }
  const bool delanteLibre = Libre(px, py, morro, otros) >= 24;
  const bool detras = std::cos(salida - morro) < -0.2;
  maniobra_.rumbo = salida;
  maniobra_.atras = delanteLibre && !detras ? 0 : 12 + 10 * std::min(intentos_, 3);
  maniobra_.adelante = 20;
}

// Full steering towards the manoeuvre's heading; reversing, the pedals
// hold the fastest speed backwards the physics allows.
TControles TPilotoOrdenador::Maniobrar(const TCoche& coche) {
  TControles t;
  const double error = Angulo(maniobra_.rumbo - coche.Rumbo / UnidadesPorRadian);
  (error > 0 ? t.Derecha : t.Izquierda) = std::fabs(error) > 0.05 ? 128 : 0;
  if (maniobra_.atras > 0) {
    --maniobra_.atras;
    MarchaAtras(coche, t);
    return t;
  }
  --maniobra_.adelante;
  if (coche.Velocidad < 0) {
    if (coche.Velocidad + coche.Aceleracion > 0) t.Acelerador = 128;
  } else if (coche.Velocidad < 500) {
    t.Acelerador = 128;
  }
  if (std::fabs(error) < 0.2) maniobra_.adelante = 0;  // facing the way out: drive on
  return t;
}

// A car pushed into a wall: each tick the wall sets it back two steps
// behind where its speed moved it, so it leaves by moving the other way,
// best backwards, the fastest way back, with its nose turned to where it
// leaves. The way out is chosen once, on entering: deep in a thick wall the
// nearest edge may change sides from one tick to the next.
TControles TPilotoOrdenador::SalirDePared(const TCoche& coche, int celda) {
  if (!enPared_) {
    enPared_ = true;
    salidaPared_ = std::atan2(celda / AnchoMascara * 4.0 - (coche.Y + 14), celda % AnchoMascara * 4.0 - (coche.X + 14));
  }
  TControles t;
  const double morro = coche.Rumbo / UnidadesPorRadian;
  const bool deCara = std::cos(salidaPared_ - morro) >= 0;
  const double error = Angulo((deCara ? salidaPared_ : salidaPared_ + Pi) - morro);
  (error > 0 ? t.Derecha : t.Izquierda) = std::fabs(error) > 0.05 ? 128 : 0;
  if (deCara)
    MarchaAtras(coche, t);
  else if (coche.Velocidad >= 0 || coche.Velocidad + coche.Aceleracion > 0)
    t.Acelerador = 128;
  return t;
}

TControles TPilotoOrdenador::Decidir(const TCoche& coche, const std::vector<TOtroCoche>& otros) {
  const int fase = std::clamp<int>(coche.Parcial, 0, 2);
  const int celda = CeldaCercana(coche.X, coche.Y, fase);
  if (celda < 0) return {};
  if (plan_->SinCamino(coche.X + 14, coche.Y + 14)) return SalirDePared(coche, celda);
  enPared_ = false;
  if (maniobra_.atras > 0 || maniobra_.adelante > 0) {
    const TControles t = Maniobrar(coche);
    if (maniobra_.atras <= 0 && maniobra_.adelante <= 0) {  // done: watch afresh from here
      anclaX_ = coche.X, anclaY_ = coche.Y;
      ticksQuieto_ = ticksDesdeManiobra_ = 0;
      esperado_ = 0;
    }
    return t;
  }
  Objetivo o;
  if (!SeguirLinea(coche, fase, o)) o = Mirar(coche, fase, celda);
  if (Atascado(coche)) {
    EmpezarManiobra(coche, otros, o.rumbo / UnidadesPorRadian);
    return Maniobrar(coche);
  }
  Esquivar(coche, otros, o);

  // Steering: the level that turns the car onto the heading in one tick.
  TControles t;
  const double error = Angulo((o.rumbo - coche.Rumbo) / UnidadesPorRadian) * UnidadesPorRadian;
  const double giro = GiroMaximo(coche.Velocidad);
  const double nivel = giro > 0.01 ? std::fabs(error) / giro * 128 : 128;
  const auto volante = int16_t(std::clamp(nivel, 0.0, 128.0));
  (error > 0 ? t.Derecha : t.Izquierda) = volante;

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
