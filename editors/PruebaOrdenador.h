#pragma once
// The live test of the profile dialog's computer page: a car of the profile,
// driven by its computer driver at the chosen level from the first grid place
// of the lobby's circuit, in a race of its own. It has its own sprite engine
// and is silent; its laps are kept nowhere and nothing is shown or sent, so
// the lobby and the session never see it.
#include <string>

#include "race/Entorno.h"
#include "sprites/Sprites.h"

namespace rodavia {

class TPruebaOrdenador : public TEntornoCarrera {
 public:
  // `ventana`: the window whose circuit, pictures and input the car uses.
  TPruebaOrdenador(TEntornoCarrera& ventana, const std::string& nombre, int nivel);
  ~TPruebaOrdenador() override;

  // Whether this test still drives the window's current circuit at `nivel`.
  bool Sigue(int nivel);
  // One 30 ms tick of the race; the car with its four levels for it.
  const TCoche& Avanzar();

  TSpriteEngine& Motor() override { return motor_; }
  ImageList& Imagenes() override { return ventana_.Imagenes(); }
  SoundSystem& Sonido() override;
  InputSystem& Entradas() override { return ventana_.Entradas(); }
  TCircuito* Circuito() override { return circuito_; }
  [[noreturn]] void ErrorFatal(const std::string& mensaje) override;
  bool Colisiones() const override { return false; }
  void EncolarMarcador(const TMarcador&) override {}
  bool CompletarVuelta(TCoche&, double) override { return false; }
  void EnviarTrama(Trama, const std::string&) override {}
  bool SesionAbierta() const override { return false; }
  std::string& TramaCoches() override { return tramaCoches_; }
  int FramesDesdeEnvio() const override { return 0; }
  int FramesEntreTramas() const override { return 1; }

 private:
  TEntornoCarrera& ventana_;
  TCircuito* circuito_;
  TSpriteEngine motor_;
  std::string tramaCoches_;
  TCoche* coche_;  // the engine owns it
};

}  // namespace rodavia
