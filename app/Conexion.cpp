// The network session as the lobby shows it: hosting or joining, leaving,
// the session's events and the host check after a team leaves.
#include "app/Principal.h"
#include "net/DXPlay.h"
#include "net/Tramas.h"
#include "platform/Application.h"
#include "platform/Display.h"
#include "platform/IniFile.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "race/Coche.h"

namespace rodavia {

namespace {
constexpr uint32_t kRojo = RGBColor(255, 0, 0), kGranate = RGBColor(128, 0, 0);
constexpr uint32_t kLima = RGBColor(0, 255, 0), kVerde = RGBColor(0, 128, 0);

void Editable(TControl& c, bool editable) {
  c.Enabled = editable;
  c.Color = editable ? clWindow : clInfoBk;
}
}  // namespace

bool TF_Principal::SesionAbierta() const { return DXPlay && DXPlay->Abierta(); }

void TF_Principal::rg_conectarClick() {
  Editable(*e_IP, rg_conectar->ItemIndex() == 1);
  MostrarListaPartidas();
}

void TF_Principal::DireccionConexion(const std::string& ip, int puertoConfigurado, std::string& host,
                                     uint16_t& puerto) {
  host = ip;
  puerto = uint16_t(puertoConfigurado);
  const size_t dosPuntos = ip.find(':');
  if (dosPuntos == std::string::npos) return;
  long long numero = 0;
  if (!IniFile::ParseInteger(TrimBlanks(ip.substr(dosPuntos + 1)), numero)) return;
  host = ip.substr(0, dosPuntos);
  puerto = uint16_t(numero);
}

void TF_Principal::bb_ConectarClick() {
  if (e_Equipo->Text().empty()) {
    ShowWarning("Es preciso dar un nombre de equipo.");
    return;
  }
  if (!jugadores_.empty()) {
    if (Messages().Show(MsgKind::Confirmation,
                        "Para conectarse a una partida hay que quitar los jugadores de la partida.\r"
                        "¿ Desea continuar y quitar todos los jugadores de la partida ?",
                        MsgButtons::YesNo) != MsgResult::Yes)
      return;
    QuitarTodosLosJugadores();
  }
  DXDraw.SetBusyCursor(true);
  bb_Conectar->Enabled = false;
  const bool servidor = rg_conectar->ItemIndex() == 0;
  bool cancelada = false;
  int fallos = 0;
  for (;;) {
    ProcessMessages();
    std::string host;
    uint16_t puerto;
    DireccionConexion(e_IP->Text(), Configuracion().ReadInteger("Conexiones", "Puerto", kPuertoDefecto), host,
                      puerto);
    DXPlay->TCPIPSetting = {true, host, puerto};
    equipoRepetido = false;
    if (!servidor) MostrarConectando(host + ":" + std::to_string(puerto), fallos == 0);
    try {
      DXPlay->Open(servidor, kSesion, e_Equipo->Text());
      break;
    } catch (const ErrorSesion& e) {
      cancelada = e.unionCancelada;
      // The session refuses a taken name before this machine is a member,
      // so no other machine ever sees it come or go.
      if (e.nombreRepetido) {
        EscribirChat("Error", "En la sesión ya existe un equipo con el nombre " + e_Equipo->Text() + ".");
        EscribirChat("Error", "Cambie el nombre del equipo y vuelva a entrar.");
        equipoRepetido = true;
      }
    }
    if (servidor) {
      ShowError("No se ha podido crear la sesión.");
      break;
    }
    if (equipoRepetido || cancelada) break;
    // Three silent retries, then the player decides at every failure.
    if (++fallos <= 3) {
      DXDraw.SetBusyCursor(true);
      continue;
    }
    if (Messages().Show(MsgKind::Error, "No hay ninguna sesión en la dirección IP indicada.",
                        MsgButtons::RetryCancel) != MsgResult::Retry)
      break;
  }
  if (!SesionAbierta())
    PonerDesconectado();
  else if (servidor)
    PonerConectadoServidor();
  else
    PonerConectadoCliente();
  DXDraw.SetBusyCursor(false);
  ProcessMessages();
}

// While a join is tried the lobby goes on, says where it connects, and
// "Desconectar" cancels the attempt.
void TF_Principal::MostrarConectando(const std::string& direccion, bool primerIntento) {
  if (primerIntento) EscribirChat("Sistema", "Conectando con " + direccion + "...");
  l_conectar->Caption = "Conectando...";
  bb_Desconectar->Enabled = true;
}

void TF_Principal::bb_DesconectarClick() {
  if (DXPlay->Uniendose()) {
    DXPlay->CancelarUnion();
    return;
  }
  if (Messages().Show(MsgKind::Confirmation, "¿ Está seguro que desea abandonar la sesión. ?", MsgButtons::YesNo) ==
      MsgResult::Yes)
    Desconectar();
}

void TF_Principal::Desconectar() {
  DXDraw.SetBusyCursor(true);
  bb_Desconectar->Enabled = false;
  ProcessMessages();
  DXPlay->Close();
  PonerDesconectado();
  QuitarTodosLosJugadores();
  DXDraw.SetBusyCursor(false);
  ProcessMessages();
}

// ---- The three states of the connection controls --------------------------------

void TF_Principal::PonerDesconectado() { PonerControlesConexion(false, false); }
void TF_Principal::PonerConectadoServidor() { PonerControlesConexion(true, false); }
void TF_Principal::PonerConectadoCliente() { PonerControlesConexion(true, true); }

// Only the host (or a machine alone) chooses circuit, laps and collisions.
void TF_Principal::PonerControlesConexion(bool conectado, bool cliente) {
  bb_Conectar->Enabled = !conectado;
  bb_Desconectar->Enabled = conectado;
  rg_conectar->Enabled = !conectado;
  rg_conectar->SetItemIndex(cliente ? 1 : 0);
  Editable(*e_IP, false);
  l_conectar->Caption = conectado ? "Conectados" : "Desconectados";
  l_conectar->FontColor = conectado ? kLima : kRojo;
  l_conectar->Color = conectado ? kVerde : kGranate;
  Editable(*e_Equipo, !conectado);
  Editable(*e_NumVueltas, !cliente);
  Editable(*cb_Circuito, !cliente);
  cb_colisiones->Enabled = !cliente;
  sb_editar->Enabled = !conectado;
  MostrarListaPartidas();
}

// ---- Session events ----------------------------------------------------------------

void TF_Principal::DXPlayOpen() {
  PublicarAnuncio();
  for (const auto& equipo : DXPlay->Equipos())
    if (equipo->Remoto) EscribirChat("Sistema", "El equipo " + equipo->Nombre + " está en la sesión.");
}

void TF_Principal::DXPlayClose() { EscribirChat("Sistema", "La sesion se ha cerrado."); }

void TF_Principal::DXPlaySessionLost() {
  EscribirChat("Error", "La sesion se ha perdido.");
  Desconectar();
}

// The welcome of a team: the host's version and settings, then every
// machine's players, its state and its players' statistics (after the
// players, so the newcomer has the cars to hang them on).
void TF_Principal::DXPlayAddPlayer(TDXPlayPlayer& equipo) {
  equipo.EstadoEquipo = 0;
  EscribirChat("Sistema", "El equipo " + equipo.Nombre + " se ha unido a la sesión.");
  const MemberId nuevo = equipo.ID;
  if (DXPlay->SoyServidor()) {
    EnviarTrama(nuevo, Trama::Version, kVersion);
    EnviarTramaOpciones(nuevo);
  }
  for (TCoche* c : jugadores_)
    if (c->Local) EnviarTrama(nuevo, Trama::JugadorEntra, TextoJugadorEntra({c->Nombre, c->Indice, c->ImagenCoche}));
  EnviarTrama(nuevo, Trama::EstadoEquipo, Digitos(EstadoPropio(), 2));
  EnviarTramaRecordCircuitoYPerfilJugadores(nuevo);
  sb_equiposClick();
}

void TF_Principal::DXPlayDeletePlayer(TDXPlayPlayer& equipo) {
  EscribirChat("Sistema", "El equipo " + equipo.Nombre + " ha dejado la sesión.");
  QuitarJugadoresDelMiembro(equipo.ID);
  sb_jugadoresClick();
  if (!DXPlay->SoyServidor()) t_ComprobarSiSoyServer.SetEnabled(true);
  // The last team that was not ready may be the one leaving.
  EmpezarSiTodosPreparados(&equipo);
}

void TF_Principal::t_ComprobarSiSoyServerTimer() {
  t_ComprobarSiSoyServer.SetEnabled(false);
  PublicarAnuncio();  // a new host, as this machine sees it now
  if (!SesionAbierta() || !DXPlay->SoyServidor()) return;
  EnviarTrama(AllMembers, Trama::NuevoServidor, "");
  PonerConectadoServidor();
  EscribirChat("Sistema", "Este equipo pasa a ser el servidor de la sesión.");
}

// ---- Team state and the start of a networked race ------------------------------

int16_t TF_Principal::EstadoPropio() const {
  return SesionAbierta() ? DXPlay->EquipoLocal()->EstadoEquipo : 0;
}

void TF_Principal::AnunciarEstado(int16_t estado) {
  if (!SesionAbierta()) return;
  DXPlay->EquipoLocal()->EstadoEquipo = estado;
  EnviarTrama(AllMembers, Trama::EstadoEquipo, Digitos(estado, 2));
  PublicarAnuncio();
}

// Whoever sees every team ready (on its own press, on another team's "ready"
// or when the last team that was not ready leaves) tells them all to start;
// a machine starts once, from the start timer, never inside a message handler.
void TF_Principal::EmpezarSiTodosPreparados(const TDXPlayPlayer* saliente) {
  if (!SesionAbierta() || EstadoPropio() != 1 || enCarrera_ || t_ajugar.Enabled()) return;
  for (const auto& equipo : DXPlay->Equipos())
    if (equipo.get() != saliente && equipo->EstadoEquipo != 1) return;
  EnviarTrama(AllMembers, Trama::Empezar, "");
  t_ajugar.SetEnabled(true);
}

void TF_Principal::t_ajugarTimer() {
  // The start waits on its grid for the other machines, and nothing is
  // delivered while a message box waits on a handler: start once it is closed.
  if (MessageBoxShowing()) return;
  t_ajugar.SetEnabled(false);
  if (!SesionAbierta() || EstadoPropio() != 1 || enCarrera_) return;
  if (DXPlay->SoyServidor()) EnviarTramaOpciones(AllMembers);
  EmpezarCarrera();
}

}  // namespace rodavia
