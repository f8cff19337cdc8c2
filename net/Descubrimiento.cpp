#include "net/Descubrimiento.h"

#include <algorithm>

#include "net/Tramas.h"
#include "platform/Text.h"

namespace rodavia {

namespace {
constexpr size_t kMaxNombre = 63;   // bytes of a team or circuit name
constexpr size_t kMaxVersion = 15;  // bytes of the version text

// Cut to at most `bytes` bytes, never inside a character.
std::string Recortar(const std::string& texto, size_t bytes) {
  std::string r = ValidUtf8(texto);
  for (size_t caracteres = bytes; r.size() > bytes; --caracteres) r = Utf8Prefix(r, caracteres);
  return r;
}

void Cadena(std::vector<uint8_t>& b, const std::string& texto, size_t maximo) {
  const std::string r = Recortar(texto, maximo);
  b.push_back(uint8_t(r.size()));
  b.insert(b.end(), r.begin(), r.end());
}

bool LeerCadena(const std::vector<uint8_t>& b, size_t& en, size_t maximo, std::string& texto) {
  if (en >= b.size() || b[en] > maximo || b.size() - en - 1 < b[en]) return false;
  texto = TextoRecibido(std::string(b.begin() + long(en) + 1, b.begin() + long(en) + 1 + b[en]));
  en += 1 + b[en];
  return true;
}
}  // namespace

std::vector<uint8_t> CodificarAnuncio(const AnuncioPartida& a) {
  std::vector<uint8_t> b{uint8_t(std::clamp(a.vueltas, 0, 99)), uint8_t(std::clamp(a.jugadores, 0, 16)),
                         uint8_t((a.enCarrera ? 1 : 0) | (a.desdeServidor ? 2 : 0))};
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(a.sesion >> (8 * i)));
  Cadena(b, a.version, kMaxVersion);
  Cadena(b, a.equipoServidor, kMaxNombre);
  Cadena(b, a.circuito, kMaxNombre);
  return b;
}

std::optional<AnuncioPartida> LeerAnuncio(const std::vector<uint8_t>& b) {
  if (b.size() < 7 || b[0] > 99 || b[1] > 16 || b[2] > 3) return std::nullopt;
  AnuncioPartida a;
  a.vueltas = b[0];
  a.jugadores = b[1];
  a.enCarrera = (b[2] & 1) != 0;
  a.desdeServidor = (b[2] & 2) != 0;
  a.sesion = uint32_t(b[3]) | uint32_t(b[4]) << 8 | uint32_t(b[5]) << 16 | uint32_t(b[6]) << 24;
  size_t en = 7;
  if (!LeerCadena(b, en, kMaxVersion, a.version) || !LeerCadena(b, en, kMaxNombre, a.equipoServidor) ||
      !LeerCadena(b, en, kMaxNombre, a.circuito) || en != b.size())
    return std::nullopt;
  return a;
}

std::string TextoPartida(const PartidaEncontrada& p) {
  const AnuncioPartida& a = p.anuncio;
  std::string texto = a.equipoServidor + " - " + a.circuito + ", " + std::to_string(a.vueltas) + " vueltas, " +
                      std::to_string(a.jugadores) + "/16" + (a.enCarrera ? ", en carrera" : "");
  if (!p.compatible) texto += " (versión " + a.version + ")";
  return texto;
}

}  // namespace rodavia
