// The frames: sending them, and applying here what each received frame was
// decided to change. The decisions themselves know nothing of the window.
#include <algorithm>

#include "app/Principal.h"
#include "net/DXPlay.h"
#include "net/Receptores.h"
#include "net/Tramas.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
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

ModeloSesion TF_Principal::Modelo() const {
  ModeloSesion m;
  for (const TCoche* c : jugadores_) m.jugadores.push_back({c->Nombre, c->Indice, c->Local, c->Miembro, c->Equipo});
  m.estadoPropio = EstadoPropio();
  m.enCarrera = enCarrera_;
  if (circuito_) {
    m.circuito = circuito_->Nombre;
    m.unidadesRecord = WireTimeUnits(circuito_->Record);
  }
  m.circuitos = cb_Circuito->Items;
  m.version = kVersion;
  m.imagenDisponible = ImagenDisponible;
  return m;
}

// A malformed frame changes nothing: the player is told once a second at
// most for each team, and the frames that follow are handled as usual.
void TF_Principal::DXPlayMessage(TDXPlayPlayer& de, const uint8_t* datos, size_t tamanyo) {
  Decision d;
  try {
    d = Decidir(Modelo(), {de.ID, de.Nombre, de.EstadoEquipo, DXPlay->EsServidor(de)}, datos, tamanyo);
  } catch (const ErrorConversion& e) {
    if (AvisarTramaErronea(de.UltimoAvisoError, CurrentClock().Ticks()))
      EscribirChat("Error", "Trama no válida del equipo " + de.Nombre + ": " + e.what());
    return;
  }
  Aplicar(de, d);
}

void TF_Principal::Aplicar(TDXPlayPlayer& de, const Decision& d) {
  // Cars are found by roster position before any car is removed or added.
  for (const auto& [posicion, e] : d.mover) jugadores_[posicion]->RecibirEstado(e.xCampo, e.y, e.frame, e.humo);
  for (size_t posicion : d.ocultar) jugadores_[posicion]->Visible = false;
  for (const auto& [posicion, e] : d.estadisticas) {
    jugadores_[posicion]->CircuitoPerfil = d.circuitoEstadisticas;
    TomarEstadisticas(*jugadores_[posicion], e);
  }
  if (d.record) TomarRecord(*d.record);
  if (d.vuelta) {
    TCoche& c = *jugadores_[d.vuelta->posicion];
    c.Tiempos.push_back({int16_t(d.vuelta->vuelta), d.vuelta->tiempo});
    c.Vuelta = int16_t(d.vuelta->vuelta);
    CompletarVuelta(c, d.vuelta->tiempo);
  }
  if (d.quitar) {
    delete jugadores_[*d.quitar];
    jugadores_.erase(jugadores_.begin() + long(*d.quitar));
    sb_jugadoresClick();
  }
  if (d.admitir) AdmitirJugador(de, *d.admitir);
  for (const LineaChat& l : d.lineas) EscribirChat(l.tipo, l.texto);
  if (d.estadoRemitente) {
    de.EstadoEquipo = *d.estadoRemitente;
    sb_equiposClick();
    EmpezarSiTodosPreparados();
  }
  if (d.armarSalida && !t_ajugar.Enabled()) t_ajugar.SetEnabled(true);
  if (d.ajustes) AplicarOpciones(*d.ajustes);
  if (d.framesEntreTramas) framesEntreTramas = *d.framesEntreTramas;
  if (d.versionDistinta) {
    // Left before the warning, so nothing waits on the box.
    Desconectar();
    ShowWarning("La versión del juego no coincide.\rEl servidor tiene la versión " + *d.versionDistinta +
                " y esta versión es la " + kVersion);
  }
}

void TF_Principal::AdmitirJugador(const TDXPlayPlayer& de, const JugadorEntra& j) {
  auto* coche = new TCoche(*this, int16_t(j.indice), false, j.imagen.empty() ? kCocheDefecto : j.imagen, de.Nombre,
                           j.nombre);
  coche->Miembro = de.ID;
  jugadores_.push_back(coche);
  sb_jugadoresClick();
}

void TF_Principal::TomarRecord(const RecordEnTrama& r) {
  circuito_->Record = double(r.unidades) / kWireTimeUnitsPerDay;
  circuito_->AutorRecord = r.autor;
  circuito_->FechaRecord = r.fecha;
  circuito_->Grabar();
  MostrarDatosCircuito();
}

// The host's settings. The laps field keeps the player's own text when it
// already says the same number.
void TF_Principal::AplicarOpciones(const Decision::Ajustes& a) {
  long long vueltas = 0;
  if (!IniFile::ParseInteger(e_NumVueltas->Text(), vueltas) || vueltas != a.opciones.vueltas)
    e_NumVueltas->SetText(Digitos(a.opciones.vueltas, 2));
  cb_colisiones->SetChecked(a.opciones.colisiones);
  cb_Circuito->SetItemIndex(a.indiceCircuito);
  if (a.indiceCircuito < 0) {
    if (sb_jugar->Down()) {
      sb_jugar->SetDown(false);
      sb_jugarClick();
    }
    sb_jugar->Enabled = false;
    EnviarTrama(AllMembers, Trama::SinCircuito, a.opciones.circuito);
  } else {
    sb_jugar->Enabled = true;
  }
  cb_CircuitosClick();
}

}  // namespace rodavia
