// The frames: sending them, and what each received frame does here. Frames
// about cars only ever touch the cars of the team that sent them.
#include <algorithm>

#include "app/Principal.h"
#include "net/DXPlay.h"
#include "net/Tramas.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "race/Circuito.h"
#include "race/Coche.h"

namespace rodavia {

namespace {
// A car picture from another machine is only ever looked for directly
// inside Coches, and must be a whole strip.
bool ImagenDisponible(const std::string& imagen) {
  return files::IsSafeFileName(imagen) && ProblemaImagenCoche(imagen).empty();
}

EstadisticasJugador Estadisticas(const TCoche& c) {
  EstadisticasJugador e;
  e.vueltaRapida = c.VueltaRapida;
  e.fechaVueltaRapida = c.FechaVueltaRapida;
  e.vecesJugadas = c.VecesJugadas;
  e.vecesGanadas = c.VecesGanadas;
  e.vueltasDadas = c.VueltasDadas;
  e.totalPartidas = c.TotalPartidasJugadas;
  e.totalVictorias = c.TotalVictorias;
  e.totalVueltas = c.TotalVueltasDadas;
  e.ranking = c.Ranking;
  e.circuitosJugados = c.CircuitosJugados;
  e.indice = c.Indice;
  return e;
}

void TomarEstadisticas(TCoche& c, const EstadisticasJugador& e) {
  c.VueltaRapida = e.vueltaRapida;
  c.FechaVueltaRapida = e.fechaVueltaRapida;
  c.VecesJugadas = int16_t(e.vecesJugadas);
  c.VecesGanadas = int16_t(e.vecesGanadas);
  c.VueltasDadas = e.vueltasDadas;
  c.TotalPartidasJugadas = int16_t(e.totalPartidas);
  c.TotalVictorias = int16_t(e.totalVictorias);
  c.TotalVueltasDadas = e.totalVueltas;
  c.Ranking = e.ranking;
  c.CircuitosJugados = int16_t(e.circuitosJugados);
}
}  // namespace

// ---- Sending ------------------------------------------------------------------------

void TF_Principal::EnviarTrama(MemberId a, Trama tipo, const std::string& texto) {
  if (!SesionAbierta()) return;
  try {
    DXPlay->Send(a, SobreTrama(tipo, texto));
  } catch (const std::exception&) {
    // A frame that cannot be sent, or that fails where it is handled here,
    // is lost without a word.
  }
}

void TF_Principal::EnviarTramaOpciones(MemberId a) {
  long long vueltas = 0;
  if (!IniFile::ParseInteger(e_NumVueltas->Text(), vueltas)) vueltas = 5;
  EnviarTrama(a, Trama::Opciones,
              TextoOpciones({int(vueltas), cb_colisiones->Checked(), circuito_ ? circuito_->Nombre : ""}));
}

void TF_Principal::EnviarTramaRecordCircuitoYPerfilJugadores(MemberId a) {
  if (!SesionAbierta() || !circuito_) return;
  std::string texto = TextoRecord(
      {WireTimeUnits(circuito_->Record), circuito_->FechaRecord, circuito_->AutorRecord, circuito_->Nombre});
  for (TCoche* c : jugadores_) {
    if (!c->Local) continue;
    c->LeerPerfilCircuito();
    texto += TextoEstadisticas(Estadisticas(*c));
  }
  EnviarTrama(a, Trama::RecordCircuitoYPerfilJugadores, texto);
}

// ---- Receiving ------------------------------------------------------------------------

void TF_Principal::DXPlayMessage(TDXPlayPlayer& de, const uint8_t* datos, size_t tamanyo) {
  int tipo = 0;
  std::string texto;
  if (!AbrirSobre(datos, tamanyo, tipo, texto)) return;
  const std::string equipo = de.Nombre;
  const int16_t propio = EstadoPropio();
  const bool corriendo = propio == 2, enElLobby = propio == 0 || propio == 1;
  switch (Trama(tipo)) {
    case Trama::Chat: EscribirChat(equipo, TextoRecibido(texto)); break;
    case Trama::JugadorEntra: RecibirTramaJugadorEntra(equipo, texto); break;
    case Trama::JugadorSale: RecibirTramaJugadorSale(equipo, TextoRecibido(texto)); break;
    case Trama::EstadoEquipo: RecibirTramaEstadoEquipo(de, texto); break;
    case Trama::Empezar: RecibirTramaEmpezar(); break;
    case Trama::Coches:
      if (corriendo) RecibirTramaCoches(equipo, texto);
      break;
    case Trama::Vuelta:
      if (corriendo) RecibirTramaVuelta(equipo, texto);
      break;
    case Trama::NuevoServidor:
      EscribirChat("Sistema", "El equipo " + equipo + " pasa a ser el servidor de la sesión.");
      break;
    case Trama::Opciones:
      if (enElLobby) RecibirTramaOpciones(texto);
      break;
    case Trama::SinCircuito:
      if (enElLobby)
        EscribirChat("Error", "El equipo " + equipo + " no tiene el circuito \"" + TextoRecibido(texto) + "\".");
      break;
    case Trama::CochesFuera: RecibirTramaCochesFuera(equipo); break;
    case Trama::RecordCircuitoYPerfilJugadores: RecibirTramaRecordCircuitoYPerfilJugadores(equipo, texto); break;
    case Trama::FramesEntreTramas: framesEntreTramas = LeerDigitos(texto, 0, 2); break;
    case Trama::Version: RecibirTramaVersion(texto); break;
  }
}

TCoche* TF_Principal::CocheDeOtroEquipo(int indice, const std::string& equipo) const {
  for (TCoche* c : jugadores_)
    if (!c->Local && c->Indice == indice && c->Equipo == equipo) return c;
  return nullptr;
}

void TF_Principal::RecibirTramaJugadorEntra(const std::string& equipo, const std::string& texto) {
  JugadorEntra j = LeerJugadorEntra(texto);
  const std::string intenta = "El jugador " + j.nombre + " intenta entrar desde el equipo " + equipo;
  if (jugadores_.size() >= 16) {
    EscribirChat("Error", intenta + ", pero ya hay 16 jugadores.");
    return;
  }
  for (TCoche* c : jugadores_)
    if (c->Nombre == j.nombre) {
      EscribirChat("Error", intenta + ",");
      EscribirChat("Error", "pero ya existe un jugador " + c->Nombre + " del equipo " + c->Equipo + ".");
      return;
    }
  for (TCoche* c : jugadores_)
    if (c->Indice == j.indice) {
      EscribirChat("Error", intenta + ",");
      EscribirChat("Error", "pero el jugador " + c->Nombre + " del equipo " + c->Equipo + " tiene el mismo índice.");
      EscribirChat("Error", "Intente quitar de la partida al jugador " + c->Nombre + " del equipo " + c->Equipo + ".");
      return;
    }
  if (!ImagenDisponible(j.imagen)) {
    EscribirChat("Error", "El jugador " + j.nombre + " del equipo " + equipo + " tiene la imagen del coche \"..Coches\\" +
                              j.imagen + "\" que este equipo no posee.");
    EscribirChat("Error",
                 "Se le asignará la imagen por defecto. Para futuras partidas pídale al otro jugador la imagen y "
                 "póngala en el directorio \"..\\Coches\".");
    j.imagen = kCocheDefecto;
  }
  jugadores_.push_back(new TCoche(*this, int16_t(j.indice), false, j.imagen, equipo, j.nombre));
  sb_jugadoresClick();
  EscribirChat("Sistema", "El jugador " + j.nombre + " del equipo " + equipo + " se ha unido a la partida.");
}

void TF_Principal::RecibirTramaJugadorSale(const std::string& equipo, const std::string& nombre) {
  // Names travel with "&&" and "$$" cut short: compare them the same way.
  auto it = std::find_if(jugadores_.begin(), jugadores_.end(),
                         [&](TCoche* c) { return NombreEnTrama(c->Nombre) == nombre; });
  if (it != jugadores_.end()) {
    delete *it;
    jugadores_.erase(it);
  }
  sb_jugadoresClick();
  EscribirChat("Sistema", "El jugador " + nombre + " del equipo " + equipo + " ha dejado la partida.");
}

void TF_Principal::RecibirTramaEstadoEquipo(TDXPlayPlayer& de, const std::string& texto) {
  const int estado = LeerDigitos(texto, 0, 2);
  if (de.EstadoEquipo == 2 && texto == "00") EscribirChat("Sistema", "El equipo " + de.Nombre + " ha salido del circuito.");
  de.EstadoEquipo = int16_t(estado);
  sb_equiposClick();
  EmpezarSiTodosPreparados();
}

void TF_Principal::RecibirTramaEmpezar() {
  // Only a ready machine that is not racing yet starts: never twice.
  if (EstadoPropio() == 1 && !enCarrera_) t_ajugar.SetEnabled(true);
}

void TF_Principal::RecibirTramaCoches(const std::string& equipo, const std::string& texto) {
  std::string resto = texto;
  while (resto.size() >= LongitudEstadoCoche) {
    const EstadoCoche e = LeerEstadoCoche(resto);
    if (TCoche* c = CocheDeOtroEquipo(e.indice, equipo)) c->RecibirEstado(e.xCampo, e.y, e.frame % 36, e.humo % 6);
    resto = TrimBlanks(resto.substr(LongitudEstadoCoche));
  }
}

void TF_Principal::RecibirTramaVuelta(const std::string& equipo, const std::string& texto) {
  const VueltaRecibida v = LeerVuelta(texto);
  TCoche* c = CocheDeOtroEquipo(v.indice, equipo);
  if (!c) return;
  c->Tiempos.push_back({int16_t(v.vuelta), v.tiempo});
  c->Vuelta = int16_t(v.vuelta);
  CompletarVuelta(*c, v.tiempo);
}

void TF_Principal::RecibirTramaOpciones(const std::string& texto) {
  const Opciones o = LeerOpciones(texto);
  e_NumVueltas->SetText(Digitos(o.vueltas, 2));
  cb_colisiones->SetChecked(o.colisiones);
  const int indice = cb_Circuito->IndexOf(o.circuito);
  cb_Circuito->SetItemIndex(indice);
  if (indice < 0) {
    if (sb_jugar->Down()) {
      sb_jugar->SetDown(false);
      sb_jugarClick();
    }
    sb_jugar->Enabled = false;
    EnviarTrama(AllMembers, Trama::SinCircuito, o.circuito);
    EscribirChat("Error", "No tienes el circuito \"" + o.circuito + "\" que se ha seleccionado.");
  } else {
    sb_jugar->Enabled = true;
  }
  cb_CircuitosClick();
}

void TF_Principal::RecibirTramaCochesFuera(const std::string& equipo) {
  for (TCoche* c : jugadores_)
    if (!c->Local && c->Equipo == equipo) c->Visible = false;
}

void TF_Principal::RecibirTramaRecordCircuitoYPerfilJugadores(const std::string& equipo, const std::string& texto) {
  std::string resto;
  const RecordEnTrama r = LeerRecord(texto, resto);
  // Records compare at the 13 digits they travel in, so a record sent back
  // and forth is never taken again.
  if (circuito_ && r.circuito == NombreEnTrama(circuito_->Nombre) && r.unidades < WireTimeUnits(circuito_->Record)) {
    circuito_->Record = double(r.unidades) / kWireTimeUnitsPerDay;
    circuito_->AutorRecord = r.autor;
    circuito_->FechaRecord = r.fecha;
    circuito_->Grabar();
    MostrarDatosCircuito();
  }
  resto = TrimBlanks(resto);
  while (resto.size() > 1) {
    const EstadisticasJugador e = LeerEstadisticas(resto);
    if (TCoche* c = CocheDeOtroEquipo(e.indice, equipo)) {
      c->CircuitoPerfil = r.circuito;
      TomarEstadisticas(*c, e);
    }
    resto = TrimBlanks(resto.substr(LongitudEstadisticas));
  }
}

void TF_Principal::RecibirTramaVersion(const std::string& texto) {
  if (texto.substr(0, 3) == std::string(kVersion).substr(0, 3)) return;
  ShowWarning("La versión del juego no coincide.\rEl servidor tiene la versión " + TextoRecibido(texto) +
              " y esta versión es la " + kVersion);
  Desconectar();
}

}  // namespace rodavia
