#pragma once
// A program folder with the least the game needs to start (sounds, race
// pictures, the default car, circuits of asphalt) and the platform fakes the
// main window is built on.
#include <memory>
#include <string>

#include "app/Principal.h"
#include "fakes/FakeTransport.h"
#include "fakes/Fakes.h"
#include "platform/Files.h"
#include "platform/Picture.h"
#include "race/Circuito.h"

namespace rodavia::test {

inline std::string Bmp(int ancho, int alto) {
  RgbImage imagen(ancho, alto);
  for (int y = 0; y < alto; ++y)
    for (int x = 0; x < ancho; ++x) imagen.at(x, y)[1] = uint8_t(x % 200);
  const auto bytes = EncodeBmp24(imagen);
  return std::string(bytes.begin(), bytes.end());
}

struct Mundo {
  TempProgramFolder carpeta;
  FakeClock reloj{46000.5, 10000};
  ScriptedMessages mensajes;
  FakeDisplay pantalla;
  FakeText texto;
  FakeSound sonido;
  FakeInput entrada;
  FakeRed red;
  FakeTransport transporte{red, "10.0.0.1"};

  Mundo() {
    for (const char* onda : {"UltimaVuelta", "Victoria", "Record", "Sirena", "Motor", "Derrape", "Golpe"})
      carpeta.Write(std::string("Sonidos/") + onda + ".wav", "RIFF");
    carpeta.Write("Graficos/Semaforo.bmp", Bmp(300, 50));
    for (const char* humo : {"HumoAsfalto", "HumoNoAsfalto", "HumoMotor"})
      carpeta.Write(std::string("Graficos/") + humo + ".bmp", Bmp(64, 16));
    carpeta.Write("Coches/F1-Vanto-Rojo.bmp", Bmp(1296, 36));
    files::CreateFolder("Circuitos");
  }

  // A circuit of asphalt with a plain picture; `preparar` may change it first.
  template <class F = void (*)(TCircuito&)>
  void Circuito(const std::string& nombre, F preparar = [](TCircuito&) {}) {
    const auto jpg = EncodeJpeg(RgbImage(1024, 768), 80);
    carpeta.Write("Circuitos/" + nombre + ".jpg", std::string(jpg.begin(), jpg.end()));
    TCircuito c(nombre);
    c.Mascara.fill('0');
    preparar(c);
    c.Grabar();
  }

  std::unique_ptr<TF_Principal> Arrancar() {
    auto p = std::make_unique<TF_Principal>(Dispositivos{pantalla, texto, sonido, entrada, transporte});
    p->FormCreate();
    return p;
  }
};

}  // namespace rodavia::test
