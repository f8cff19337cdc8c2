#pragma once
// The shape of each default circuit: a closed centre line through control
// points (a centripetal Catmull-Rom spline, driven clockwise on screen), the
// finish line and the pit lane. Both the picture and the ground grid are
// drawn from this one geometry; the tests drive along it. Header-only so the
// tests share it with the generator.
#include <cmath>
#include <string>
#include <vector>

namespace rodavia::datos {

struct Punto {
  double x = 0, y = 0;
};

inline Punto operator+(Punto a, Punto b) { return {a.x + b.x, a.y + b.y}; }
inline Punto operator-(Punto a, Punto b) { return {a.x - b.x, a.y - b.y}; }
inline Punto operator*(Punto a, double k) { return {a.x * k, a.y * k}; }
inline double Longitud(Punto a) { return std::hypot(a.x, a.y); }

struct DefinicionCircuito {
  std::string nombre, titulo;
  std::vector<Punto> control;  // racing order, clockwise
  Punto meta;                  // the finish line crosses the centre line nearest this point
  Punto entradaBoxes, salidaBoxes;  // where the pit lane leaves and rejoins the track
};

// Track dimensions in picture pixels.
constexpr double MedioAncho = 44;       // half the asphalt width, kerbs included
constexpr double MedioAnchoBoxes = 16;  // half the pit lane width
constexpr double DesvioBoxes = 82;      // pit lane centre from the track centre
constexpr double Rampa = 130;           // length of the pit lane's entry and exit bends
constexpr double GrosorLinea = 16;      // finish and split lines along the track
constexpr double Paso = 2;              // spacing of the sampled centre line

inline const std::vector<DefinicionCircuito>& Definiciones() {
  static const std::vector<DefinicionCircuito> lista = {
      {"Valverde",
       "Valverde - circuito rápido",
       {{315, 148}, {454, 148}, {594, 148}, {733, 148}, {845, 173}, {887, 263}, {854, 362},
        {868, 470}, {836, 578}, {724, 614}, {594, 578}, {473, 515}, {352, 560}, {231, 614},
        {152, 542}, {146, 398}, {147, 263}, {199, 173}},
       {631, 148},
       {259, 148},
       {780, 155}},
      {"Ciudadela",
       "Ciudadela - circuito técnico",
       {{259, 145}, {408, 145}, {557, 145}, {705, 145}, {836, 173}, {854, 263}, {780, 326},
        {640, 326}, {529, 344}, {473, 434}, {557, 506}, {687, 470}, {817, 488}, {854, 587},
        {761, 637}, {557, 637}, {389, 623}, {315, 524}, {287, 416}, {157, 398}, {147, 263},
        {175, 173}},
       {557, 145},
       {240, 145},
       {724, 148}},
      {"Bahia",
       "Bahía - la recta larga",
       {{278, 146}, {426, 146}, {575, 146}, {724, 146}, {845, 182}, {877, 308}, {798, 398},
        {650, 402}, {557, 462}, {612, 548}, {743, 530}, {854, 580}, {820, 664}, {594, 682},
        {389, 676}, {222, 650}, {143, 506}, {143, 335}, {175, 209}},
       {612, 146},
       {152, 416},
       {817, 169}},
  };
  return lista;
}

// The centre line sampled every Paso pixels, closed (the last sample leads
// back to the first), with the arc length of each sample.
struct LineaCentral {
  std::vector<Punto> p;
  double largo = 0;  // length of the whole lap

  Punto En(double s) const {  // point at arc length s (any value, wraps)
    const double n = double(p.size());
    double i = std::fmod(s / Paso, n);
    if (i < 0) i += n;
    const size_t a = size_t(i) % p.size(), b = (a + 1) % p.size();
    const double f = i - std::floor(i);
    return p[a] + (p[b] - p[a]) * f;
  }
  Punto Direccion(double s) const {
    const Punto d = En(s + Paso) - En(s - Paso);
    return d * (1 / Longitud(d));
  }
  // Right-hand normal: towards the inside of a clockwise circuit.
  Punto Normal(double s) const {
    const Punto d = Direccion(s);
    return {-d.y, d.x};
  }
  double Cercano(Punto q) const {  // arc length of the sample nearest q
    size_t mejor = 0;
    for (size_t i = 1; i < p.size(); ++i)
      if (Longitud(p[i] - q) < Longitud(p[mejor] - q)) mejor = i;
    return double(mejor) * Paso;
  }
};

namespace detalle {
// Centripetal Catmull-Rom between b and c (a and d the neighbours), t in 0..1.
inline Punto CatmullRom(Punto a, Punto b, Punto c, Punto d, double t) {
  auto nudo = [](Punto u, Punto v) { return std::sqrt(Longitud(v - u)); };
  const double t0 = 0, t1 = t0 + nudo(a, b), t2 = t1 + nudo(b, c), t3 = t2 + nudo(c, d);
  const double u = t1 + (t2 - t1) * t;
  const Punto a1 = a * ((t1 - u) / (t1 - t0)) + b * ((u - t0) / (t1 - t0));
  const Punto a2 = b * ((t2 - u) / (t2 - t1)) + c * ((u - t1) / (t2 - t1));
  const Punto a3 = c * ((t3 - u) / (t3 - t2)) + d * ((u - t2) / (t3 - t2));
  const Punto b1 = a1 * ((t2 - u) / (t2 - t0)) + a2 * ((u - t0) / (t2 - t0));
  const Punto b2 = a2 * ((t3 - u) / (t3 - t1)) + a3 * ((u - t1) / (t3 - t1));
  return b1 * ((t2 - u) / (t2 - t1)) + b2 * ((u - t1) / (t2 - t1));
}
}  // namespace detalle

inline LineaCentral Muestrear(const DefinicionCircuito& def) {
  const auto& c = def.control;
  const size_t n = c.size();
  std::vector<Punto> fino;
  for (size_t i = 0; i < n; ++i)
    for (int k = 0; k < 400; ++k)
      fino.push_back(detalle::CatmullRom(c[(i + n - 1) % n], c[i], c[(i + 1) % n], c[(i + 2) % n],
                                         k / 400.0));
  // Even spacing along the curve.
  LineaCentral linea;
  double total = 0;
  for (size_t i = 0; i < fino.size(); ++i) total += Longitud(fino[(i + 1) % fino.size()] - fino[i]);
  const size_t muestras = size_t(std::lround(total / Paso));
  const double paso = total / double(muestras);
  double recorrido = 0, siguiente = 0;
  for (size_t i = 0; i < fino.size() && linea.p.size() < muestras; ++i) {
    const Punto a = fino[i], b = fino[(i + 1) % fino.size()];
    const double l = Longitud(b - a);
    while (siguiente <= recorrido + l && linea.p.size() < muestras) {
      linea.p.push_back(a + (b - a) * ((siguiente - recorrido) / l));
      siguiente += paso;
    }
    recorrido += l;
  }
  // Store with exactly Paso spacing in arc length terms.
  linea.largo = double(linea.p.size()) * Paso;
  return linea;
}

// Where things are along the lap: arc lengths on the centre line.
struct Hitos {
  double meta = 0, parcial1 = 0, parcial2 = 0;
  double entradaBoxes = 0, salidaBoxes = 0;  // salida > entrada (may pass the lap's end)
};

inline Hitos CalcularHitos(const DefinicionCircuito& def, const LineaCentral& l) {
  Hitos h;
  h.meta = l.Cercano(def.meta);
  h.parcial1 = std::fmod(h.meta + l.largo / 3, l.largo);
  h.parcial2 = std::fmod(h.meta + 2 * l.largo / 3, l.largo);
  h.entradaBoxes = l.Cercano(def.entradaBoxes);
  h.salidaBoxes = l.Cercano(def.salidaBoxes);
  if (h.salidaBoxes < h.entradaBoxes) h.salidaBoxes += l.largo;
  return h;
}

// Distance of the pit lane's centre from the track's centre at arc length
// s: 0 outside the pit lane, easing out to DesvioBoxes along the entry bend
// and back along the exit bend.
inline double DesvioBoxesEn(const Hitos& h, const LineaCentral& l, double s) {
  double u = s - h.entradaBoxes;
  u = std::fmod(u, l.largo);
  if (u < 0) u += l.largo;
  const double largo = h.salidaBoxes - h.entradaBoxes;
  if (u >= largo) return 0;
  const double t = std::min(std::min(u, largo - u) / Rampa, 1.0);
  return DesvioBoxes * t * t * (3 - 2 * t);
}

// The pit lane's centre, from entry to exit, sampled every Paso of the
// track's arc length; the arc length of sample k is entradaBoxes + k * Paso.
inline std::vector<Punto> LineaBoxes(const Hitos& h, const LineaCentral& l) {
  std::vector<Punto> p;
  for (double s = h.entradaBoxes; s <= h.salidaBoxes; s += Paso)
    p.push_back(l.En(s) + l.Normal(s) * DesvioBoxesEn(h, l, s));
  return p;
}

}  // namespace rodavia::datos
