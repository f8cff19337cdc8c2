#include "tools/Circuitos.h"

#include <algorithm>
#include <cmath>

#include "platform/Clock.h"

namespace rodavia::datos {

namespace {

constexpr float Escapatoria = 30;    // grass between the asphalt and the barrier
constexpr float ExtraArena = 30;     // more room outside bends with gravel
constexpr float GrosorBarrera = 8;
// The barrier stops a car a little before its centre reaches it, so that the
// car's nose, not its middle, meets the wall.
constexpr float MargenBarrera = 6;
constexpr float RadioCampo = 150;    // how far from the centre line fields are computed
constexpr float Profundidad = 44;    // depth of the pit garages
// The wall between the track and the pit lane: thicker than the 16 pixels
// one car can push another, so none is pushed through it.
constexpr float GrosorMuroBoxes = 20;

const Color Hierba{62, 124, 48}, HierbaAlta{50, 104, 40}, Arena{216, 192, 140},
    Asfalto{82, 82, 86}, AsfaltoBoxes{98, 98, 102}, Blanco{236, 236, 232}, Rojo{204, 32, 30},
    Negro{24, 24, 26}, Hormigon{188, 188, 182}, Tejado{160, 162, 172};

float Envolver(float v, float largo) {
  v = std::fmod(v, largo);
  return v < 0 ? v + largo : v;
}

// Nearest-segment distances from every pixel within RadioCampo of a polyline.
template <class Guardar>
void Rasterizar(const std::vector<Punto>& p, bool cerrada, float radio, Guardar guardar) {
  const size_t segmentos = cerrada ? p.size() : p.size() - 1;
  for (size_t i = 0; i < segmentos; i += 2) {  // segments of two samples
    const Punto a = p[i], b = p[std::min(i + 2, cerrada ? i + 2 : p.size() - 1) % p.size()];
    const Punto ab = b - a;
    const double l2 = ab.x * ab.x + ab.y * ab.y;
    const int x0 = std::max(0, int(std::min(a.x, b.x) - radio));
    const int x1 = std::min(AnchoCircuito - 1, int(std::max(a.x, b.x) + radio));
    const int y0 = std::max(0, int(std::min(a.y, b.y) - radio));
    const int y1 = std::min(AltoCircuito - 1, int(std::max(a.y, b.y) + radio));
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        const Punto q{x + 0.5, y + 0.5};
        const Punto aq = q - a;
        const double t = l2 > 0 ? std::clamp((aq.x * ab.x + aq.y * ab.y) / l2, 0.0, 1.0) : 0;
        const Punto c = a + ab * t;
        const double dx = q.x - c.x, dy = q.y - c.y;
        const double d2 = dx * dx + dy * dy;
        const double cruz = ab.x * aq.y - ab.y * aq.x;
        guardar(x, y, float(d2), float((double(i) + 2 * t) * Paso), cruz >= 0 ? 1.0f : -1.0f);
      }
  }
}

}  // namespace

Pista::Pista(const DefinicionCircuito& def)
    : def_(def), linea_(Muestrear(def)), hitos_(CalcularHitos(def, linea_)),
      boxes_(LineaBoxes(hitos_, linea_)) {
  CalcularTramos();
  CalcularCampos();
}

void Pista::CalcularTramos() {
  const size_t n = linea_.p.size();
  std::vector<float> curva(n);
  for (size_t i = 0; i < n; ++i) {
    const double s = double(i) * Paso;
    const Punto a = linea_.Direccion(s - 4), b = linea_.Direccion(s + 4);
    curva[i] = float((a.x * b.y - a.y * b.x) / 8);
  }
  tramos_.resize(n);
  auto ventana = [&](size_t i, int antes, int despues, auto f) {
    float m = 0;
    for (int k = -antes; k <= despues; ++k) m = std::max(m, f(curva[(i + n + k) % n]));
    return m;
  };
  for (size_t i = 0; i < n; ++i) {
    float suma = 0;  // curvature smoothed over 40 px
    for (int k = -10; k <= 10; ++k) suma += curva[(i + n + k) % n];
    tramos_[i].curva = suma / 21;
  }
  for (size_t i = 0; i < n; ++i) {
    // Kerbs where the radius is below 230 px; gravel outside bends tighter
    // than 320 px, reaching on past the exit where a car runs wide.
    tramos_[i].piano = ventana(i, 12, 12, [](float k) { return std::abs(k) > 1 / 230.f ? 1.f : 0.f; });
    tramos_[i].arena = ventana(i, 20, 50, [](float k) { return Suave(1 / 340.f, 1 / 240.f, std::abs(k)); });
    tramos_[i].desvio = float(DesvioBoxesEn(hitos_, linea_, double(i) * Paso));
  }
  // Gravel traps and their barriers grow and shrink gradually along the lap.
  std::vector<float> arena(n);
  for (size_t i = 0; i < n; ++i) {
    float suma = 0;
    for (int k = -30; k <= 30; ++k) suma += tramos_[(i + n + k) % n].arena;
    arena[i] = suma / 61;
  }
  for (size_t i = 0; i < n; ++i) tramos_[i].arena = arena[i];
  // The sign of the bend for the gravel side follows the smoothed curve.
  for (size_t i = 0; i < n; ++i) {
    float suma = 0;
    for (int k = -20; k <= 50; ++k) suma += tramos_[(i + n + k) % n].curva;
    if (suma < 0) tramos_[i].arena = -tramos_[i].arena;  // gravel on the right
  }
}

void Pista::CalcularCampos() {
  campos_.assign(size_t(AnchoCircuito) * AltoCircuito, Campo{});
  std::vector<float> d2(campos_.size(), 1e18f), b2(campos_.size(), 1e18f);
  Rasterizar(linea_.p, true, RadioCampo, [&](int x, int y, float dd, float s, float signo) {
    const size_t i = size_t(y) * AnchoCircuito + x;
    if (dd >= d2[i]) return;
    d2[i] = dd;
    campos_[i].d = std::sqrt(dd);
    campos_[i].s = s;
    campos_[i].lado = signo * campos_[i].d;
  });
  Rasterizar(boxes_, false, MedioAnchoBoxes + 30, [&](int x, int y, float dd, float s, float) {
    const size_t i = size_t(y) * AnchoCircuito + x;
    if (dd >= b2[i]) return;
    b2[i] = dd;
    campos_[i].dBoxes = std::sqrt(dd);
    campos_[i].sBoxes = Envolver(float(hitos_.entradaBoxes) + s, float(linea_.largo));
  });
  CalcularCosturas();
}

void Pista::CalcularCosturas() {
  // Where two parts of the lap lie side by side, the pixels nearest each
  // meet along a seam; a wall stands on it so that no car can cut across.
  constexpr int Alcance = 10;  // beyond this the distance stays unknown (infinite)
  costura_.assign(campos_.size(), 1e9f);
  auto salto = [&](const Campo& a, const Campo& b) {
    const float ds = std::abs(a.s - b.s);
    return std::min(ds, float(linea_.largo) - ds) > 150 && a.d < RadioCampo && b.d < RadioCampo;
  };
  for (int y = 0; y + 1 < AltoCircuito; ++y)
    for (int x = 0; x + 1 < AnchoCircuito; ++x) {
      const Campo& c = En(x, y);
      if (!salto(c, En(x + 1, y)) && !salto(c, En(x, y + 1))) continue;
      for (int dy = -Alcance; dy <= Alcance; ++dy)
        for (int dx = -Alcance; dx <= Alcance; ++dx) {
          const int px = x + dx, py = y + dy;
          if (px < 0 || py < 0 || px >= AnchoCircuito || py >= AltoCircuito) continue;
          float& d = costura_[size_t(py) * AnchoCircuito + px];
          d = std::min(d, std::hypot(float(dx), float(dy)));
        }
    }
}

const Pista::Tramo& Pista::TramoEn(float s) const {
  return tramos_[size_t(Envolver(s, float(linea_.largo)) / Paso) % tramos_.size()];
}

double Pista::Vuelta(double s) const { return Envolver(float(s - hitos_.meta), float(linea_.largo)); }

float Pista::ArenaFuera(const Campo& c) const {
  const float a = TramoEn(c.s).arena;
  return (a > 0 && c.lado < 0) || (a < 0 && c.lado > 0) ? std::abs(a) : 0;
}

float Pista::Barrera(const Campo& c) const {
  float r = float(MedioAncho) + Escapatoria + ExtraArena * ArenaFuera(c);
  if (c.lado > 0) r = std::max(r, TramoEn(c.s).desvio + float(MedioAnchoBoxes) + 10);
  return r;
}

bool Pista::EnBarrera(const Campo& c, float margen) const {
  const float b = Barrera(c);
  return c.d >= b - margen && c.d <= b + GrosorBarrera;
}

bool Pista::EnCostura(int x, int y, float margen) const {
  const Campo& c = En(x, y);
  // Not across the pit lane, which its own barrier keeps apart.
  return costura_[size_t(y) * AnchoCircuito + x] <= GrosorBarrera / 2 + margen &&
         c.d > MedioAncho + 6 && c.d < Barrera(c) && c.dBoxes > MedioAnchoBoxes;
}

float Pista::BordeArena(const Campo& c, int x, int y) const {
  const float fuera = ArenaFuera(c);
  if (fuera <= 0) return -1;
  const float ruido = Fractal(float(x), float(y), 40, 11) * 14;
  const float porTramo = (fuera - 0.35f) * 80 + ruido;
  const float desdeAsfalto = c.d - float(MedioAncho) - 10 + ruido * 0.5f;
  const float hastaBarrera = Barrera(c) - 3 - c.d;
  return std::min({porTramo, desdeAsfalto, hastaBarrera});
}

bool Pista::MuroBoxes(const Campo& c) const {
  return c.lado > 0 && TramoEn(c.s).desvio >= DesvioBoxes - 0.5 && c.d >= MedioAncho + 1 &&
         c.d <= MedioAncho + 1 + GrosorMuroBoxes;
}

char Pista::SueloPixel(int x, int y) const {
  const Campo& c = En(x, y);
  if (c.d > Barrera(c) + GrosorBarrera) return suelo::Hierba;  // beyond the barriers
  if (EnBarrera(c, MargenBarrera) || EnCostura(x, y, MargenBarrera) || MuroBoxes(c)) return suelo::Pared;
  const double largo = linea_.largo;
  if (c.d <= MedioAncho) {
    const double u = Vuelta(c.s);
    if (u < GrosorLinea) return suelo::Meta;
    if (std::abs(u - largo / 3 - GrosorLinea / 2) < GrosorLinea / 2) return suelo::Parcial1;
    if (std::abs(u - 2 * largo / 3 - GrosorLinea / 2) < GrosorLinea / 2) return suelo::Parcial2;
    return suelo::Asfalto;
  }
  if (c.dBoxes <= MedioAnchoBoxes) {
    if (Vuelta(c.sBoxes) < GrosorLinea) return suelo::Meta;
    const double dentro = Envolver(float(c.sBoxes - hitos_.entradaBoxes), float(largo));
    return dentro < Rampa + 30 ? suelo::BoxIn : suelo::Boxes;
  }
  if (BordeArena(c, x, y) > 0) return suelo::Arena;
  return suelo::Hierba;
}

std::vector<TSalida> Pista::Salidas() const {
  std::vector<TSalida> r;
  auto salida = [&](double s, double lateral) {
    const Punto c = linea_.En(s) + linea_.Normal(s) * lateral;
    const Punto d = linea_.Direccion(s);
    const long frame = (std::lround(std::atan2(d.y, d.x) * 18 / M_PI) + 9 + 36) % 36;
    return TSalida{int16_t(std::lround(c.x - 18)), int16_t(std::lround(c.y - 18)), int16_t(frame)};
  };
  // Two by two behind the line, rows 40 px apart, the second of each row
  // 20 px further back on the other side.
  for (int i = 0; i < 16; ++i)
    r.push_back(salida(hitos_.meta - 30 - 40 * (i / 2) - 20 * (i % 2), i % 2 ? 20 : -20));
  const double lleno = hitos_.entradaBoxes + Rampa + 40;
  r.push_back(salida(lleno + 40, DesvioBoxes));
  return r;
}

void Pista::Describir(TCircuito& circuito) const {
  for (int y = 0; y < AltoMascara; ++y)
    for (int x = 0; x < AnchoMascara; ++x) {
      // The outermost cells a car can probe are walls all round.
      const bool borde = x <= 2 || y <= 2 || x >= 253 || y >= 189;
      circuito.Celda(x, y) = borde ? suelo::Pared : SueloPixel(4 * x + 1, 4 * y + 1);
    }
  circuito.Nombre = def_.nombre;
  circuito.Titulo = def_.titulo;
  circuito.Autor = "Equipo Rodavia";
  circuito.Email = "equipo@rodavia.es";
  circuito.Record = SinRecord;
  circuito.AutorRecord = "Desconocido";
  circuito.FechaRecord = EncodeDateTime(2026, 1, 1);
  const auto salidas = Salidas();
  for (int i = 1; i <= 16; ++i) circuito.Salidas[i] = salidas[i - 1];
  circuito.Box = salidas[16];
}

Color Pista::ColorSuelo(int x, int y) const {
  const Campo& c = En(x, y);
  const float fx = float(x), fy = float(y);
  const Tramo& t = TramoEn(c.s);
  const float barrera = Barrera(c);
  // Grass, mown in diagonal stripes, rougher beyond the barriers.
  const float franja = std::sin((fx + fy * 0.6f) * 0.07f) > 0 ? 1.04f : 0.96f;
  const float mancha = 1 + Fractal(fx, fy, 90, 1) * 0.22f + (Azar(x, y, 2) - 0.5f) * 0.10f;
  Color color = Mezcla(Hierba * franja, HierbaAlta, Suave(barrera, barrera + 30, c.d)) * mancha;
  // Gravel.
  const float arena = Cobertura(BordeArena(c, x, y));
  if (arena > 0) {
    const Color grano = Arena * (1 + Fractal(fx, fy, 30, 3) * 0.12f + (Azar(x, y, 4) - 0.5f) * 0.16f);
    color = Mezcla(color, grano, arena);
  }
  // Pit lane.
  const float enBoxes = Cobertura(float(MedioAnchoBoxes) - c.dBoxes);
  if (enBoxes > 0) {
    Color b = AsfaltoBoxes * (1 + (Azar(x, y, 5) - 0.5f) * 0.10f);
    const float borde = std::abs(c.dBoxes - float(MedioAnchoBoxes) + 3);
    b = Mezcla(b, Blanco, Cobertura(1 - borde));
    const double dentro = Envolver(float(c.sBoxes - hitos_.entradaBoxes), float(linea_.largo));
    b = Mezcla(b, Blanco, Cobertura(1.5f - float(std::abs(dentro - Rampa - 30))));  // speed limit line
    color = Mezcla(color, b, enBoxes);
  }
  // Track asphalt, a darker rubbered line near the middle, edge lines, kerbs.
  const float enPista = Cobertura(float(MedioAncho) - c.d);
  if (enPista > 0) {
    const float goma = 1 - 0.07f * (1 - Suave(8, 30, c.d));
    Color a = Asfalto * goma * (1 + Fractal(fx, fy, 60, 6) * 0.10f + (Azar(x, y, 7) - 0.5f) * 0.12f);
    if (t.piano > 0.5f) {
      const bool blanco = int(std::floor(c.s / 12)) % 2 == 0;
      const float tira = Cobertura(c.d - float(MedioAncho) + 9);
      const Color piano = (blanco ? Blanco : Rojo) * (1 - 0.25f * Suave(MedioAncho - 9, MedioAncho, c.d));
      a = Mezcla(a, piano, tira);
    } else {
      a = Mezcla(a, Blanco, Cobertura(1.5f - std::abs(c.d - float(MedioAncho) + 4.5f)));
    }
    color = Mezcla(color, a, enPista);
  }
  // Finish line: a chequered band exactly where the grid says M; timing
  // lines for the splits.
  const char s = SueloPixel(x, y);
  if (s == suelo::Meta) {
    const double u = Vuelta(c.dBoxes <= MedioAnchoBoxes && c.d > MedioAncho ? c.sBoxes : c.s);
    const bool negro = (int(std::floor(u / 4)) + int(std::floor((c.lado + 200) / 4))) % 2;
    color = negro ? Negro : Blanco;
  } else if (s == suelo::Parcial1 || s == suelo::Parcial2) {
    const double u = Vuelta(c.s) - (s == suelo::Parcial1 ? 1 : 2) * linea_.largo / 3;
    color = Mezcla(color, Blanco, 0.8f * Cobertura(float(1.2 - std::abs(u - 1))));
  }
  // Concrete: the pit wall and the barriers outside gravel traps (those get tyres).
  const float muro = MuroBoxes(c) ? 1.f : 0.f;
  const float costura = EnCostura(x, y, 0) ? 1.f : 0.f;
  const float pared = Cobertura(std::min(c.d - barrera, barrera + GrosorBarrera - c.d));
  if (pared > 0 && ArenaFuera(c) >= 0.2f) {
    color = Mezcla(color, Negro, pared);  // the bed under the tyre wall
  } else if (muro > 0 || costura > 0 || pared > 0) {
    const float canto = muro > 0 ? std::abs(c.d - float(MedioAncho) - 1 - GrosorMuroBoxes / 2)
                        : costura > 0 ? costura_[size_t(y) * AnchoCircuito + x]
                                      : std::abs(c.d - barrera - GrosorBarrera / 2);
    color = Mezcla(color, Hormigon * (1.08f - 0.06f * canto), std::max({muro, costura, pared}));
  }
  // Pit garages beyond the pit lane's wall.
  if (c.lado > 0 && t.desvio >= DesvioBoxes - 0.5 && c.d > barrera + GrosorBarrera + 2 &&
      c.d < barrera + GrosorBarrera + 2 + Profundidad) {
    const float u = float(Vuelta(c.s));
    const bool junta = std::fmod(u + 1000, 48.f) < 2;
    const float fondo = c.d - barrera - GrosorBarrera - 2;
    color = junta ? Color{110, 110, 118} : Tejado * (1.05f - 0.15f * fondo / Profundidad);
  }
  // A soft shadow cast by walls towards the bottom-right.
  if (x >= 3 && y >= 3 && pared <= 0 && muro <= 0 && costura <= 0) {
    const Campo& o = En(x - 3, y - 3);
    if (EnBarrera(o, 0) || MuroBoxes(o) || EnCostura(x - 3, y - 3, 0)) color = color * 0.72f;
  }
  return color;
}

void Pista::PintarNeumaticos(RgbImage& img) const {
  // Tyres in a row along every barrier outside gravel, spaced by the length
  // of the barrier itself, not of the centre line.
  const Color caucho{30, 30, 32};
  Punto anterior{-1e9, -1e9};
  for (double s = 0; s < linea_.largo; s += 0.5) {
    const Tramo& t = TramoEn(float(s));
    const double lado = t.arena > 0 ? -1 : 1;
    Campo probe;
    probe.s = float(s);
    probe.lado = float(lado);
    if (ArenaFuera(probe) < 0.2f) continue;
    const double r = Barrera(probe) + GrosorBarrera / 2;
    const Punto p = linea_.En(s) + linea_.Normal(s) * (lado * r);
    if (Longitud(p - anterior) < 8) continue;
    const int px = int(p.x), py = int(p.y);
    if (px < 0 || py < 0 || px >= AnchoCircuito || py >= AltoCircuito) continue;
    const Campo& c = En(px, py);
    if (std::abs(c.d - r) > 1.5) continue;  // this part of the ring lies nearer other track
    anterior = p;
    const bool banda = int(s / 40) % 2 == 0;
    Disco(img, float(p.x), float(p.y), 4.2f, caucho, 1, 0.5f);
    Disco(img, float(p.x), float(p.y), 2.2f, banda ? Color{200, 40, 36} : Color{220, 220, 215}, 0.9f);
    Disco(img, float(p.x), float(p.y), 1.2f, Color{12, 12, 12});
  }
}

void Pista::PintarArboles(RgbImage& img) const {
  const int celda = 34;
  for (int gy = 0; gy * celda < AltoCircuito; ++gy)
    for (int gx = 0; gx * celda < AnchoCircuito; ++gx) {
      if (Azar(gx, gy, 20) < 0.35f) continue;
      const float r = 8 + Azar(gx, gy, 21) * 7;
      const float cx = (float(gx) + 0.2f + Azar(gx, gy, 22) * 0.6f) * celda;
      const float cy = (float(gy) + 0.2f + Azar(gx, gy, 23) * 0.6f) * celda;
      if (cx < r || cy < r || cx > AnchoCircuito - r || cy > AltoCircuito - r) continue;
      const Campo& c = En(int(cx), int(cy));
      if (c.d < Barrera(c) + GrosorBarrera + Profundidad + r + 4 || c.dBoxes < 60) continue;
      const Color hoja = Color{40, 96, 38} * (0.85f + Azar(gx, gy, 24) * 0.3f);
      Disco(img, cx + 5, cy + 5, r, Color{0, 0, 0}, 0.35f);
      Disco(img, cx, cy, r, hoja, 1, 0.35f);
      for (int k = 0; k < 4; ++k) {
        const float a = Azar(gx, gy, 30 + k) * 6.283f, dd = r * 0.45f;
        Disco(img, cx + std::cos(a) * dd, cy + std::sin(a) * dd, r * 0.45f, hoja * 1.12f, 0.8f, 0.4f);
      }
    }
}

void Pista::PintarCajones(RgbImage& img) const {
  // Painted grid boxes: a line across in front of each car and short lines
  // along its sides.
  const auto salidas = Salidas();
  for (int i = 0; i < 16; ++i) {
    const Punto centro{salidas[i].X + 18.0, salidas[i].Y + 18.0};
    const double s = linea_.Cercano(centro);
    const Punto d = linea_.Direccion(s), n = linea_.Normal(s);
    for (int y = int(centro.y) - 30; y <= int(centro.y) + 30; ++y)
      for (int x = int(centro.x) - 30; x <= int(centro.x) + 30; ++x) {
        const Punto q = Punto{x + 0.5, y + 0.5} - centro;
        const double a = q.x * d.x + q.y * d.y, l = q.x * n.x + q.y * n.y;
        const double frente = std::max(std::abs(a - 21) - 1, std::abs(l) - 17);
        const double costado = std::max(std::abs(std::abs(l) - 16) - 1, std::abs(a - 15) - 6);
        Fundir(img, x, y, Blanco, 0.9f * Cobertura(float(-std::min(frente, costado))));
      }
  }
}

RgbImage Pista::Pintar() const {
  RgbImage img(AnchoCircuito, AltoCircuito);
  for (int y = 0; y < AltoCircuito; ++y)
    for (int x = 0; x < AnchoCircuito; ++x) Poner(img, x, y, ColorSuelo(x, y));
  PintarCajones(img);
  PintarNeumaticos(img);
  PintarArboles(img);
  return img;
}

}  // namespace rodavia::datos
