#pragma once
// A race window for tests and benchmarks: a sprite engine, an image list with
// the car slots and synthetic smoke pictures, recorded sound and input, a
// circuit of asphalt, and records of the texts queued, the frames sent and
// the laps reported. It makes a temporary program folder holding the default
// car picture and the three default car sounds.
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "fakes/Fakes.h"
#include "platform/ImageList.h"
#include "race/Circuito.h"
#include "race/Entorno.h"
#include "sprites/Sprites.h"

namespace rodavia::test {

// What FakeEntorno::ErrorFatal throws: the program would end here.
struct FinDelPrograma : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct VueltaCompletada {
  TCoche* coche;
  double tiempo;
};

class FakeEntorno : public TEntornoCarrera {
 public:
  FakeEntorno();
  ~FakeEntorno() override;

  TSpriteEngine& Motor() override { return motor; }
  ImageList& Imagenes() override { return imagenes; }
  SoundSystem& Sonido() override { return sonido; }
  InputSystem& Entradas() override { return entradas; }
  TCircuito* Circuito() override { return circuito.get(); }
  void RecordCambiado() override { ++recordsCambiados; }
  [[noreturn]] void ErrorFatal(const std::string& mensaje) override;
  bool Colisiones() const override { return colisiones; }
  void EncolarMarcador(const TMarcador& m) override { marcadores.push_back(m); }
  void MostrarNivelesControl(int derecha, int izquierda, int acelerador, int freno) override {
    niveles = {derecha, izquierda, acelerador, freno};
  }
  bool CompletarVuelta(TCoche& coche, double tiempo) override;
  void EnviarTrama(Trama tipo, const std::string& texto) override { tramas.push_back({int(tipo), texto}); }
  bool SesionAbierta() const override { return sesionAbierta; }
  std::string& TramaCoches() override { return tramaCoches; }
  int FramesDesdeEnvio() const override { return framesDesdeEnvio; }
  int FramesEntreTramas() const override { return framesEntreTramas; }

  // One tick of the frame loop: the move pass, then the dead sprites freed.
  void Tick();
  // Fills the grid cells (cx0..cx1, cy0..cy1) with `suelo`. A car whose
  // top-left corner is at (x, y) stands on cell (round((x + 14) / 4), round((y + 14) / 4)).
  void Pintar(int cx0, int cy0, int cx1, int cy1, char suelo);

  // Declared first: the program folder outlives everything that reads it.
  TempProgramFolder carpeta;
  FakeClock reloj;
  ScriptedMessages mensajes;
  TSpriteEngine motor;
  ImageList imagenes;
  FakeSound sonido;
  FakeInput entradas;
  std::unique_ptr<TCircuito> circuito;

  bool colisiones = true;
  bool sesionAbierta = false;
  std::string tramaCoches;
  int framesDesdeEnvio = 0, framesEntreTramas = 3;
  bool carreraTerminada = false;  // what CompletarVuelta answers

  std::vector<TMarcador> marcadores;
  std::vector<std::pair<int, std::string>> tramas;
  std::vector<VueltaCompletada> vueltas;
  std::vector<std::string> errores;
  std::vector<int> niveles;
  int recordsCambiados = 0;
};

}  // namespace rodavia::test
