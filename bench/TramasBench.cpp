// The car-state frame of a full race: 16 local cars' blocks gathered and
// wrapped in their envelope, and the same frame received by a window whose
// roster holds the 16 cars of the sending team, every car placed.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/Mundo.h"
#include "fakes/FakeEntorno.h"
#include "net/DXPlay.h"
#include "net/Tramas.h"
#include "platform/Application.h"
#include "race/Coche.h"

namespace rodavia::test {
namespace {

void BM_TramaCochesCodificar(benchmark::State& state) {
  FakeEntorno e;
  std::vector<TCoche*> coches;
  for (int i = 0; i < 16; ++i) {
    coches.push_back(new TCoche(e, int16_t(i + 1), true, "", "Equipo", "Piloto" + std::to_string(i)));
    coches.back()->X = 100.4 + 50 * i;
    coches.back()->Y = 300.6 + 20 * i;
  }
  for (auto _ : state) {
    std::string trama;
    for (const TCoche* c : coches) trama += c->EstadoTrama();
    benchmark::DoNotOptimize(SobreTrama(Trama::Coches, trama));
  }
}
BENCHMARK(BM_TramaCochesCodificar);

void BM_RecibirTramaCoches(benchmark::State& state) {
  Mundo m;
  m.Circuito("Pista");
  auto p = m.Arrancar();
  p->e_Equipo->SetText("Azul");
  p->bb_Conectar->Click();
  FakeTransport rojo(m.red, "10.0.0.2");
  std::string error;
  bool repetido = false;
  rojo.Join("10.0.0.1", kPuertoDefecto, kSesion, "Rojo", error, repetido);
  ProcessMessages();
  TDXPlayPlayer& de = *p->DXPlay->Equipos().back();
  std::string trama;
  for (int i = 1; i <= 16; ++i) {
    const auto entra = SobreTrama(Trama::JugadorEntra, TextoJugadorEntra({std::to_string(i), i, kCocheDefecto}));
    p->DXPlayMessage(de, entra.data(), entra.size());
    for (const std::string& campo : {Digitos(i, 2), Digitos(40 * i, 3), Digitos(20 * i, 3), std::string("091")})
      trama += campo;
  }
  p->DXPlay->EquipoLocal()->EstadoEquipo = 2;
  const auto sobre = SobreTrama(Trama::Coches, trama);
  for (auto _ : state) p->DXPlayMessage(de, sobre.data(), sobre.size());
  if (p->Jugadores().size() != 16 || p->Jugadores()[15]->destino.X != 40 * 16 + 12) state.SkipWithError("cars not placed");
}
BENCHMARK(BM_RecibirTramaCoches);

}  // namespace
}  // namespace rodavia::test
