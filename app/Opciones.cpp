// The choices before a race: the circuit with its record, laps and
// collisions, the profile with its car and setup, and a player's statistics.
#include <algorithm>
#include <cmath>

#include "app/Principal.h"
#include "editors/ControlesCrearCircuito.h"
#include "editors/CrearCircuito.h"
#include "editors/Perfil.h"
#include "net/DXPlay.h"
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
// A whole percentage, rounded as the lobby shows it: "0 %".
std::string Porcentaje(double valor) {
  return std::to_string(static_cast<long long>(std::nearbyint(valor))) + " %";
}
}  // namespace

void TF_Principal::cb_CircuitosClick() {
  if (cb_Circuito->ItemIndex() < 0) cb_Circuito->SetItemIndex(0);
  const std::string nombre = cb_Circuito->Text();
  if (nombre.empty()) ErrorFatal("No se encuentra ningún circuito en la carpeta ..\\Circuitos.");
  Picture imagen;
  if (!LoadPicture(files::Resolve("Circuitos\\" + nombre + ".jpg"), imagen))
    ErrorFatal("No se encuentra el fichero ..\\Circuitos\\" + nombre + ".jpg");
  // A race needs the whole screen drawn: a picture of another size is no
  // circuit, as in the circuit editor. It leaves the list for the next one.
  if (imagen.pixels.width() != AnchoFotoCircuito || imagen.pixels.height() != AltoFotoCircuito) {
    ShowWarning("El circuito ..\\Circuitos\\" + nombre + ".jpg ha de ser de 1024 X 768 pixels: no se puede jugar en él.");
    const int quitado = cb_Circuito->ItemIndex();
    cb_Circuito->Items.erase(cb_Circuito->Items.begin() + quitado);
    cb_Circuito->SetItemIndex(quitado < int(cb_Circuito->Items.size()) ? quitado : 0);
    cb_CircuitosClick();
    return;
  }
  circuito_.reset();
  circuito_ = std::make_unique<TCircuito>(nombre);
  ImageSlot& slot = DXImageList.slot("Circuito");
  slot.setPicture(std::move(imagen));
  slot.transparent = false;
  i_circuito->ShowPicture(slot.picture());
  MostrarDatosCircuito();
  if (cocheTrabajo_) {
    cocheTrabajo_->GrabarPerfilCircuito();
    cocheTrabajo_->LeerPerfilCircuito();
    MostrarSetupCoche();
  }
  if (SesionAbierta() && DXPlay->SoyServidor()) EnviarTramaOpciones(AllMembers);
  EnviarTramaRecordCircuitoYPerfilJugadores();
  PublicarAnuncio();
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
  // Read once: the same picture is checked and shown.
  Picture imagen;
  const bool leida = LoadPicture(files::Resolve("Coches\\" + coche.ImagenCoche), imagen);
  if (const std::string problema = ProblemaImagenCoche(leida ? &imagen : nullptr); !problema.empty()) {
    EscribirChat("Error", "El jugador " + coche.Nombre + " tiene la imagen del coche \"..Coches\\" +
                              coche.ImagenCoche + "\"");
    EscribirChat("Error", problema + ". Se le asignará la imagen del coche por defecto.");
    coche.ImagenCoche = kCocheDefecto;
    coche.GrabarPerfil();
    if (!LoadPicture(files::Resolve("Coches\\" + coche.ImagenCoche), imagen))
      ErrorFatal("No se encuentra el fichero ..\\Coches\\" + coche.ImagenCoche);
  }
  i_coche->SetPicture(PrimerFotograma(imagen));
  i_coche->TransparentColor = ColorRefTo565(imagen.transparentColor);
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
  if (SesionAbierta() && DXPlay->SoyServidor()) EnviarTramaOpciones(AllMembers);
  PublicarAnuncio();
}

void TF_Principal::cb_colisionesClick() {
  if (SesionAbierta() && DXPlay->SoyServidor()) EnviarTramaOpciones(AllMembers);
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

}  // namespace rodavia
