// The frame loop's drawing and the circuit loading, measured on what the
// race screen really draws: the circuit background, 16 cars, 320 smoke puffs
// and 16 labels on the 16-bit back buffer.
#include <benchmark/benchmark.h>

#include <cmath>

#include "fakes/Fakes.h"
#include "platform/Files.h"
#include "platform/ImageList.h"
#include "platform/Picture.h"
#include "platform/sdl/SdlText.h"
#include "race/Circuito.h"
#include "sprites/Sprites.h"

namespace rodavia {
namespace {

// A circuit-like picture: gradients and noise, so the JPEG is as heavy to
// decode as a real one.
RgbImage PaisajeDePrueba() {
  RgbImage imagen(1024, 768);
  uint32_t semilla = 12345;
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x) {
      semilla = semilla * 1103515245 + 12345;
      uint8_t* p = imagen.at(x, y);
      const int ruido = int((semilla >> 16) & 31);
      p[0] = uint8_t(60 + ruido + (x % 200 < 40 ? 60 : 0));
      p[1] = uint8_t(110 + ruido + y / 12);
      p[2] = uint8_t(50 + ruido);
    }
  return imagen;
}

Picture Tira(int fotogramas, int lado, uint8_t r, uint8_t g, uint8_t b) {
  Picture p;
  const uint16_t clave = To565(255, 0, 255);
  p.pixels = Surface16(fotogramas * lado, lado, clave);
  for (int f = 0; f < fotogramas; ++f)
    for (int y = 0; y < lado; ++y)
      for (int x = 0; x < lado; ++x) {
        const double dx = x - lado / 2.0, dy = y - lado / 2.0;
        if (dx * dx + dy * dy < lado * lado / 5.0) p.pixels.setPixel(f * lado + x, y, To565(r, g, b));
      }
  p.transparentColor = RGBColor(255, 0, 255);
  return p;
}

void BM_FrameTick(benchmark::State& state) {
  Surface16 buffer(1024, 768);
  TSpriteEngine engine;
  engine.SetSurface(&buffer);
  ImageList imagenes;
  Picture fondo;
  DecodeJpeg(EncodeJpeg(PaisajeDePrueba(), 90), fondo);
  ImageSlot& circuito = imagenes.slot("Circuito");
  circuito.setPicture(std::move(fondo));
  ImageSlot& coche = imagenes.slot("0");
  coche.setPicture(Tira(36, 36, 200, 20, 20));
  coche.frameWidth = coche.frameHeight = 36;
  coche.transparent = true;
  ImageSlot& humo = imagenes.slot("HumoAsfalto");
  humo.setPicture(Tira(4, 16, 180, 180, 180));
  humo.frameWidth = humo.frameHeight = 16;
  humo.transparent = true;

  auto* background = new TBackgroundSprite(&engine);
  background->SetMapSize(1, 1);
  background->Image = &circuito;
  background->SetZ(-1);
  for (int i = 0; i < 16; ++i) {
    auto* s = new TImageSprite(&engine);
    s->Image = &coche;
    s->Width = s->Height = 36;
    s->X = 100 + 50 * (i % 8);
    s->Y = 300 + 60 * (i / 8);
    s->Frame = i * 2;
    s->SetZ(10 + i);
  }
  for (int i = 0; i < 320; ++i) {
    auto* s = new TImageSprite(&engine);
    s->Image = &humo;
    s->Width = s->Height = 16;
    s->X = 80 + (i * 37) % 800;
    s->Y = 250 + (i * 53) % 300;
    s->Frame = i % 4;
    s->SetZ(30);
  }
  SdlText texto;
  for (auto _ : state) {
    engine.Move(0);
    engine.FreeDead();
    engine.Draw();
    for (int i = 0; i < 16; ++i)
      texto.Draw(buffer, 88 + 50 * (i % 8), 285 + 60 * (i / 8), "Jugador " + std::to_string(i + 1),
                 0xFFFFFF, 12);
    benchmark::DoNotOptimize(buffer.pixels().data());
  }
}
BENCHMARK(BM_FrameTick)->Unit(benchmark::kMicrosecond);

void BM_CircuitOpen(benchmark::State& state) {
  test::TempProgramFolder carpeta;
  {
    TCircuito c("Banco");
    for (int y = 0; y < AltoMascara; ++y)
      for (int x = 0; x < AnchoMascara; ++x) c.Celda(x, y) = "0012PBbMTt"[(x * 7 + y * 3) % 10];
    c.Grabar();
  }
  for (auto _ : state) {
    TCircuito c("Banco");
    benchmark::DoNotOptimize(c.Mascara.data());
  }
}
BENCHMARK(BM_CircuitOpen)->Unit(benchmark::kMicrosecond);

void BM_CircuitJpegDecode(benchmark::State& state) {
  const std::vector<uint8_t> jpeg = EncodeJpeg(PaisajeDePrueba(), 90);
  for (auto _ : state) {
    Picture p;
    DecodeJpeg(jpeg, p);
    benchmark::DoNotOptimize(p.pixels.pixels().data());
  }
}
BENCHMARK(BM_CircuitJpegDecode)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rodavia
