// Waves: any bytes load and convert, or fail, without fault.
// fuzz-link: rodavia_sdl
// fuzz-seeds: Sonidos/*.wav
#include <string>

#include "platform/sdl/WaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rodavia::WaveData wave;
  std::string reason;
  rodavia::ParseWave({data, size}, wave, reason);
  return 0;
}
