#pragma once
// The frames on the wire: the envelope of a message and the fixed-width text
// of each frame type, built and read as plain functions. Reading raises
// ErrorConversion when a field is not all digits or the text is shorter
// than its layout, and never reads past the text.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "race/Entorno.h"

namespace rodavia {

struct ErrorConversion : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// 12 + n bytes: type and n (32-bit little-endian), the text, a zero and
// three bytes of padding.
std::vector<uint8_t> SobreTrama(Trama tipo, const std::string& texto);
// The type and text of a message: the text runs for n characters or up to
// the first zero, never past the message. False for a message too short for
// its envelope or of a type above the last.
bool AbrirSobre(const uint8_t* datos, size_t tamanyo, int& tipo, std::string& texto);

// A whole number in `ancho` digits, kept within what the field can hold.
std::string Digitos(long long valor, int ancho);
// The field of `ancho` digits starting at `desde` (0-based).
int LeerDigitos(const std::string& texto, size_t desde, size_t ancho);
// A time of 13 digits starting at `desde`, in units of 10^-13 day.
long long LeerUnidadesTiempo(const std::string& texto, size_t desde);
double LeerTiempo(const std::string& texto, size_t desde);

// "&&" and "$$" separate names in frames: a name travels with every "&" and
// "$" written as "_", so no name can split a frame or run into a separator.
// Names that travel are compared in this form on every machine.
std::string NombreEnTrama(const std::string& nombre);
// Whether a name reaches other machines unchanged: the dialogs that name
// players and circuits refuse "&" and "$".
bool NombreViajaIntacto(const std::string& nombre);
// The team a machine takes when its settings name none: the computer's name
// without its domain, cut to the 15 characters of a team and to what is safe
// in a file name and a frame; "Desconocido" when nothing is left.
std::string EquipoPorDefecto(const std::string& ordenador);
// Received texts are shown and kept: what is not UTF-8 becomes U+FFFD and
// control characters become blanks.
std::string TextoRecibido(const std::string& texto);

struct JugadorEntra {
  std::string nombre;
  int indice = 0;
  std::string imagen;
};
std::string TextoJugadorEntra(const JugadorEntra& j);
JugadorEntra LeerJugadorEntra(const std::string& texto);

struct EstadoCoche {
  int indice = 0, xCampo = 0, y = 0, frame = 0, humo = 0;
};
constexpr size_t LongitudEstadoCoche = 11;
EstadoCoche LeerEstadoCoche(const std::string& texto);

struct VueltaRecibida {
  int indice = 0, vuelta = 0;
  double tiempo = 0;
};
VueltaRecibida LeerVuelta(const std::string& texto);

struct Opciones {
  int vueltas = 0;
  bool colisiones = true;
  std::string circuito;
};
std::string TextoOpciones(const Opciones& o);
Opciones LeerOpciones(const std::string& texto);

// The circuit record and one player's statistics, as the statistics frame
// carries them.
struct RecordEnTrama {
  long long unidades = 0;  // the record time in 10^-13 day
  double fecha = 0;
  std::string autor, circuito;
};
struct EstadisticasJugador {
  double vueltaRapida = 0, fechaVueltaRapida = 0;
  int vecesJugadas = 0, vecesGanadas = 0, vueltasDadas = 0;
  int totalPartidas = 0, totalVictorias = 0, totalVueltas = 0;
  double ranking = 0;
  int circuitosJugados = 0, indice = 0;
};
constexpr size_t LongitudEstadisticas = 64;
std::string TextoRecord(const RecordEnTrama& r);
std::string TextoEstadisticas(const EstadisticasJugador& e);
// The header; `resto` receives the text after the first "$$".
RecordEnTrama LeerRecord(const std::string& texto, std::string& resto);
EstadisticasJugador LeerEstadisticas(const std::string& bloque);

}  // namespace rodavia
