#include "net/Tramas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/Clock.h"
#include "platform/Text.h"

namespace rodavia {

namespace {
constexpr size_t kCabeceraSobre = 8;

void EscribirU32(std::vector<uint8_t>& datos, size_t en, uint32_t valor) {
  for (int i = 0; i < 4; ++i) datos[en + i] = uint8_t(valor >> (8 * i));
}

uint32_t LeerU32(const uint8_t* datos) {
  return uint32_t(datos[0]) | uint32_t(datos[1]) << 8 | uint32_t(datos[2]) << 16 | uint32_t(datos[3]) << 24;
}

long long LeerNumero(const std::string& texto, size_t desde, size_t ancho) {
  if (desde + ancho > texto.size()) throw ErrorConversion("'" + texto.substr(std::min(desde, texto.size())) +
                                                           "' no es un número válido");
  long long valor = 0;
  for (size_t i = desde; i < desde + ancho; ++i) {
    const char c = texto[i];
    if (c < '0' || c > '9') throw ErrorConversion("'" + texto.substr(desde, ancho) + "' no es un número válido");
    valor = valor * 10 + (c - '0');
  }
  return valor;
}

// A whole day number in six digits.
std::string Fecha(double dias) { return Digitos(std::llround(std::clamp(dias, 0.0, 999999.0)), 6); }
}  // namespace

std::vector<uint8_t> SobreTrama(Trama tipo, const std::string& texto) {
  std::vector<uint8_t> datos(texto.size() + 12, 0);
  EscribirU32(datos, 0, uint32_t(tipo));
  EscribirU32(datos, 4, uint32_t(texto.size()));
  std::copy(texto.begin(), texto.end(), datos.begin() + kCabeceraSobre);
  return datos;
}

bool AbrirSobre(const uint8_t* datos, size_t tamanyo, int& tipo, std::string& texto) {
  if (tamanyo < kCabeceraSobre) return false;
  const uint32_t t = LeerU32(datos);
  if (t > uint32_t(UltimoTipoTrama)) return false;
  tipo = int(t);
  const size_t n = std::min<size_t>(LeerU32(datos + 4), tamanyo - kCabeceraSobre);
  const auto* inicio = reinterpret_cast<const char*>(datos + kCabeceraSobre);
  texto.assign(inicio, std::find(inicio, inicio + n, '\0'));
  return true;
}

std::string Digitos(long long valor, int ancho) {
  long long maximo = 1;
  for (int i = 0; i < ancho; ++i) maximo *= 10;
  return ZeroPadded(std::clamp(valor, 0LL, maximo - 1), ancho);
}

int LeerDigitos(const std::string& texto, size_t desde, size_t ancho) {
  return int(LeerNumero(texto, desde, ancho));
}

long long LeerUnidadesTiempo(const std::string& texto, size_t desde) { return LeerNumero(texto, desde, 13); }

double LeerTiempo(const std::string& texto, size_t desde) {
  return double(LeerUnidadesTiempo(texto, desde)) / kWireTimeUnitsPerDay;
}

std::string NombreEnTrama(const std::string& nombre) {
  std::string r = nombre;
  for (char& c : r)
    if (c == '&' || c == '$') c = '_';
  return r;
}

bool NombreViajaIntacto(const std::string& nombre) { return nombre.find_first_of("&$") == std::string::npos; }

std::string EquipoPorDefecto(const std::string& ordenador) {
  std::string equipo;
  for (char c : ValidUtf8(ordenador.substr(0, ordenador.find('.')))) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u != 0x7F && !std::strchr("/\\<>:\"|?*&$", c)) equipo += c;
  }
  equipo = TrimBlanks(Utf8Prefix(equipo, 15));
  return equipo.empty() ? "Desconocido" : equipo;
}

std::string TextoRecibido(const std::string& texto) {
  std::string r = ValidUtf8(texto);
  for (char& c : r)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return r;
}

// ---- Players joining ----------------------------------------------------------

std::string TextoJugadorEntra(const JugadorEntra& j) {
  return NombreEnTrama(j.nombre) + "&&" + Digitos(j.indice, 2) + j.imagen;
}

JugadorEntra LeerJugadorEntra(const std::string& texto) {
  const size_t separador = texto.find("&&");
  if (separador == std::string::npos) throw ErrorConversion("'" + texto + "' no nombra un índice");
  JugadorEntra j;
  j.nombre = TextoRecibido(texto.substr(0, separador));
  j.indice = LeerDigitos(texto, separador + 2, 2);
  j.imagen = TrimBlanks(TextoRecibido(texto.substr(separador + 4)));
  return j;
}

// ---- Race ----------------------------------------------------------------------

EstadoCoche LeerEstadoCoche(const std::string& texto) {
  EstadoCoche e;
  e.indice = LeerDigitos(texto, 0, 2);
  e.xCampo = LeerDigitos(texto, 2, 3);
  e.y = LeerDigitos(texto, 5, 3);
  e.frame = LeerDigitos(texto, 8, 2);
  e.humo = LeerDigitos(texto, 10, 1);
  return e;
}

VueltaRecibida LeerVuelta(const std::string& texto) {
  VueltaRecibida v;
  v.indice = LeerDigitos(texto, 0, 2);
  v.vuelta = LeerDigitos(texto, 2, 2);
  v.tiempo = LeerTiempo(texto, 4);
  return v;
}

// ---- Settings -------------------------------------------------------------------

std::string TextoOpciones(const Opciones& o) {
  return Digitos(o.vueltas, 2) + (o.colisiones ? "1" : "0") + NombreEnTrama(o.circuito);
}

Opciones LeerOpciones(const std::string& texto) {
  Opciones o;
  o.vueltas = LeerDigitos(texto, 0, 2);
  o.colisiones = texto.size() < 3 || texto[2] != '0';
  o.circuito = texto.size() > 3 ? TrimBlanks(TextoRecibido(texto.substr(3))) : "";
  return o;
}

// ---- Record and statistics --------------------------------------------------------

std::string TextoRecord(const RecordEnTrama& r) {
  return Digitos(r.unidades, 13) + Fecha(r.fecha) + NombreEnTrama(r.autor) + "&&" + NombreEnTrama(r.circuito) + "$$";
}

std::string TextoEstadisticas(const EstadisticasJugador& e) {
  return FormatWireTime(e.vueltaRapida) + Fecha(e.fechaVueltaRapida) + Digitos(e.vecesJugadas, 4) +
         Digitos(e.vecesGanadas, 4) + Digitos(e.vueltasDadas, 5) + Digitos(e.totalPartidas, 4) +
         Digitos(e.totalVictorias, 4) + Digitos(e.totalVueltas, 5) + FormatWireTime(e.ranking) +
         Digitos(e.circuitosJugados, 4) + Digitos(e.indice, 2);
}

RecordEnTrama LeerRecord(const std::string& texto, std::string& resto) {
  RecordEnTrama r;
  r.unidades = LeerUnidadesTiempo(texto, 0);
  r.fecha = LeerDigitos(texto, 13, 6);
  const size_t y = texto.find("&&"), dolar = texto.find("$$");
  if (y == std::string::npos || dolar == std::string::npos || dolar < y)
    throw ErrorConversion("'" + texto.substr(0, 40) + "' no nombra un circuito");
  r.autor = TextoRecibido(texto.substr(19, y - std::min<size_t>(y, 19)));
  r.circuito = TextoRecibido(texto.substr(y + 2, dolar - y - 2));
  resto = texto.substr(dolar + 2);
  return r;
}

EstadisticasJugador LeerEstadisticas(const std::string& b) {
  EstadisticasJugador e;
  e.vueltaRapida = LeerTiempo(b, 0);
  e.fechaVueltaRapida = LeerDigitos(b, 13, 6);
  e.vecesJugadas = LeerDigitos(b, 19, 4);
  e.vecesGanadas = LeerDigitos(b, 23, 4);
  e.vueltasDadas = LeerDigitos(b, 27, 5);
  e.totalPartidas = LeerDigitos(b, 32, 4);
  e.totalVictorias = LeerDigitos(b, 36, 4);
  e.totalVueltas = LeerDigitos(b, 40, 5);
  e.ranking = LeerTiempo(b, 45);
  e.circuitosJugados = LeerDigitos(b, 58, 4);
  e.indice = LeerDigitos(b, 62, 2);
  return e;
}

}  // namespace rodavia
