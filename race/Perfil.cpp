// The player profile file Jugadores\<Nombre>.ini: section "Perfil" with the
// car picture, sounds and controls, and one section "Perfil Circuito <name>"
// per circuit with the player's best lap, statistics and car setup.
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

bool Leer8(const IniFile& ini, const std::string& seccion, const char* clave, bool def) {
  return ini.ReadInteger(seccion, clave, def ? 1 : 0) != 0;
}


// The record of Circuitos\<nombre>.cfg: its line 198. False when the file is
// missing or that line holds no number.
bool LeerRecordCircuito(const std::string& nombre, double& record) {
  std::vector<uint8_t> bytes;
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

IniFile AbrirPerfil(const std::string& nombre) {
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
  TeclaAcelerar = Leer16(ini, Perfil, "TeclaAcelerar", 38);
  TeclaFrenar = Leer16(ini, Perfil, "TeclaFrenar", 40);
  TeclaDerecha = Leer16(ini, Perfil, "TeclaDerecha", 39);
  TeclaIzquierda = Leer16(ini, Perfil, "TeclaIzquierda", 37);
  Joystick = Leer8(ini, Perfil, "Joystick", false);
  IDJoystick = Leer16(ini, Perfil, "IDJoystick", 0);
  EjesSeparados = Leer8(ini, Perfil, "EjesSeparados", false);
  JoystickAnalogico = Leer8(ini, Perfil, "JoystickAnalogico", true);
  ForceFeedBack = Leer8(ini, Perfil, "ForceFeedBack", false);
  PulsarAcelerar = Leer16(ini, Perfil, "PulsarAcelerar", 32);
  PulsarFrenar = Leer16(ini, Perfil, "PulsarFrenar", 32);
  PulsarDerecha = Leer16(ini, Perfil, "PulsarDerecha", 32);
  PulsarIzquierda = Leer16(ini, Perfil, "PulsarIzquierda", 32);
  SoltarAcelerar = Leer16(ini, Perfil, "SoltarAcelerar", 64);
  SoltarFrenar = Leer16(ini, Perfil, "SoltarFrenar", 64);
  SoltarDerecha = Leer16(ini, Perfil, "SoltarDerecha", 64);
  SoltarIzquierda = Leer16(ini, Perfil, "SoltarIzquierda", 64);
  ZonaMuertaEjeXMin = Leer16(ini, Perfil, "ZonaMuertaEjeXMin", 0);
  ZonaMuertaEjeXMax = Leer16(ini, Perfil, "ZonaMuertaEjeXMax", 0);
  ZonaMuertaEjeYMin = Leer16(ini, Perfil, "ZonaMuertaEjeYMin", 0);
  ZonaMuertaEjeYMax = Leer16(ini, Perfil, "ZonaMuertaEjeYMax", 0);
  ZonaMuertaEjeZMin = Leer16(ini, Perfil, "ZonaMuertaEjeZMin", 0);
  ZonaMuertaEjeZMax = Leer16(ini, Perfil, "ZonaMuertaEjeZMax", 0);
  return true;
}

bool TCoche::GrabarPerfil() {
  if (!Local || Nombre.empty()) return true;
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
  // Without a name there is no profile: the file would be Jugadores\.ini.
  if (!Local || Nombre.empty()) return true;
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
  VueltaRapida = ini.ReadReal(seccion, "VueltaRapida", SinRecord);
  FechaVueltaRapida = ini.ReadReal(seccion, "FechaVueltaRapida", Today());
  VecesJugadas = Leer16(ini, seccion, "VecesJugadas", 0);
  VecesGanadas = Leer16(ini, seccion, "VecesGanadas", 0);
  VueltasDadas = ini.ReadInteger(seccion, "VueltasDadas", 0);
  RelacionCambio = Leer16(ini, seccion, "RelacionCambio", 5);
  Ruedas = Leer16(ini, seccion, "Ruedas", 1);
  Gasolina = Leer16(ini, seccion, "Gasolina", 10);
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
    const double mejor = ini.ReadReal(seccion, "VueltaRapida", SinRecord);
    if (!(mejor < SinRecord)) continue;  // circuits without a recorded lap count nowhere
    jugadas = int16_t(jugadas + Leer16(ini, seccion, "VecesJugadas", 0));
    victorias = int16_t(victorias + Leer16(ini, seccion, "VecesGanadas", 0));
    vueltas = int32_t(uint32_t(vueltas) + uint32_t(ini.ReadInteger(seccion, "VueltasDadas", 0)));
    const std::string circuito = TrimBlanks(seccion.size() > 16 ? seccion.substr(16) : "");
    double record = 0;
    if (!LeerRecordCircuito(circuito, record)) continue;  // circuit deleted: no ranking
    ranking += mejor - record;
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
