// One move pass of a full race: 16 local cars driving in skidding circles
// (throttle and right held) with collisions on, each leaving 20 puffs of
// smoke alive (320 in all), followed by the freeing of dead puffs. The cars
// start alike, so they circle in step, side by side, clear of the walls and
// of each other; their collision passes still test every sprite. The
// heading bounds make the circles wander over time, so the race restarts
// (untimed) every thousand ticks.
#include <benchmark/benchmark.h>

#include <vector>

#include "fakes/FakeEntorno.h"
#include "race/Coche.h"
#include "race/Humo.h"

namespace rodavia::test {
namespace {

constexpr int TicksPorSalida = 1000;
constexpr int TicksHastaElHumo = 250;  // up to speed, smoke at its steady level

void BM_MovePass(benchmark::State& state) {
  FakeEntorno e;
  SembrarAleatorio(1);
  std::vector<TCoche*> coches;
  for (int i = 0; i < 16; ++i) {
    e.circuito->Salidas[i + 1] = {int16_t(80 + 260 * (i % 4)), int16_t(100 + 170 * (i / 4)), 0};
    coches.push_back(new TCoche(e, int16_t(i + 1), true, "", "Equipo", "Piloto" + std::to_string(i)));
  }
  e.entradas.keyboard.down = {38, 39};  // accelerate and steer right
  auto tick = [&e] {
    e.Tick();
    e.marcadores.clear();  // the frame loop draws and drops them every tick
  };
  auto salida = [&] {
    for (size_t i = 0; i < coches.size(); ++i) coches[i]->PrepararCarrera(int(i));
    for (int i = 0; i < TicksHastaElHumo; ++i) tick();
  };

  salida();
  int ticks = 0;
  double sprites = 0;
  for (auto _ : state) {
    if (++ticks % TicksPorSalida == 0) {
      state.PauseTiming();
      salida();
      state.ResumeTiming();
    }
    tick();
    sprites += double(e.motor.Children().size());
  }
  state.counters["sprites"] = sprites / double(state.iterations());
}
BENCHMARK(BM_MovePass)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rodavia::test
