#pragma once
// What a session tells the machines looking for games on the network: the
// host's team, circuit, laps, players, whether it races and the version, in
// a few bytes that always fit an answer.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rodavia {

struct AnuncioPartida {
  std::string equipoServidor;
  std::string circuito;
  int vueltas = 0;
  int jugadores = 0;  // of 16
  bool enCarrera = false;
  std::string version;
  uint32_t sesion = 0;         // the host's member id: one row a session
  bool desdeServidor = false;  // the host itself answered
};

// Names are cut (never inside a character) so the whole fits 170 bytes.
std::vector<uint8_t> CodificarAnuncio(const AnuncioPartida& a);
// Nothing when the bytes are no announcement; names are made safe to show.
std::optional<AnuncioPartida> LeerAnuncio(const std::vector<uint8_t>& bytes);

// A session found at an address, as the "Unirse" list shows it.
struct PartidaEncontrada {
  std::string direccion;  // host:port to join at
  AnuncioPartida anuncio;
  bool compatible = true;  // the same version as this game's (first three characters)
  uint32_t vista = 0;      // clock ticks of its latest answer
};
std::string TextoPartida(const PartidaEncontrada& p);

}  // namespace rodavia
