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
// it, and the top level's at least 20 % faster than the lowest's.
TEST(PilotoOrdenador, LevelsLapInOrderOnEveryDefaultCircuit) {
  for (const char* circuito : {"Valverde", "Ciudadela", "Bahia"}) {
    FakeEntorno datos;
    PorDefecto(circuito)(datos);
    const auto abrir = [&datos, circuito](FakeEntorno& e) {
      e.circuito = std::make_unique<TCircuito>(*datos.circuito);
      e.circuito->Nombre = circuito;
    };
    std::vector<double> mejores;
    for (int nivel = NivelOrdenadorMinimo; nivel <= NivelOrdenadorMaximo; ++nivel) {
      const auto r = Correr(abrir, {nivel}, true, 3, 150);
      ASSERT_EQ(r[0].vueltas.size(), 3u) << circuito << ", nivel " << nivel;
      mejores.push_back(MejorVuelta(r[0]));
      if (mejores.size() > 1) {
        EXPECT_LT(mejores.back(), mejores[mejores.size() - 2]) << circuito << ", nivel " << nivel;
      }
    }
    EXPECT_LE(mejores.back(), 0.8 * mejores.front()) << circuito;
    std::printf("%s:", circuito);
    for (double m : mejores) std::printf(" %.2f", m);
    std::printf(" s\n");
  }
}

// The top level laps no slower than a plain follower of the centre line at
// full throttle that brakes only to keep on asphalt.
TEST(PilotoOrdenador, TopLevelLapsNoSlowerThanTheCentreLine) {
  for (const auto& def : datos::Definiciones()) {
    FakeEntorno e;
    PorDefecto(def.nombre)(e);
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
// laps and none stands still for long.
TEST(PilotoOrdenador, SixteenMixedLevelsWithCollisionsAllFinishThreeLaps) {
  std::vector<int> mezclados, lentosDelante;
  for (int i = 0; i < 16; ++i) mezclados.push_back(NivelOrdenadorMinimo + i % NivelOrdenadorMaximo);
  lentosDelante = mezclados;
  std::sort(lentosDelante.begin(), lentosDelante.end());
  const std::vector<std::pair<const char*, std::function<void(FakeEntorno&)>>> circuitos = {
      {"Valverde", PorDefecto("Valverde")}, {"Ciudadela", PorDefecto("Ciudadela")},
      {"Bahia", PorDefecto("Bahia")}, {"Pintado", Pintado}};
  for (const auto& [circuito, abrir] : circuitos)
    for (const auto& niveles : {mezclados, lentosDelante}) {
      const auto r = Correr(abrir, niveles, true);
      double peor = 0;
      for (size_t i = 0; i < r.size(); ++i) {
        EXPECT_GE(r[i].vueltas.size(), 3u) << circuito << ", coche " << i + 1;
        peor = std::max(peor, r[i].atascoMaximo);
      }
      EXPECT_LE(peor, 5) << circuito;
      std::printf("%s, 16 coches: la parada más larga %.2f s\n", circuito, peor);
    }
}

// A person who never drives, on pole: the three default drivers behind
// drive round the car instead of pushing it, so each first lap is at most
// 3 s longer than from the same grid place with the pole empty.
TEST(PilotoOrdenador, DriversGoRoundACarLeftOnPole) {
  const std::vector<int> niveles = {NivelOrdenadorMaximo, 5, NivelOrdenadorMinimo};
  const std::vector<std::pair<const char*, std::function<void(FakeEntorno&)>>> circuitos = {
      {"Valverde", PorDefecto("Valverde")}, {"Ciudadela", PorDefecto("Ciudadela")},
      {"Bahia", PorDefecto("Bahia")}, {"Pintado", Pintado}};
  for (const auto& [circuito, abrir] : circuitos) {
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
