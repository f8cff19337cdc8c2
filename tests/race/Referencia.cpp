#include "Referencia.h"

#include <algorithm>
#include <cmath>

#include "fakes/Camino.h"
#include "fakes/FakeEntorno.h"
#include "race/Circuito.h"

namespace rodavia::test {

namespace {
constexpr double SegundosPorTick = 0.03;
constexpr double Dia = 86400;
constexpr double SegundosPorVuelta = 300;  // a follower that takes longer is left behind
constexpr double Frenada = 80;      // speed the full brake takes off in a tick
constexpr double Centro = 18;       // a car picture is 36 x 36; X, Y is its top-left corner
constexpr double UnidadesPorRadian = 256;

double Angulo(double a) {  // into -pi..pi
  return std::remainder(a, 2 * M_PI);
}
}  // namespace

TReferencia::TReferencia(const datos::DefinicionCircuito& def) : linea_(datos::Muestrear(def)) {
  const size_t n = linea_.p.size();
  std::vector<double> k(n);
  for (size_t i = 0; i < n; ++i) {
    const double s = double(i) * datos::Paso;
    const datos::Punto a = linea_.Direccion(s - 8), b = linea_.Direccion(s + 8);
    k[i] = std::fabs(a.x * b.y - a.y * b.x) / 16;
  }
  curva_.resize(n);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j <= 20; ++j) curva_[i] = std::max(curva_[i], k[(i + n - 10 + j) % n]);
}

void TReferencia::Conducir(TCoche& coche) {
  const datos::Punto c{coche.X + Centro, coche.Y + Centro};
  if (s_ < 0) {
    s_ = linea_.Cercano(c);
  } else {  // the nearest sample a little behind or ahead of the last
    double mejor = s_, distancia = 1e18;
    for (double s = s_ - 20; s <= s_ + 60; s += datos::Paso) {
      const double d = datos::Longitud(linea_.En(s) - c);
      if (d < distancia) distancia = d, mejor = s;
    }
    s_ = std::fmod(mejor + linea_.largo, linea_.largo);
  }
  const double v = std::max<double>(coche.Velocidad, 0);
  const datos::Punto p = linea_.En(s_ + 24 + v / 512 * 4);
  const double error = Angulo(std::atan2(p.y - c.y, p.x - c.x) - coche.Rumbo / UnidadesPorRadian) * UnidadesPorRadian;
  // Steering as the physics turns: 20 heading units a tick at full lock,
  // less below 1000 and above 5000.
  double giro = 20;
  if (v < 1000) giro = v / 1000 * 20;
  else if (v > 5000) giro = 5000 / v * 20;
  const auto volante = int16_t(std::clamp(giro > 0.01 ? std::fabs(error) / giro * 128 : 128, 0.0, 128.0));
  coche.Izquierda = error < 0 ? volante : 0;
  coche.Derecha = error > 0 ? volante : 0;
  // Full throttle, unless a bend within braking distance is tighter than
  // the turning circle at that speed (speed / 40 pixels, 25 below 1000).
  double permitida = 1e9;
  const double alcance = v * v / (2 * Frenada * 512) + 60;
  for (double d = 0; d <= alcance; d += datos::Paso) {
    const double k = curva_[size_t(std::fmod(s_ + d, linea_.largo) / datos::Paso) % curva_.size()];
    const double enCurva = k > 1e-6 ? std::max(1000.0, 40 / k) : 1e9;
    permitida = std::min(permitida, std::sqrt(enCurva * enCurva + 2 * Frenada * 512 * d));
  }
  coche.Acelerador = int16_t(coche.Velocidad < permitida ? 128 : 0);
  coche.Freno = int16_t(coche.Velocidad > permitida + 40 ? 128 : 0);
}

double MejorVueltaReferencia(FakeEntorno& e, const datos::DefinicionCircuito& def, int vueltas) {
  TCoche* coche = new TCoche(e, 1, true, "", "Equipo", "");  // the engine owns it
  coche->PrepararCarrera(0);
  coche->Entrada.reset();  // its levels come from the follower
  TReferencia referencia(def);
  for (int tick = 0; tick < vueltas * SegundosPorVuelta / SegundosPorTick && int(coche->Tiempos.size()) < vueltas;
       ++tick) {
    e.reloj.now += SegundosPorTick / Dia;
    referencia.Conducir(*coche);
    e.Tick();
  }
  double mejor = 0;
  for (const TTiemposCarrera& t : coche->Tiempos)
    if (mejor == 0 || t.Tiempo * Dia < mejor) mejor = t.Tiempo * Dia;
  return mejor;
}

double VueltaMasCorta(const TCircuito& circuito, int velocidad) {
  auto asfalto = [](char s) {
    return s == suelo::Asfalto || s == suelo::Meta || s == suelo::Parcial1 || s == suelo::Parcial2;
  };
  const double celdas = CaminoMasCorto(circuito, suelo::Meta, suelo::Parcial1, asfalto) +
                        CaminoMasCorto(circuito, suelo::Parcial1, suelo::Parcial2, asfalto) +
                        CaminoMasCorto(circuito, suelo::Parcial2, suelo::Meta, asfalto);
  return celdas * 4 / (velocidad / 512.0) * SegundosPorTick;
}

}  // namespace rodavia::test
