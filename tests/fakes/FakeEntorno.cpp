#include "fakes/FakeEntorno.h"

#include <string>

#include "platform/Picture.h"
#include "race/Coche.h"

namespace rodavia::test {

namespace {

// A strip of `frames` square frames of `side` pixels, each frame a shade of
// its own, on a magenta key colour at the bottom-left pixel.
RgbImage Tira(int frames, int side) {
  RgbImage img(frames * side, side);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < frames * side; ++x) {
      uint8_t* p = img.at(x, y);
      p[0] = uint8_t(40 + 5 * (x / side));
      p[1] = uint8_t(200 - 5 * (x / side));
      p[2] = 90;
    }
  uint8_t* key = img.at(0, side - 1);
  key[0] = 255, key[1] = 0, key[2] = 255;
  return img;
}

void PonerTira(ImageSlot& slot, int frames, int side) {
  Picture picture;
  DecodeBmp(EncodeBmp24(Tira(frames, side)), picture);
  slot.setPicture(std::move(picture));
  slot.frameWidth = slot.frameHeight = side;
  slot.transparent = true;
}

}  // namespace

FakeEntorno::FakeEntorno() {
  const auto bmp = EncodeBmp24(Tira(36, 36));
  carpeta.Write("Coches/" + std::string(ImagenCochePorDefecto), std::string(bmp.begin(), bmp.end()));
  for (const char* onda : {"Motor.wav", "Derrape.wav", "Golpe.wav"})
    carpeta.Write(std::string("Sonidos/") + onda, "RIFF");
  carpeta.Write("Jugadores/.keep", "");
  carpeta.Write("Circuitos/.keep", "");

  for (int i = 0; i <= 16; ++i) PonerTira(imagenes.slot(std::to_string(i)), 36, 36);
  PonerTira(imagenes.slot("HumoMotor"), 4, 32);
  PonerTira(imagenes.slot("HumoAsfalto"), 4, 16);
  PonerTira(imagenes.slot("HumoNoAsfalto"), 4, 16);

  circuito = std::make_unique<TCircuito>("Prueba");
  circuito->Mascara.fill(suelo::Asfalto);
}

FakeEntorno::~FakeEntorno() {
  // Cars and puffs go before the image list and sound they use.
  while (!motor.Children().empty()) delete motor.Children().back();
}

void FakeEntorno::ErrorFatal(const std::string& mensaje) {
  errores.push_back(mensaje);
  throw FinDelPrograma(mensaje);
}

bool FakeEntorno::CompletarVuelta(TCoche& coche, double tiempo) {
  vueltas.push_back({&coche, tiempo});
  return carreraTerminada;
}

void FakeEntorno::Tick() {
  motor.Move(0);
  motor.FreeDead();
}

void FakeEntorno::Pintar(int cx0, int cy0, int cx1, int cy1, char s) {
  for (int cy = cy0; cy <= cy1; ++cy)
    for (int cx = cx0; cx <= cx1; ++cx) circuito->Celda(cx, cy) = s;
}

}  // namespace rodavia::test
