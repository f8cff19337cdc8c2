// Feeds any message, as another team would send it, to the main window's
// frame receivers: a session with one other team that has a car in the
// roster, and this machine in the lobby, ready or racing as the input's
// first byte chooses (bits 4-5). The rest of the input is the frame's text
// under a well-formed envelope of the type of bits 0-3, or, with bit 7 set,
// the whole message raw.
// fuzz-link: rodavia_fuzz_fakes
#include <cstddef>
#include <cstdint>
#include <memory>

#include "app/Mundo.h"
#include "net/DXPlay.h"
#include "net/Tramas.h"
#include "platform/Application.h"

using namespace rodavia;
using namespace rodavia::test;

namespace {

struct Sesion {
  Mundo mundo;
  FakeTransport otro{mundo.red, "10.0.0.2"};
  std::unique_ptr<TF_Principal> p;
  TDXPlayPlayer* rival = nullptr;

  Sesion() {
    mundo.carpeta.Write("Jugadores/Ana.ini", "");
    mundo.Circuito("Pista");
    p = mundo.Arrancar();
    p->e_Equipo->SetText("Azul");
    p->e_IP->SetText("10.0.0.1");
    Conectar();
  }
  void Conectar() {
    if (p->SesionAbierta()) return;
    p->bb_Conectar->Click();
    std::string error;
    bool repetido = false;
    otro.Join("10.0.0.1", 6666, kSesion, "Rojo", error, repetido);
    ProcessMessages();
  }
  TDXPlayPlayer* Rival() const {
    for (const auto& e : p->DXPlay->Equipos())
      if (e->Remoto) return e.get();
    return nullptr;
  }
  void Recibir(TDXPlayPlayer& de, Trama tipo, const std::string& texto) {
    const auto m = SobreTrama(tipo, texto);
    p->DXPlayMessage(de, m.data(), m.size());
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Sesion s;
  if (size == 0) return 0;
  s.Conectar();
  TDXPlayPlayer* rival = s.Rival();
  if (!rival) return 0;
  try {
    if (s.p->Jugadores().empty()) s.Recibir(*rival, Trama::JugadorEntra, "Rival&&02" + std::string(kCocheDefecto));
    s.p->DXPlay->EquipoLocal()->EstadoEquipo = int16_t(((data[0] >> 4) & 3) % 3);
    if (data[0] & 0x80) {
      s.p->DXPlayMessage(*rival, data + 1, size - 1);
    } else {
      s.Recibir(*rival, Trama(data[0] & 0x0F), std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    }
  } catch (const ErrorConversion&) {
    // A field that is not a number: the frame stops there, as designed.
  }
  s.p->l_Chat->Items.clear();
  s.mundo.mensajes.shown.clear();
  return 0;
}
