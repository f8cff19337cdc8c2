#pragma once
// What a car needs from the window it races in (the main window, or the
// profile dialog for its live control test): the circuit, the sprite engine
// and picture slots, sound and input, the on-screen text queue, the lap
// handler and the car-state frame being gathered.
#include <cstdint>
#include <string>

namespace rodavia {

class TCircuito;
class TCoche;
class TSpriteEngine;
class ImageList;
class SoundSystem;
class InputSystem;

// The frames machines exchange, by their number on the wire.
enum class Trama : int {
  Chat = 0,
  JugadorEntra = 1,
  JugadorSale = 2,
  EstadoEquipo = 3,
  Empezar = 4,
  Coches = 5,
  Vuelta = 6,
  NuevoServidor = 8,
  Opciones = 9,
  SinCircuito = 10,
  CochesFuera = 11,
  RecordCircuitoYPerfilJugadores = 12,
  FramesEntreTramas = 13,
  Version = 14,
};
constexpr int UltimoTipoTrama = 14;

// One text to draw on the next frame; a "/" splits it into two lines.
struct TMarcador {
  std::string Texto;
  int16_t X = 0, Y = 0;
  uint32_t Color = 0xFFFFFF;  // 0x00BBGGRR
  int16_t Tamanyo = 12;       // points
};

class TEntornoCarrera {
 public:
  virtual ~TEntornoCarrera() = default;

  virtual TSpriteEngine& Motor() = 0;
  virtual ImageList& Imagenes() = 0;
  virtual SoundSystem& Sonido() = 0;
  virtual InputSystem& Entradas() = 0;

  // The current circuit; nullptr when none is loaded (the profile dialog).
  virtual TCircuito* Circuito() = 0;
  // After a profile raised the circuit's record: refresh what the window shows.
  virtual void RecordCambiado() {}

  // A car picture or sound is missing: leave full screen, show the message
  // in an error box and end the program.
  [[noreturn]] virtual void ErrorFatal(const std::string& mensaje) = 0;

  // Whether cars collide (the lobby's check box).
  virtual bool Colisiones() const = 0;

  // Queues a text for the next drawn frame.
  virtual void EncolarMarcador(const TMarcador& marcador) = 0;
  // The four control bars, while the window shows them.
  virtual void MostrarNivelesControl(int derecha, int izquierda, int acelerador, int freno) {
    (void)derecha; (void)izquierda; (void)acelerador; (void)freno;
  }

  // A local car completed a lap; true when that lap won the race.
  virtual bool CompletarVuelta(TCoche& coche, double tiempo) = 0;
  // Sends a frame to every other machine (nothing without a session).
  virtual void EnviarTrama(Trama tipo, const std::string& texto) = 0;

  // The car-state frame being gathered and its cadence.
  virtual bool SesionAbierta() const = 0;
  virtual std::string& TramaCoches() = 0;
  virtual int FramesDesdeEnvio() const = 0;
  virtual int FramesEntreTramas() const = 0;
};

}  // namespace rodavia
