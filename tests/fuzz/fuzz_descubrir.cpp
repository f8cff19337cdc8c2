// Feeds any datagram to the discovery readers, as anybody on the network
// could send it: as a query to answer, and as an answer with an announcement.
#include <cstddef>
#include <cstdint>

#include "net/Descubrimiento.h"
#include "platform/DiscoveryProtocol.h"

using namespace rodavia;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<uint8_t> anuncio = CodificarAnuncio({"Azul", "Bahia", 3, 2, false, "0.79 BETA", 7, true});
  if (auto answer = discovery::AnswerTo(data, size, 6666, anuncio)) {
    if (answer->size() > size) __builtin_trap();  // never amplifies
  }
  if (auto answer = discovery::ParseAnswer(data, size)) {
    if (auto a = LeerAnuncio(answer->announcement)) TextoPartida({"1.2.3.4:6666", *a, false});
  }
  return 0;
}
