#pragma once
// What a received frame changes here, decided as a plain function of this
// machine's session (its roster, who added each player, its own state, the
// host) and the frame, before anything is applied. A frame only ever acts on
// the players its sender added; frames that only the host sends are ignored
// from anybody else; a malformed frame raises ErrorConversion and changes
// nothing.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "net/Tramas.h"
#include "platform/Transport.h"

namespace rodavia {

// The member a frame came from, as this machine knows it.
struct Remitente {
  MemberId id = 0;
  std::string equipo;
  int16_t estado = 0;      // its team state as last announced
  bool servidor = false;   // it holds the host role
};

// One car of the race roster.
struct JugadorDelModelo {
  std::string nombre;
  int indice = 0;
  bool local = false;
  MemberId miembro = 0;  // the member that added it (cars of other machines)
  std::string equipo;
};

// This machine as the receivers see it.
struct ModeloSesion {
  std::vector<JugadorDelModelo> jugadores;  // in roster order
  int16_t estadoPropio = 0;
  bool enCarrera = false;  // from the race start to its end
  std::string circuito;    // the current circuit's name, empty when none
  long long unidadesRecord = 0;  // its record in 10^-13 day
  std::vector<std::string> circuitos;  // the circuits this machine has
  std::string version;
  // Whether a car picture named by another machine can be shown here.
  std::function<bool(const std::string&)> imagenDisponible;
};

struct LineaChat {
  std::string tipo, texto;
  bool operator==(const LineaChat&) const = default;
};

// Everything one frame changes; empty fields change nothing.
struct Decision {
  std::vector<LineaChat> lineas;
  std::optional<JugadorEntra> admitir;  // a car to add for the sender; no picture: the default one
  std::optional<size_t> quitar;         // roster position of a car to remove
  std::optional<int16_t> estadoRemitente;
  bool armarSalida = false;  // start the race shortly
  std::vector<std::pair<size_t, EstadoCoche>> mover;
  struct Vuelta {
    size_t posicion = 0;
    int vuelta = 0;
    double tiempo = 0;
  };
  std::optional<Vuelta> vuelta;
  struct Ajustes {
    Opciones opciones;
    int indiceCircuito = -1;  // in ModeloSesion::circuitos; -1: not here
  };
  std::optional<Ajustes> ajustes;
  std::vector<size_t> ocultar;
  std::optional<RecordEnTrama> record;  // a better record to take
  std::string circuitoEstadisticas;
  std::vector<std::pair<size_t, EstadisticasJugador>> estadisticas;
  std::optional<int> framesEntreTramas;
  std::optional<std::string> versionDistinta;  // the host's version, when it is not ours
};

// The decision for one message from `de`. Messages too short for their
// envelope or of an unknown type change nothing.
Decision Decidir(const ModeloSesion& modelo, const Remitente& de, const uint8_t* datos, size_t tamanyo);

// The longest chat line shown, in characters.
constexpr size_t kLongitudChat = 70;

// Whether a malformed frame from a member is worth a chat line now: at most
// one a second per member. `ultimo` is the member's last one (0: none yet).
bool AvisarTramaErronea(uint32_t& ultimo, uint32_t ahora);

}  // namespace rodavia
