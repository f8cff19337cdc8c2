// The sessions on the local network, listed while the player chooses
// "Unirse", and what this machine's session answers to those who look.
#include <algorithm>
#include <map>

#include "app/Principal.h"
#include "net/DXPlay.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/IniFile.h"
#include "race/Circuito.h"

namespace rodavia {

namespace {
// The sessions a list shows at most: a network cannot fill more.
constexpr size_t kMaxPartidas = 64;
// A session stays listed this long after its last answer, so one answer
// late on a busy network does not make its row blink out under the mouse.
constexpr uint32_t kVidaPartidaMs = 3500;
}  // namespace

AnuncioPartida TF_Principal::Anuncio() const {
  AnuncioPartida a;
  for (const auto& equipo : DXPlay->Equipos())
    if (DXPlay->EsServidor(*equipo)) a.equipoServidor = equipo->Nombre;
  a.circuito = circuito_ ? circuito_->Nombre : "";
  long long vueltas = 0;
  a.vueltas = IniFile::ParseInteger(e_NumVueltas->Text(), vueltas) ? int(vueltas) : 0;
  a.jugadores = int(jugadores_.size());
  a.enCarrera = enCarrera_ || std::any_of(DXPlay->Equipos().begin(), DXPlay->Equipos().end(),
                                          [](const auto& e) { return e->EstadoEquipo == 2; });
  a.version = kVersion;
  a.sesion = DXPlay->Servidor();
  a.desdeServidor = DXPlay->SoyServidor();
  return a;
}

// Refreshed wherever what it says changes: the roster, team states, the
// circuit, laps, the host.
void TF_Principal::PublicarAnuncio() {
  if (SesionAbierta()) dispositivos_.red.SetAnnouncement(CodificarAnuncio(Anuncio()));
}

// The list shows while a player who is not connected chooses to join; the
// timer refreshes it, and keeps an open session's announcement current.
void TF_Principal::MostrarListaPartidas() {
  const bool visible = !SesionAbierta() && rg_conectar->ItemIndex() == 1;
  // An open session's announcement is refreshed where it changes; the timer
  // runs for the list only.
  if (visible && !lb_Partidas->Visible) {
    partidas_.clear();
    lb_Partidas->Items.clear();
    lb_Partidas->ItemIndex = -1;
    BuscarPartidas();
  }
  gb_Partidas->Visible = lb_Partidas->Visible = visible;
  t_Partidas.SetEnabled(visible);
}

void TF_Principal::BuscarPartidas() {
  dispositivos_.red.Query(direccionDescubrir_, puertoSesion_);
}

void TF_Principal::t_PartidasTimer() {
  MostrarPartidas(dispositivos_.red.Answers());
  BuscarPartidas();
}

// The sessions that answered lately, one row each (its host's answer when
// it came), the selected one kept selected.
void TF_Principal::MostrarPartidas(const std::vector<FoundSession>& respuestas) {
  const std::string elegida = lb_Partidas->ItemIndex >= 0 && lb_Partidas->ItemIndex < int(partidas_.size())
                                  ? partidas_[lb_Partidas->ItemIndex].direccion
                                  : "";
  const uint32_t ahora = CurrentClock().Ticks();
  std::map<uint32_t, PartidaEncontrada> porSesion;
  for (PartidaEncontrada& p : partidas_)
    if (ahora - p.vista < kVidaPartidaMs) porSesion[p.anuncio.sesion] = std::move(p);
  std::map<uint32_t, bool> contestoServidor;
  for (const FoundSession& r : respuestas) {
    const auto anuncio = LeerAnuncio(r.announcement);
    if (!anuncio) continue;
    if (!porSesion.contains(anuncio->sesion) && porSesion.size() >= kMaxPartidas) continue;
    if (contestoServidor[anuncio->sesion] && !anuncio->desdeServidor) continue;
    contestoServidor[anuncio->sesion] = anuncio->desdeServidor;
    porSesion[anuncio->sesion] = {r.address + ":" + std::to_string(r.port), *anuncio,
                                  anuncio->version.substr(0, 3) == std::string(kVersion).substr(0, 3), ahora};
  }
  partidas_.clear();
  for (auto& [sesion, p] : porSesion) partidas_.push_back(std::move(p));
  std::sort(partidas_.begin(), partidas_.end(), [](const auto& a, const auto& b) {
    return std::tie(a.anuncio.equipoServidor, a.direccion) < std::tie(b.anuncio.equipoServidor, b.direccion);
  });
  std::vector<std::string> filas;
  int indice = -1;
  for (const PartidaEncontrada& p : partidas_) {
    if (p.direccion == elegida) indice = int(filas.size());
    filas.push_back(TextoPartida(p));
  }
  if (filas == lb_Partidas->Items && indice == lb_Partidas->ItemIndex) return;
  lb_Partidas->Items = std::move(filas);
  lb_Partidas->ItemIndex = indice;
  RequestFrame();
}

// Picking a session of this version fills the address that "Conectar" joins.
void TF_Principal::lb_PartidasClick() {
  const int i = lb_Partidas->ItemIndex;
  if (i < 0 || i >= int(partidas_.size()) || !partidas_[i].compatible) return;
  e_IP->SetText(partidas_[i].direccion);
}

}  // namespace rodavia
