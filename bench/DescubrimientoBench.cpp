// Answering a discovery query: the announcement of a session and the answer
// around it, as a member builds them for every query it hears.
#include <benchmark/benchmark.h>

#include "net/Descubrimiento.h"
#include "platform/DiscoveryProtocol.h"

namespace rodavia {
namespace {

void BM_RespuestaDescubrimiento(benchmark::State& state) {
  const AnuncioPartida a{"Equipo Azul", "Bahia", 3, 16, false, "0.79 BETA", 123456789, true};
  const auto query = discovery::EncodeQuery();
  for (auto _ : state) {
    auto answer = discovery::AnswerTo(query.data(), query.size(), 6666, CodificarAnuncio(a));
    benchmark::DoNotOptimize(answer);
  }
}
BENCHMARK(BM_RespuestaDescubrimiento);

}  // namespace
}  // namespace rodavia
