// The lobby: the circuit with its record, the profile with its car and
// setup, the race roster with its two views, and the chat.
#include <algorithm>
#include <cmath>

#include "app/Principal.h"
#include "editors/ControlesCrearCircuito.h"
#include "editors/CrearCircuito.h"
#include "editors/Perfil.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "platform/Picture.h"
#include "platform/Text.h"
#include "race/Circuito.h"
#include "race/Coche.h"

namespace rodavia {

namespace {
// The first frame of a car strip, as the lobby shows it.
Surface16 PrimerFotograma(const Picture& imagen) {
  Surface16 s(36, 36);
  s.blit(imagen.pixels, {0, 0, 36, 36}, 0, 0);
  return s;
}


// A whole percentage, rounded as the lobby shows it: "0 %".
std::string Porcentaje(double valor) {
  return std::to_string(static_cast<long long>(std::nearbyint(valor))) + " %";
}
}  // namespace

void TF_Principal::cb_CircuitosClick() {
  if (cb_Circuito->ItemIndex() < 0) cb_Circuito->SetItemIndex(0);
  const std::string nombre = cb_Circuito->Text();
  if (nombre.empty()) ErrorFatal("No se encuentra ningún circuito en la carpeta ..\\Circuitos.");
  circuito_.reset();
  circuito_ = std::make_unique<TCircuito>(nombre);
  Picture imagen;
  if (!LoadPicture(files::Resolve("Circuitos\\" + nombre + ".jpg"), imagen))
    ErrorFatal("No se encuentra el fichero ..\\Circuitos\\" + nombre + ".jpg");
  i_circuito->SetPicture(imagen.pixels);
  ImageSlot& slot = DXImageList.slot("Circuito");
  slot.setPicture(std::move(imagen));
  slot.transparent = false;
  MostrarDatosCircuito();
  if (cocheTrabajo_) {
    cocheTrabajo_->GrabarPerfilCircuito();
    cocheTrabajo_->LeerPerfilCircuito();
    MostrarSetupCoche();
  }
}

void TF_Principal::MostrarDatosCircuito() {
  if (!circuito_) return;
  e_Nombre->SetText(circuito_->Titulo);
  e_Autor->SetText(circuito_->Autor);
  e_Email->SetText(circuito_->Email);
  e_Record->SetText(FormatLapTime(circuito_->Record));
  e_AutorRecord->SetText(circuito_->AutorRecord);
  e_FechaRecord->SetText(FormatDate(circuito_->FechaRecord));
}

void TF_Principal::cb_PerfilChange() {
  if (cb_Perfil->Items.empty() || !cocheTrabajo_) return;
  TCoche& coche = *cocheTrabajo_;
  if (!coche.Nombre.empty()) coche.GrabarPerfilCircuito();
  coche.Nombre = cb_Perfil->Text();
  coche.LeerPerfil();
  if (circuito_) coche.LeerPerfilCircuito();
  MostrarSetupCoche();
  if (const std::string problema = ProblemaImagenCoche(coche.ImagenCoche); !problema.empty()) {
    EscribirChat("Error", "El jugador " + coche.Nombre + " tiene la imagen del coche \"..Coches\\" +
                              coche.ImagenCoche + "\"");
    EscribirChat("Error", problema + ". Se le asignará la imagen del coche por defecto.");
    coche.ImagenCoche = kCocheDefecto;
    coche.GrabarPerfil();
  }
  Picture imagen;
  if (!LoadPicture(files::Resolve("Coches\\" + coche.ImagenCoche), imagen))
    ErrorFatal("No se encuentra el fichero ..\\Coches\\" + coche.ImagenCoche);
  i_coche->SetPicture(PrimerFotograma(imagen));
  i_coche->TransparentColor = ColorRefTo565(imagen.transparentColor);
}

void TF_Principal::EscribirChat(const std::string& tipo, const std::string& texto) {
  const std::string linea = "<" + tipo + "> " + texto;
  l_Chat->Items.push_back(linea);
  l_Chat->ScrollToEnd = true;
  MensajeCarrera = linea;
  ColorMensaje = tipo == "Sistema" ? RGBColor(0, 255, 255)
                 : tipo == "Info"  ? RGBColor(0, 255, 0)
                 : tipo == "Error" ? RGBColor(255, 0, 0)
                                   : RGBColor(255, 255, 255);
  ContadorMensaje = 0;
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
  for (TCoche* c : jugadores_)
    if (c->Nombre == nombre) {
      ShowWarning("En la partida ya hay un jugador con el mismo nombre.");
      return;
    }
  int16_t indice = 1;
  while (std::any_of(jugadores_.begin(), jugadores_.end(),
                     [&](TCoche* c) { return c->Indice == indice; }))
    ++indice;
  auto* coche = new TCoche(*this, indice, true, "", e_Equipo->Text(), nombre);
  coche->LeerPerfilCircuito();
  coche->CalcularTotales();
  jugadores_.push_back(coche);
  sb_jugadoresClick();
  EscribirChat("Sistema", "El jugador " + nombre + " de este equipo se ha unido a la partida.");
}

void TF_Principal::QuitarTodosLosJugadores() {
  for (TCoche* c : jugadores_) delete c;
  jugadores_.clear();
  sb_jugadoresClick();
}

void TF_Principal::MostrarJugadores() {
  lv_jugadores->Select(-1);
  lv_jugadores->Items.clear();
  lv_jugadores->ViewStyle = TListView::Style::Icon;
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


// ---- Setup -------------------------------------------------------------------

std::string TF_Principal::TextoRelacion(int posicion) {
  return "Aceleración [" + std::to_string(100 - 10 * posicion) + "%-" +
         std::to_string(10 * posicion) + "%] Velocidad";
}

std::string TF_Principal::TextoGasolina(int posicion) {
  return "Gasolina para " + ZeroPadded(posicion, 2) + " vueltas";
}

void TF_Principal::MostrarSetupCoche() {
  if (!cocheTrabajo_) return;
  const TCoche& coche = *cocheTrabajo_;
  // Copied first: each control's handler writes its own value back.
  const int16_t relacion = coche.RelacionCambio, ruedas = coche.Ruedas, gasolina = coche.Gasolina;
  tb_relacion->SetPosition(relacion);
  rg_Ruedas->SetItemIndex(ruedas);
  tb_Gasolina->SetPosition(gasolina);
}

void TF_Principal::tb_relacionChange() {
  l_relacion->Caption = TextoRelacion(tb_relacion->Position());
  if (cocheTrabajo_) cocheTrabajo_->RelacionCambio = int16_t(tb_relacion->Position());
}

void TF_Principal::rg_RuedasClick() {
  if (cocheTrabajo_) cocheTrabajo_->Ruedas = int16_t(rg_Ruedas->ItemIndex());
}

void TF_Principal::tb_GasolinaChange() {
  l_Gasolina->Caption = TextoGasolina(tb_Gasolina->Position());
  if (cocheTrabajo_) cocheTrabajo_->Gasolina = int16_t(tb_Gasolina->Position());
}

void TF_Principal::e_NumVueltasExit() {
  long long vueltas = 0;
  e_NumVueltas->SetText(IniFile::ParseInteger(e_NumVueltas->Text(), vueltas) && vueltas >= 0
                            ? ZeroPadded(vueltas, 2)
                            : "05");
}

void TF_Principal::bb_CrearClick() {
  TF_Perfil dialogo(*this);
  dialogo.NombreJugador = "";
  if (dialogo.Mostrar() == mrOk) {
    LlenarListaPerfiles();
    cb_Perfil->SetItemIndex(cb_Perfil->IndexOf(dialogo.NombreJugador));
    cb_PerfilChange();
  }
  Focus = cb_Perfil;
}

void TF_Principal::bb_modificarClick() {
  const std::string nombre = cb_Perfil->Text();
  if (nombre.empty()) return;
  if (JugadorLlamado(nombre)) {
    ShowWarning("No se pueden modificar los datos de un jugador que está dentro de la partida.");
    return;
  }
  TF_Perfil dialogo(*this);
  dialogo.NombreJugador = nombre;
  dialogo.Mostrar();
  // Whatever the answer, the working car must not save over the edited file.
  cocheTrabajo_->Nombre.clear();
  LlenarListaPerfiles();
  cb_Perfil->SetItemIndex(cb_Perfil->IndexOf(nombre));
  cb_PerfilChange();
}

void TF_Principal::bb_BorrarClick() {
  const std::string nombre = cb_Perfil->Text();
  if (nombre.empty()) return;
  if (JugadorLlamado(nombre)) {
    ShowWarning("No se puede borrar un jugador que está dentro de la partida.");
    return;
  }
  if (Messages().Show(MsgKind::Confirmation, "¿ Está seguro que quiere borrar el perfil de " + nombre + " ?",
                      MsgButtons::YesNo) != MsgResult::Yes)
    return;
  if (!files::Delete("Jugadores\\" + nombre + ".ini")) ShowError("Error al intentar borrar el perfil.");
  cocheTrabajo_->Nombre.clear();
  LlenarListaPerfiles();
}

void TF_Principal::bb_InfoClick() {
  if (!sb_jugadores->Down()) return;
  if (lv_jugadores->Selected() < 0) {
    ShowWarning("Seleccione un jugador para ver su Ranking.");
    return;
  }
  const TCoche* c = JugadorLlamado(lv_jugadores->Items[lv_jugadores->Selected()].Caption);
  if (!c) return;
  const std::string& C = c->CircuitoPerfil;
  const std::string raya(132, '-');
  auto info = [this](const std::string& linea) { EscribirChat("Info", linea); };
  info(raya);
  info("Nombre = " + c->Nombre);
  info("Eqipo = " + c->Equipo);
  info("Vuelta rápida en el circuito " + C + " = " + FormatLapTime(c->VueltaRapida));
  info("Fecha vuelta rápida en el circuito " + C + " = " + FormatDate(c->FechaVueltaRapida));
  info("Vueltas dadas al circuito " + C + " = " + std::to_string(c->VueltasDadas));
  info("Partidas jugadas en el circuito " + C + " = " + std::to_string(c->VecesJugadas));
  info("Victoras en el circuito " + C + " = " + std::to_string(c->VecesGanadas));
  info("Porcentaje de victorias en el circuito " + C + " = " +
       (c->VecesJugadas > 0 ? Porcentaje(100.0 * c->VecesGanadas / c->VecesJugadas) : "-- %"));
  info("Total vueltas dadas = " + std::to_string(c->TotalVueltasDadas));
  info("Total partidas jugadas = " + std::to_string(c->TotalPartidasJugadas));
  info("Total victorias = " + std::to_string(c->TotalVictorias));
  info(c->TotalPartidasJugadas > 0
           ? "Porcentaje del total de victorias = " +
                 Porcentaje(100.0 * c->TotalVictorias / c->TotalPartidasJugadas)
           : std::string("Porcentaje de victorias = -- %"));
  info("Ranking = +" + FormatLapTime(c->Ranking));
  info("Circuitos Jugados = " + std::to_string(c->CircuitosJugados));
  info(raya);
}

// ---- Circuit editor -------------------------------------------------------------

void TF_Principal::sb_editarClick() {
  sb_editar->SetDown(false);
  {
    TF_CrearCircuito editor(*controlesCrearCircuito_);
    editor.Mostrar();
  }
  controlesCrearCircuito_->Visible = false;
  LlenarListaCircuitos();
}

// ---- Race roster ---------------------------------------------------------------

TCoche* TF_Principal::JugadorLlamado(const std::string& nombre) const {
  for (TCoche* c : jugadores_)
    if (c->Nombre == nombre) return c;
  return nullptr;
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
  jugadores_.erase(std::find(jugadores_.begin(), jugadores_.end(), coche));
  delete coche;
  EnviarTrama(2, nombre);
  sb_jugadoresClick();
}

void TF_Principal::sb_jugadoresClick() {
  sb_jugadores->SetDown(true);
  MostrarJugadores();
  bb_quitar_de_la_partida->Enabled = bb_Info->Enabled = true;
}

void TF_Principal::sb_equiposClick() {
  sb_equipos->SetDown(true);
  MostrarEquipos();
  bb_quitar_de_la_partida->Enabled = bb_Info->Enabled = false;
}

void TF_Principal::MostrarEquipos() {
  // The session's teams; without a session there are none.
  lv_jugadores->Select(-1);
  lv_jugadores->Items.clear();
  lv_jugadores->ViewStyle = TListView::Style::SmallIcon;
  lv_jugadores->Select(-1);
}

void TF_Principal::lv_jugadoresChange(int item) {
  if (!sb_jugadores->Down() || item < 0 || !lv_jugadores->Items[item].Checked) return;
  const int perfil = cb_Perfil->IndexOf(lv_jugadores->Items[item].Caption);
  if (perfil < 0) return;
  cb_Perfil->SetItemIndex(perfil);
  cb_PerfilChange();
}

void TF_Principal::bb_ChatClick() {
  if (e_chat->Text().empty()) return;
  EnviarChat(e_chat->Text());
  e_chat->SetText("");
  Focus = e_chat;
}

void TF_Principal::EnviarChat(const std::string& texto) {
  // To every other machine, then to this one through the same path, so a
  // line appears once everywhere; without a session it goes nowhere.
  EnviarTrama(0, texto);
}

}  // namespace rodavia
