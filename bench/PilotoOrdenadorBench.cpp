// Computer drivers on the default circuits the data generator writes.
// BM_PilotoOrdenador: one decision of a top-level driver, replayed over the
// states its car went through in 3 laps (so straights, bends, lines and the
// start all count). BM_PlanCircuito: planning a circuit, as when it is opened.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeEntorno.h"
#include "race/Circuito.h"
#include "race/Coche.h"
#include "race/PilotoOrdenador.h"

namespace rodavia::test {
namespace {

const char* const Circuitos[] = {"Valverde", "Ciudadela", "Bahia"};

// The default data in a fresh program folder, with circuit `n` open.
std::unique_ptr<FakeEntorno> EntornoCon(int n) {
  auto e = std::make_unique<FakeEntorno>();
  const std::string orden = std::string(RODAVIA_DATOS) + " '" + e->carpeta.path().string() + "'";
  if (std::system(orden.c_str()) != 0) std::abort();
  e->circuito = std::make_unique<TCircuito>(Circuitos[n]);
  return e;
}

struct Estado {
  double x, y;
  int16_t rumbo, velocidad, parcial;
};

void BM_PilotoOrdenador(benchmark::State& state) {
  auto e = EntornoCon(int(state.range(0)));
  e->carpeta.Write("Jugadores/Piloto.ini", "[Perfil]\r\nOrdenador=1\r\nNivelOrdenador=10\r\n");
  TCoche* coche = new TCoche(*e, 1, true, "", "Equipo", "Piloto");  // the engine owns it
  coche->PrepararCarrera(0);
  std::vector<Estado> estados;
  while (coche->Tiempos.size() < 3 && estados.size() < 20000) {
    estados.push_back({coche->X, coche->Y, coche->Rumbo, coche->Velocidad, coche->Parcial});
    e->Tick();
  }
  TPilotoOrdenador piloto(e->circuito->Plan(), NivelOrdenadorMaximo);
  size_t i = 0;
  for (auto _ : state) {
    const Estado& s = estados[i];
    coche->X = s.x, coche->Y = s.y, coche->Rumbo = s.rumbo, coche->Velocidad = s.velocidad;
    coche->Parcial = s.parcial;
    benchmark::DoNotOptimize(piloto.Decidir(*coche));
    if (++i == estados.size()) i = 0;
  }
  state.SetLabel(Circuitos[state.range(0)]);
}
BENCHMARK(BM_PilotoOrdenador)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void BM_PlanCircuito(benchmark::State& state) {
  auto e = EntornoCon(int(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(TPlanCircuito(*e->circuito));
  state.SetLabel(Circuitos[state.range(0)]);
}
BENCHMARK(BM_PlanCircuito)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rodavia::test
