#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "CarreraComun.h"
#include "Referencia.h"
#include "race/PilotoOrdenador.h"

namespace rodavia::test {
namespace {

constexpr double SegundosPorTick = 0.03;
constexpr double Dia = 86400;

struct Resultado {
  std::vector<double> vueltas;  // seconds
  double atascoMaximo = 0;      // longest time the car stayed within 16 pixels of one spot
};

// Opens a default circuit, as the data generator writes it.
std::function<void(FakeEntorno&)> PorDefecto(const std::string& nombre) {
  return [nombre](FakeEntorno& e) {
    const std::string orden = std::string(RODAVIA_DATOS) + " '" + e.carpeta.path().string() + "'";
    EXPECT_EQ(std::system(orden.c_str()), 0);
    e.circuito = std::make_unique<TCircuito>(nombre);
  };
}

// A circuit painted on the grid, unlike any default one: an L-shaped island
// driven anticlockwise, grass round the outside, the start on the top
// straight heading west, split 1 across the bottom, split 2 across the
// right side and a wide open bay where the island's corner is cut away.
void Pintado(FakeEntorno& e) {
  e.circuito->Mascara.fill(suelo::Pared);
  e.Pintar(10, 10, 240, 180, suelo::Hierba);
  e.Pintar(20, 20, 230, 170, suelo::Asfalto);
  e.Pintar(40, 40, 210, 89, suelo::Pared);
  e.Pintar(40, 90, 109, 150, suelo::Pared);
  e.Pintar(125, 20, 126, 39, suelo::Meta);
  e.Pintar(60, 151, 61, 170, suelo::Parcial1);
  e.Pintar(211, 100, 230, 101, suelo::Parcial2);
  for (int i = 1; i <= 16; ++i)  // two columns behind the line, heading west (frame 27)
    e.circuito->Salidas[size_t(i)] = {int16_t((132 + (i - 1) / 2 * 8) * 4 - 14),
                                      int16_t((i % 2 ? 25 : 34) * 4 - 14), 27};
}

// A circuit painted round a centre line, as a player might paint one:
// driven anticlockwise, unlike every default circuit, with asphalt 88 px
// wide but only 40 px over the middle fifth of the lap, grass 24 px either
// side and walls beyond; the finish line and the splits 16 px deep across
// the asphalt at the start, a third and two thirds of the lap; the grid two
// by two behind the finish line.
const datos::DefinicionCircuito& Estrecho() {
  static const datos::DefinicionCircuito def = {
      "Estrecho", "Estrecho",
      {{700, 150}, {500, 150}, {300, 150}, {170, 230}, {150, 400}, {200, 560}, {350, 620},
       {520, 600}, {640, 520}, {760, 600}, {880, 560}, {890, 380}, {850, 220}},
      {600, 150}, {}, {}};
  return def;
}

void PintarEstrecho(FakeEntorno& e) {
  const datos::LineaCentral linea = datos::Muestrear(Estrecho());
  const double meta = linea.Cercano(Estrecho().meta), largo = linea.largo;
  for (int y = 0; y < AltoMascara; ++y)
    for (int x = 0; x < AnchoMascara; ++x) {
      const datos::Punto q{4.0 * x + 4, 4.0 * y + 4};  // the middle of a car whose probe is on the cell
      size_t cerca = 0;
      double d2 = 1e18;
      for (size_t i = 0; i < linea.p.size(); ++i) {
        const double dx = linea.p[i].x - q.x, dy = linea.p[i].y - q.y;
        if (dx * dx + dy * dy < d2) d2 = dx * dx + dy * dy, cerca = i;
      }
      const double u = std::fmod(double(cerca) * datos::Paso - meta + largo, largo);  // from the finish line
      const double medio = u > 0.4 * largo && u < 0.6 * largo ? 20 : 44, d = std::sqrt(d2);
      char suelo = d <= medio ? suelo::Asfalto : d <= medio + 24 ? suelo::Hierba : suelo::Pared;
      if (suelo == suelo::Asfalto && u < 16) suelo = suelo::Meta;
      if (suelo == suelo::Asfalto && std::fabs(u - largo / 3 - 8) < 8) suelo = suelo::Parcial1;
      if (suelo == suelo::Asfalto && std::fabs(u - 2 * largo / 3 - 8) < 8) suelo = suelo::Parcial2;
      e.circuito->Celda(x, y) = x <= 2 || y <= 2 || x >= 253 || y >= 189 ? suelo::Pared : suelo;
    }
  for (int i = 0; i < 16; ++i) {
    const double s = meta - 30 - 40 * (i / 2) - 20 * (i % 2);
    const datos::Punto c = linea.En(s) + linea.Normal(s) * (i % 2 ? 20 : -20), d = linea.Direccion(s);
    const long frame = (std::lround(std::atan2(d.y, d.x) * 18 / M_PI) + 9 + 36) % 36;
    e.circuito->Salidas[size_t(i + 1)] = {int16_t(std::lround(c.x - 18)), int16_t(std::lround(c.y - 18)), int16_t(frame)};
  }
}

using Circuito = std::pair<const char*, std::function<void(FakeEntorno&)>>;

// The default circuits and two painted ones of other shapes.
const std::vector<Circuito>& Circuitos() {
  static const std::vector<Circuito> lista = {{"Valverde", PorDefecto("Valverde")},
                                              {"Ciudadela", PorDefecto("Ciudadela")},
                                              {"Bahia", PorDefecto("Bahia")},
                                              {"Pintado", Pintado},
                                              {"Estrecho", PintarEstrecho}};
  return lista;
}

constexpr int Parado = 0;  // a person who never drives: the car keeps its grid place

// What a player gets by painting only the lines and the grid on the
// editor's field of grass: the finish line across the top, split 1 and
// split 2 as diagonal strokes one cell wide (a car can slip between their
// cells) on the right and at the bottom, raced clockwise from a grid
// heading east.
void LineasEnHierba(FakeEntorno& e) {
  e.circuito->Mascara.fill(suelo::Hierba);
  e.Pintar(125, 20, 125, 60, suelo::Meta);
  for (int i = 0; i <= 40; ++i) {  // diagonal strokes, one cell wide
    e.Pintar(190 + i, 80 + i / 2, 190 + i, 80 + i / 2, suelo::Parcial1);
    e.Pintar(110 + i, 130 + i, 110 + i, 130 + i, suelo::Parcial2);
  }
  for (int i = 1; i <= 16; ++i)  // two columns behind the line, heading east (frame 9)
    e.circuito->Salidas[size_t(i)] = {int16_t((115 - (i - 1) / 2 * 8) * 4 - 14),
                                      int16_t((i % 2 ? 32 : 48) * 4 - 14), 9};
}

// Computer cars of the given levels race `vueltas` laps on the circuit
// `abrir` opens, from the grid places after the first `primera`, until all
// that drive finish or `segundos` of race time pass.
std::vector<Resultado> Correr(const std::function<void(FakeEntorno&)>& abrir, const std::vector<int>& niveles,
                              bool colisiones, int vueltas = 3, double segundos = 600, int primera = 0) {
  FakeEntorno e;
  abrir(e);
  e.colisiones = colisiones;
  std::vector<TCoche*> coches;
  for (size_t i = 0; i < niveles.size(); ++i) {
    const std::string nombre = "Piloto " + std::to_string(i + 1);
    const std::string perfil = niveles[i] == Parado ? "[Perfil]\r\nOrdenador=0\r\n"
                                                    : "[Perfil]\r\nOrdenador=1\r\nNivelOrdenador=" +
                                                          std::to_string(niveles[i]) + "\r\n";
    coches.push_back(CocheLocal(e, int16_t(i + 1), nombre, perfil));
    coches.back()->PrepararCarrera(primera + int(i));
  }
  std::vector<Resultado> r(coches.size());
  std::vector<TPuntoReal> ancla(coches.size());
  std::vector<int> quieto(coches.size(), 0);
  for (int tick = 0; tick < segundos / SegundosPorTick; ++tick) {
    e.reloj.now += SegundosPorTick / Dia;
    e.Tick();
    bool todos = true;
    for (size_t i = 0; i < coches.size(); ++i) {
      const TCoche& c = *coches[i];
      if (int(c.Tiempos.size()) >= vueltas) continue;  // standing after the race does not count
      if (std::hypot(c.X - ancla[i].X, c.Y - ancla[i].Y) > 16) ancla[i] = {c.X, c.Y}, quieto[i] = 0;
      r[i].atascoMaximo = std::max(r[i].atascoMaximo, ++quieto[i] * SegundosPorTick);
      todos &= niveles[i] == Parado || int(c.Tiempos.size()) >= vueltas;
    }
    if (todos) break;
  }
  for (size_t i = 0; i < coches.size(); ++i)
    for (const TTiemposCarrera& t : coches[i]->Tiempos) r[i].vueltas.push_back(t.Tiempo * Dia);
  return r;
}

double MejorVuelta(const Resultado& r) { return *std::min_element(r.vueltas.begin(), r.vueltas.end()); }

// The top level and the lowest race alone (collisions off): the top level
// completes 3 laps never stuck more than 3 s, and its best lap is at least
// 15 % faster than the lowest level's.
void NivelesEn(const char* circuito, const std::function<void(FakeEntorno&)>& abrir) {
  const auto r = Correr(abrir, {NivelOrdenadorMaximo, NivelOrdenadorMinimo}, false);
  ASSERT_GE(r[0].vueltas.size(), 3u) << circuito;
  ASSERT_FALSE(r[1].vueltas.empty()) << circuito;
  EXPECT_LE(r[0].atascoMaximo, 3) << circuito;
  EXPECT_LE(MejorVuelta(r[0]), 0.85 * MejorVuelta(r[1])) << circuito;
  std::printf("%s: mejor vuelta %.2f s (nivel %d), %.2f s (nivel %d)\n", circuito, MejorVuelta(r[0]),
              NivelOrdenadorMaximo, MejorVuelta(r[1]), NivelOrdenadorMinimo);
}

TEST(PilotoOrdenador, TopLevelLapsValverdeAndCiudadelaWithoutGettingStuck) {
  NivelesEn("Valverde", PorDefecto("Valverde"));
  NivelesEn("Ciudadela", PorDefecto("Ciudadela"));
}
// Bahia's split 1 ends just above a grass gap beside a wall: a driver that
// aims past the line before touching it misses it and gets pinned there.
TEST(PilotoOrdenador, TopLevelLapsBahiaWithoutGettingStuck) { NivelesEn("Bahia", PorDefecto("Bahia")); }

// Racing alone, each level's best of 3 laps is faster than the level below
// it, and the top level's at least 20 % faster than the lowest's wherever
// the cars follow a racing line.
TEST(PilotoOrdenador, LevelsLapInOrderOnEveryCircuit) {
  for (const auto& [circuito, abrir] : Circuitos()) {
    FakeEntorno datos;
    abrir(datos);
    const auto copia = [&datos](FakeEntorno& e) { e.circuito = std::make_unique<TCircuito>(*datos.circuito); };
    std::vector<double> mejores;
    for (int nivel = NivelOrdenadorMinimo; nivel <= NivelOrdenadorMaximo; ++nivel) {
      const auto r = Correr(copia, {nivel}, true, 3, 150);
      ASSERT_EQ(r[0].vueltas.size(), 3u) << circuito << ", nivel " << nivel;
      mejores.push_back(MejorVuelta(r[0]));
      if (mejores.size() > 1) {
        EXPECT_LT(mejores.back(), mejores[mejores.size() - 2]) << circuito << ", nivel " << nivel;
      }
    }
    // Where split 2 meets Pintado's island, a racing line would bend tighter
    // than a car can turn, so its cars drive by the plan alone, where the
    // level counts for less.
    if (std::string(circuito) != "Pintado") {
      EXPECT_LE(mejores.back(), 0.8 * mejores.front()) << circuito;
    }
    std::printf("%s:", circuito);
    for (double m : mejores) std::printf(" %.2f", m);
    std::printf(" s\n");
  }
}

// The top level laps no slower than a plain follower of the centre line at
// full throttle that brakes only to keep on asphalt, on the default
// circuits and on one painted round a centre line.
TEST(PilotoOrdenador, TopLevelLapsNoSlowerThanTheCentreLine) {
  std::vector<std::pair<datos::DefinicionCircuito, std::function<void(FakeEntorno&)>>> circuitos;
  for (const auto& def : datos::Definiciones()) circuitos.push_back({def, PorDefecto(def.nombre)});
  circuitos.push_back({Estrecho(), PintarEstrecho});
  for (const auto& [def, abrir] : circuitos) {
    FakeEntorno e;
    abrir(e);
    const double referencia = MejorVueltaReferencia(e, def, 3);
    const double masCorta = VueltaMasCorta(*e.circuito, 4500);
    const auto r = Correr([&e](FakeEntorno& otro) { otro.circuito = std::make_unique<TCircuito>(*e.circuito); },
                          {NivelOrdenadorMaximo}, true);
    ASSERT_GT(referencia, 0) << def.nombre;
    ASSERT_FALSE(r[0].vueltas.empty()) << def.nombre;
    EXPECT_LE(MejorVuelta(r[0]), referencia) << def.nombre;
    std::printf("%s: nivel %d %.2f s, la línea central %.2f s (%.3f), la línea más corta %.2f s (%.2f)\n",
                def.nombre.c_str(), NivelOrdenadorMaximo, MejorVuelta(r[0]), referencia,
                MejorVuelta(r[0]) / referencia, masCorta, MejorVuelta(r[0]) / masCorta);
  }
}

// Any circuit a player paints must work, not only the default ones.
TEST(PilotoOrdenador, TopLevelLapsAPaintedCircuitOfAnotherLayoutWithoutGettingStuck) {
  const auto r = Correr(Pintado, {NivelOrdenadorMaximo}, false);
  ASSERT_GE(r[0].vueltas.size(), 3u);
  EXPECT_LE(r[0].atascoMaximo, 3);
  std::printf("Pintado: mejor vuelta %.2f s\n", MejorVuelta(r[0]));
}

// Where no asphalt leads to the next line the way goes over grass.
TEST(PilotoOrdenador, LapsACircuitOfLinesPaintedOnGrass) {
  const auto r = Correr(LineasEnHierba, {NivelOrdenadorMaximo, 5, NivelOrdenadorMinimo}, true, 3, 300);
  for (size_t i = 0; i < r.size(); ++i) {
    ASSERT_GE(r[i].vueltas.size(), 3u) << "coche " << i + 1;
    EXPECT_LE(r[i].atascoMaximo, 3) << "coche " << i + 1;
  }
  std::printf("Líneas en hierba: mejor vuelta %.2f s (nivel %d)\n", MejorVuelta(r[0]), NivelOrdenadorMaximo);
}

// A full grid with collisions on, of mixed levels and with the slowest in
// front: pushed, blocked and pinned by one another, every car finishes 3
// laps and none stands still for more than 3 s.
TEST(PilotoOrdenador, SixteenMixedLevelsWithCollisionsAllFinishThreeLaps) {
  std::vector<int> mezclados, lentosDelante;
  for (int i = 0; i < 16; ++i) mezclados.push_back(NivelOrdenadorMinimo + i % NivelOrdenadorMaximo);
  lentosDelante = mezclados;
  std::sort(lentosDelante.begin(), lentosDelante.end());
  for (const auto& [circuito, abrir] : Circuitos())
    for (const auto& niveles : {mezclados, lentosDelante}) {
      const auto r = Correr(abrir, niveles, true);
      double peor = 0;
      for (size_t i = 0; i < r.size(); ++i) {
        EXPECT_GE(r[i].vueltas.size(), 3u) << circuito << ", coche " << i + 1;
        peor = std::max(peor, r[i].atascoMaximo);
      }
      EXPECT_LE(peor, 3) << circuito;
      std::printf("%s, 16 coches: la parada más larga %.2f s\n", circuito, peor);
    }
}

// A person who never drives, on pole: the three default drivers behind
// drive round the car instead of pushing it, so each first lap is at most
// 3 s longer than from the same grid place with the pole empty.
TEST(PilotoOrdenador, DriversGoRoundACarLeftOnPole) {
  const std::vector<int> niveles = {NivelOrdenadorMaximo, 5, NivelOrdenadorMinimo};
  for (const auto& [circuito, abrir] : Circuitos()) {
    std::vector<int> conParado = {Parado};
    conParado.insert(conParado.end(), niveles.begin(), niveles.end());
    const auto conCoche = Correr(abrir, conParado, true, 1, 120);
    const auto solos = Correr(abrir, niveles, true, 1, 120, 1);
    for (size_t i = 0; i < niveles.size(); ++i) {
      ASSERT_FALSE(conCoche[i + 1].vueltas.empty()) << circuito << ", nivel " << niveles[i];
      ASSERT_FALSE(solos[i].vueltas.empty()) << circuito << ", nivel " << niveles[i];
      EXPECT_LE(conCoche[i + 1].vueltas[0], solos[i].vueltas[0] + 3) << circuito << ", nivel " << niveles[i];
      std::printf("%s, nivel %d: primera vuelta %.2f s con un coche parado en la pole, %.2f s sin él\n", circuito,
                  niveles[i], conCoche[i + 1].vueltas[0], solos[i].vueltas[0]);
    }
  }
}

}  // namespace
}  // namespace rodavia::test
