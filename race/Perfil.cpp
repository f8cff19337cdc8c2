// The player profile file Jugadores\<Nombre>.ini: section "Perfil" with the
// car picture, sounds and controls, and one section "Perfil Circuito <name>"
// per circuit with the player's best lap, statistics and car setup.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Text.h"
#include "platform/MessageBox.h"
#include "race/Circuito.h"
#include "race/Coche.h"
#include "race/Entorno.h"
#include "race/Entrada.h"
#include "race/PilotoOrdenador.h"

namespace rodavia {

namespace {

const std::string Perfil = "Perfil";
const std::string PrefijoCircuito = "Perfil Circuito ";
const char* const ErrorLeyendo = "Error leyedo el perfil del jugador.";
const char* const ErrorGuardando = "Error guardando datos en el perfil del jugador.";

// 16-bit fields keep the low 16 bits of what the file holds.
int16_t Leer16(const IniFile& ini, const std::string& seccion, const char* clave, int16_t def) {
  return int16_t(ini.ReadInteger(seccion, clave, def));
}

// A value the profile dialog or the lobby can set; anything outside
// minimo..maximo (typed by hand, or damaged) reads as the default, so what
// the lobby shows is what the race uses.
int16_t LeerEntre(const IniFile& ini, const std::string& seccion, const char* clave, int16_t def,
                  int minimo, int maximo) {
  const int valor = ini.ReadInteger(seccion, clave, def);
  return valor >= minimo && valor <= maximo ? int16_t(valor) : def;
}

int16_t LeerTecla(const IniFile& ini, const char* clave, int16_t def) {
  return LeerEntre(ini, Perfil, clave, def, MinCodigoTecla, MaxCodigoTecla);
}

// Rates and dead zones act on control levels of 0..128.
int16_t LeerNivel(const IniFile& ini, const char* clave, int16_t def) {
  return LeerEntre(ini, Perfil, clave, def, 0, 128);
}

// A best lap the game can have timed: above 0 and below SinRecord; anything
// else (a hand-made -1e300 would be a record no one could beat) is none.
double LeerVueltaRapida(const IniFile& ini, const std::string& seccion) {
  const double vuelta = ini.ReadReal(seccion, "VueltaRapida", SinRecord);
  return vuelta > 0 && vuelta < SinRecord ? vuelta : SinRecord;
}

bool Leer8(const IniFile& ini, const std::string& seccion, const char* clave, bool def) {
  return ini.ReadInteger(seccion, clave, def ? 1 : 0) != 0;
}


// The record of Circuitos\<nombre>.cfg: its line 198. False when the file is
// missing, that line holds no number, or the name (a section name of the
// profile) is no file name.
bool LeerRecordCircuito(const std::string& nombre, double& record) {
  std::vector<uint8_t> bytes;
  if (!files::IsSafeFileName(nombre)) return false;
  if (!files::ReadAll(files::Resolve("Circuitos\\" + nombre + ".cfg"), bytes)) return false;
  const std::string texto(bytes.begin(), bytes.end());
  size_t inicio = 0;
  for (int linea = 1; linea < 198; ++linea) {
    inicio = texto.find('\n', inicio);
    if (inicio == std::string::npos) return false;
    ++inicio;
  }
  const size_t fin = texto.find('\n', inicio);
  return IniFile::ParseReal(texto.substr(inicio, fin == std::string::npos ? fin : fin - inicio), record);
}

// A name that cannot be a file name (from a damaged configuration) has no
// file: it reads as the defaults, and saving it writes nothing.
IniFile AbrirPerfil(const std::string& nombre) {
  if (!files::IsSafeFileName(nombre)) return IniFile({});
  return IniFile(files::Resolve("Jugadores\\" + nombre + ".ini"));
}

}  // namespace

bool TCoche::LeerPerfil() {
  if (!Local) return true;
  const IniFile ini = AbrirPerfil(Nombre);
  if (!ini.readable()) {
    ShowError(ErrorLeyendo);
    return false;
  }
  ImagenCoche = ini.ReadString(Perfil, "ImagenCoche", ImagenCochePorDefecto);
  SonidoMotor = ini.ReadString(Perfil, "SonidoMotor", "Motor.wav");
  SonidoDerrape = ini.ReadString(Perfil, "SonidoDerrape", "Derrape.wav");
  SonidoGolpe = ini.ReadString(Perfil, "SonigoGolpe", "Golpe.wav");
  TeclaAcelerar = LeerTecla(ini, "TeclaAcelerar", 38);
  TeclaFrenar = LeerTecla(ini, "TeclaFrenar", 40);
  TeclaDerecha = LeerTecla(ini, "TeclaDerecha", 39);
  TeclaIzquierda = LeerTecla(ini, "TeclaIzquierda", 37);
  Joystick = Leer8(ini, Perfil, "Joystick", false);
  IDJoystick = Leer16(ini, Perfil, "IDJoystick", 0);
  EjesSeparados = Leer8(ini, Perfil, "EjesSeparados", false);
  JoystickAnalogico = Leer8(ini, Perfil, "JoystickAnalogico", true);
  ForceFeedBack = Leer8(ini, Perfil, "ForceFeedBack", false);
  PulsarAcelerar = LeerNivel(ini, "PulsarAcelerar", 32);
  PulsarFrenar = LeerNivel(ini, "PulsarFrenar", 32);
  PulsarDerecha = LeerNivel(ini, "PulsarDerecha", 32);
  PulsarIzquierda = LeerNivel(ini, "PulsarIzquierda", 32);
  SoltarAcelerar = LeerNivel(ini, "SoltarAcelerar", 64);
  SoltarFrenar = LeerNivel(ini, "SoltarFrenar", 64);
  SoltarDerecha = LeerNivel(ini, "SoltarDerecha", 64);
  SoltarIzquierda = LeerNivel(ini, "SoltarIzquierda", 64);
  ZonaMuertaEjeXMin = LeerNivel(ini, "ZonaMuertaEjeXMin", 0);
  ZonaMuertaEjeXMax = LeerNivel(ini, "ZonaMuertaEjeXMax", 0);
  ZonaMuertaEjeYMin = LeerNivel(ini, "ZonaMuertaEjeYMin", 0);
  ZonaMuertaEjeYMax = LeerNivel(ini, "ZonaMuertaEjeYMax", 0);
  ZonaMuertaEjeZMin = LeerNivel(ini, "ZonaMuertaEjeZMin", 0);
  ZonaMuertaEjeZMax = LeerNivel(ini, "ZonaMuertaEjeZMax", 0);
  Ordenador = Leer8(ini, Perfil, "Ordenador", false);
  NivelOrdenador = LeerEntre(ini, Perfil, "NivelOrdenador", NivelOrdenadorMaximo, NivelOrdenadorMinimo,
                             NivelOrdenadorMaximo);
  return true;
}

bool TCoche::GrabarPerfil() {
  if (!Local || !files::IsSafeFileName(Nombre)) return true;
  IniFile ini = AbrirPerfil(Nombre);
  ini.WriteString(Perfil, "Nombre", Nombre);
  ini.WriteString(Perfil, "ImagenCoche", ImagenCoche);
  ini.WriteString(Perfil, "SonidoMotor", SonidoMotor);
  ini.WriteString(Perfil, "SonidoDerrape", SonidoDerrape);
  ini.WriteString(Perfil, "SonigoGolpe", SonidoGolpe);
  ini.WriteInteger(Perfil, "TeclaAcelerar", TeclaAcelerar);
  ini.WriteInteger(Perfil, "TeclaFrenar", TeclaFrenar);
  ini.WriteInteger(Perfil, "TeclaDerecha", TeclaDerecha);
  ini.WriteInteger(Perfil, "TeclaIzquierda", TeclaIzquierda);
  ini.WriteBool(Perfil, "Joystick", Joystick);
  ini.WriteInteger(Perfil, "IDJoystick", IDJoystick);
  ini.WriteBool(Perfil, "EjesSeparados", EjesSeparados);
  ini.WriteBool(Perfil, "JoystickAnalogico", JoystickAnalogico);
  ini.WriteBool(Perfil, "ForceFeedBack", ForceFeedBack);
  ini.WriteInteger(Perfil, "PulsarAcelerar", PulsarAcelerar);
  ini.WriteInteger(Perfil, "PulsarFrenar", PulsarFrenar);
  ini.WriteInteger(Perfil, "PulsarDerecha", PulsarDerecha);
  ini.WriteInteger(Perfil, "PulsarIzquierda", PulsarIzquierda);
  ini.WriteInteger(Perfil, "SoltarAcelerar", SoltarAcelerar);
  ini.WriteInteger(Perfil, "SoltarFrenar", SoltarFrenar);
  ini.WriteInteger(Perfil, "SoltarDerecha", SoltarDerecha);
  ini.WriteInteger(Perfil, "SoltarIzquierda", SoltarIzquierda);
  ini.WriteInteger(Perfil, "ZonaMuertaEjeXMin", ZonaMuertaEjeXMin);
  ini.WriteInteger(Perfil, "ZonaMuertaEjeXMax", ZonaMuertaEjeXMax);
  ini.WriteInteger(Perfil, "ZonaMuertaEjeYMin", ZonaMuertaEjeYMin);
  ini.WriteInteger(Perfil, "ZonaMuertaEjeYMax", ZonaMuertaEjeYMax);
  ini.WriteInteger(Perfil, "ZonaMuertaEjeZMin", ZonaMuertaEjeZMin);
  ini.WriteInteger(Perfil, "ZonaMuertaEjeZMax", ZonaMuertaEjeZMax);
  ini.WriteBool(Perfil, "Ordenador", Ordenador);
  ini.WriteInteger(Perfil, "NivelOrdenador", NivelOrdenador);
  // The circuit section goes into the same rewrite of the file.
  EscribirSeccionCircuito(ini);
  if (!ini.Flush()) {
    ShowError(ErrorGuardando);
    return false;
  }
  return true;
}

void TCoche::EscribirSeccionCircuito(IniFile& ini) const {
  if (CircuitoPerfil.empty()) return;
  const std::string seccion = PrefijoCircuito + CircuitoPerfil;
  ini.WriteReal(seccion, "VueltaRapida", VueltaRapida);
  ini.WriteReal(seccion, "FechaVueltaRapida", FechaVueltaRapida);
  ini.WriteInteger(seccion, "VecesJugadas", VecesJugadas);
  ini.WriteInteger(seccion, "VecesGanadas", VecesGanadas);
  ini.WriteInteger(seccion, "VueltasDadas", VueltasDadas);
  ini.WriteInteger(seccion, "RelacionCambio", RelacionCambio);
  ini.WriteInteger(seccion, "Ruedas", Ruedas);
  ini.WriteInteger(seccion, "Gasolina", Gasolina);
}

bool TCoche::GrabarPerfilCircuito() {
  // Without a usable name there is no profile: the file would be
  // Jugadores\.ini, or outside Jugadores.
  if (!Local || !files::IsSafeFileName(Nombre)) return true;
  IniFile ini = AbrirPerfil(Nombre);
  EscribirSeccionCircuito(ini);
  if (!ini.Flush()) {
    ShowError(ErrorGuardando);
    return false;
  }
  return true;
}

bool TCoche::LeerPerfilCircuito() {
  if (!Local) return true;
  TCircuito* circuito = entorno_.Circuito();
  if (!circuito) return true;  // no circuit chosen: nothing to read
  CircuitoPerfil = circuito->Nombre;
  const IniFile ini = AbrirPerfil(Nombre);
  if (!ini.readable()) {
    ShowError(ErrorLeyendo);
    return false;
  }
  const std::string seccion = PrefijoCircuito + CircuitoPerfil;
  VueltaRapida = LeerVueltaRapida(ini, seccion);
  FechaVueltaRapida = ini.ReadReal(seccion, "FechaVueltaRapida", Today());
  VecesJugadas = Leer16(ini, seccion, "VecesJugadas", 0);
  VecesGanadas = Leer16(ini, seccion, "VecesGanadas", 0);
  VueltasDadas = ini.ReadInteger(seccion, "VueltasDadas", 0);
  RelacionCambio = LeerEntre(ini, seccion, "RelacionCambio", 5, 0, 10);
  Ruedas = LeerEntre(ini, seccion, "Ruedas", 1, 0, 2);
  Gasolina = LeerEntre(ini, seccion, "Gasolina", 10, 1, 10);
  if (VueltaRapida < circuito->Record) {
    // The player's best lap becomes the circuit's record on this machine.
    circuito->Record = VueltaRapida;
    circuito->FechaRecord = FechaVueltaRapida;
    circuito->AutorRecord = Nombre;
    circuito->Grabar();
    entorno_.RecordCambiado();
  }
  return true;
}

bool TCoche::CalcularTotales() {
  if (!Local) return true;
  const IniFile ini = AbrirPerfil(Nombre);
  if (!ini.readable()) {
    ShowError(ErrorLeyendo);
    return false;
  }
  int16_t jugadas = 0, victorias = 0, circuitos = 0;
  int32_t vueltas = 0;
  double ranking = 0;
  for (const std::string& seccion : ini.SectionNames()) {
    if (seccion == Perfil) continue;
    const double mejor = LeerVueltaRapida(ini, seccion);
    if (!(mejor < SinRecord)) continue;  // circuits without a recorded lap count nowhere
    jugadas = int16_t(jugadas + Leer16(ini, seccion, "VecesJugadas", 0));
    victorias = int16_t(victorias + Leer16(ini, seccion, "VecesGanadas", 0));
    vueltas = int32_t(uint32_t(vueltas) + uint32_t(ini.ReadInteger(seccion, "VueltasDadas", 0)));
    const std::string circuito = TrimBlanks(seccion.size() > 16 ? seccion.substr(16) : "");
    double record = 0;
    if (!LeerRecordCircuito(circuito, record)) continue;  // circuit deleted: no ranking
    // A best lap under the record on file is a new record not yet written
    // there: it counts as the record, as every other machine sees it.
    ranking += std::max(0.0, mejor - record);
    circuitos = int16_t(circuitos + 1);
  }
  TotalPartidasJugadas = jugadas;
  TotalVictorias = victorias;
  TotalVueltasDadas = vueltas;
  CircuitosJugados = circuitos;
  Ranking = ranking;
  return true;
}

}  // namespace rodavia
