// The race roster with its two views (players, teams) and the chat.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/Principal.h"
#include "net/DXPlay.h"
#include "net/Tramas.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Picture.h"
#include "race/Coche.h"

namespace rodavia {

namespace {
// The chat view keeps the latest lines only.
constexpr size_t kLineasChat = 500;

// End-to-end tests follow the chat in the file named by RODAVIA_TRAZA_CHAT;
// without it nothing is written.
void TrazarChat(const std::string& linea) {
  static const char* fichero = std::getenv("RODAVIA_TRAZA_CHAT");
  if (!fichero) return;
  if (std::FILE* f = std::fopen(fichero, "a")) {
    std::fputs((linea + "\n").c_str(), f);
    std::fclose(f);
  }
}
}  // namespace

Surface16 TF_Principal::PrimerFotograma(const Picture& imagen) {
  Surface16 s(36, 36);
  s.blit(imagen.pixels, {0, 0, 36, 36}, 0, 0);
  return s;
}

// ---- Roster ---------------------------------------------------------------------

TCoche* TF_Principal::JugadorLlamado(const std::string& nombre) const {
  for (TCoche* c : jugadores_)
    if (c->Nombre == nombre) return c;
  return nullptr;
}

void TF_Principal::AnyadirJugador(const std::string& nombre) {
  if (nombre.empty()) {
    ShowWarning("Primero debe crear un perfil para poder añadirlo a la partida.");
    return;
  }
  if (jugadores_.size() >= 16) {
    ShowWarning("El máximo número de jugadores permitido es 16.");
    return;
  }
  if (JugadorLlamado(nombre)) {
    ShowWarning("En la partida ya hay un jugador con el mismo nombre.");
    return;
  }
  int16_t indice = 1;
  while (std::any_of(jugadores_.begin(), jugadores_.end(), [&](TCoche* c) { return c->Indice == indice; }))
    ++indice;
  auto* coche = new TCoche(*this, indice, true, "", e_Equipo->Text(), nombre);
  coche->LeerPerfilCircuito();
  coche->CalcularTotales();
  jugadores_.push_back(coche);
  sb_jugadoresClick();
  EnviarTrama(AllMembers, Trama::JugadorEntra, TextoJugadorEntra({nombre, indice, coche->ImagenCoche}));
  EscribirChat("Sistema", "El jugador " + nombre + " de este equipo se ha unido a la partida.");
  EnviarTramaRecordCircuitoYPerfilJugadores();
  Focus = cb_Perfil;
}

void TF_Principal::bb_quitar_de_la_partidaClick() {
  if (!sb_jugadores->Down()) return;
  if (lv_jugadores->Selected() < 0) {
    ShowWarning("Seleccione un jugador para quitar de la partida.");
    return;
  }
  const std::string nombre = lv_jugadores->Items[lv_jugadores->Selected()].Caption;
  TCoche* coche = JugadorLlamado(nombre);
  if (!coche) return;
  if (!coche->Local &&
      Messages().Show(MsgKind::Confirmation, "¿ Seguro que quiere echar de la partida un jugador de otro equipo ?.",
                      MsgButtons::YesNo) != MsgResult::Yes)
    return;
  EscribirChat("Sistema", "El jugador " + nombre + " ha dejado la partida.");
  // Only the machine that added a player takes it out of every roster;
  // another team's player leaves this roster alone.
  if (coche->Local) EnviarTrama(AllMembers, Trama::JugadorSale, NombreEnTrama(nombre));
  jugadores_.erase(std::find(jugadores_.begin(), jugadores_.end(), coche));
  delete coche;
  sb_jugadoresClick();
}

void TF_Principal::QuitarTodosLosJugadores() {
  for (TCoche* c : jugadores_) delete c;
  jugadores_.clear();
  sb_jugadoresClick();
}

// By member, not by team name: another machine may bear the same name.
void TF_Principal::QuitarJugadoresDelMiembro(MemberId miembro) {
  std::erase_if(jugadores_, [miembro](TCoche* c) {
    if (c->Local || c->Miembro != miembro) return false;
    delete c;
    return true;
  });
}

// ---- The two views ------------------------------------------------------------------

void TF_Principal::sb_jugadoresClick() {
  sb_jugadores->SetDown(true);
  MostrarJugadores();
  PublicarAnuncio();
  bb_quitar_de_la_partida->Enabled = bb_Info->Enabled = true;
}

void TF_Principal::sb_equiposClick() {
  sb_equipos->SetDown(true);
  MostrarEquipos();
  PublicarAnuncio();
  bb_quitar_de_la_partida->Enabled = bb_Info->Enabled = false;
}

void TF_Principal::MostrarJugadores() {
  lv_jugadores->Select(-1);
  lv_jugadores->Items.clear();
  lv_jugadores->ViewStyle = TListView::Style::Icon;
  lv_jugadores->Images = &imagenesJugadores_;
  imagenesJugadores_.clear();
  for (TCoche* c : jugadores_) {
    Picture imagen;
    if (!LoadPicture(files::Resolve("Coches\\" + c->ImagenCoche), imagen))
      ErrorFatal("No se encuentra el fichero ..\\Coches\\" + c->ImagenCoche);
    imagenesJugadores_.push_back(PrimerFotograma(imagen));
    lv_jugadores->Items.push_back({c->Nombre, int(imagenesJugadores_.size()) - 1, c->Local});
  }
  ++lv_jugadores->ImagesVersion;
}

// The session's teams, each with the icon of its state; none without a session.
void TF_Principal::MostrarEquipos() {
  lv_jugadores->Select(-1);
  lv_jugadores->Items.clear();
  lv_jugadores->ViewStyle = TListView::Style::SmallIcon;
  lv_jugadores->Images = &iconosEstado_;
  ++lv_jugadores->ImagesVersion;
  if (!SesionAbierta()) return;
  const TDXPlayPlayer* local = DXPlay->EquipoLocal();
  for (const auto& equipo : DXPlay->Equipos())
    lv_jugadores->Items.push_back({"   " + equipo->Nombre + std::string(18, ' '),
                                   std::clamp<int>(equipo->EstadoEquipo, 0, 2), equipo.get() == local});
}

void TF_Principal::lv_jugadoresChange(int item) {
  if (!sb_jugadores->Down() || item < 0 || !lv_jugadores->Items[item].Checked) return;
  const int perfil = cb_Perfil->IndexOf(lv_jugadores->Items[item].Caption);
  if (perfil < 0) return;
  cb_Perfil->SetItemIndex(perfil);
  cb_PerfilChange();
}

// ---- Chat ---------------------------------------------------------------------------

void TF_Principal::EscribirChat(const std::string& tipo, const std::string& texto) {
  const std::string linea = "<" + tipo + "> " + texto;
  l_Chat->Items.push_back(linea);
  if (l_Chat->Items.size() > kLineasChat) l_Chat->Items.erase(l_Chat->Items.begin());
  l_Chat->ScrollToEnd = true;
  MensajeCarrera = linea;
  ColorMensaje = tipo == "Sistema" ? RGBColor(0, 255, 255)
                 : tipo == "Info"  ? RGBColor(0, 255, 0)
                 : tipo == "Error" ? RGBColor(255, 0, 0)
                                   : RGBColor(255, 255, 255);
  ContadorMensaje = 0;
  TrazarChat(linea);
}

void TF_Principal::bb_ChatClick() {
  if (e_chat->Text().empty()) return;
  EnviarChat(e_chat->Text());
  e_chat->SetText("");
  Focus = e_chat;
}

void TF_Principal::EnviarChat(const std::string& texto) {
  // To every other machine, then to this one through the same path, so a
  // line appears once everywhere.
  EnviarTrama(AllMembers, Trama::Chat, texto);
  if (SesionAbierta()) EnviarTrama(DXPlay->EquipoLocal()->ID, Trama::Chat, texto);
}

}  // namespace rodavia
