#pragma once
// The game's sounds, synthesised: the engine loop, skid, crash and the four
// race sounds, written as 16-bit PCM mono WAV files.
#include <functional>
#include <string>
#include <vector>

namespace rodavia::datos {

// The engine wave's own rate and the length of one firing in samples. The
// game plays the engine at (|speed| + 150) x 5 Hz, 750 Hz at rest and
// 25750 Hz at top speed; one firing every 36 samples makes those a 21 Hz
// idle and a 715 Hz scream at full revs.
constexpr int FrecuenciaMotor = 11025, MuestrasPorExplosion = 36, ExplosionesBucle = 128;

struct Sonido {
  std::string archivo;
  int frecuencia;  // samples a second
  std::function<std::vector<float>()> sintetizar;  // -1..1
};

const std::vector<Sonido>& ListaSonidos();
std::string CodificarWav(const std::vector<float>& muestras, int frecuencia);

}  // namespace rodavia::datos
