#include "platform/sdl/WaveFile.h"

#include <SDL.h>

#include <climits>
#include <cstring>

namespace rodavia {
namespace {

bool Fail(std::string& reason) {
  reason = SDL_GetError();
  return false;
}

// What OpenAL takes for what the file holds.
SDL_AudioFormat PlayableFormat(SDL_AudioFormat format) {
  return SDL_AUDIO_BITSIZE(format) == 8 ? AUDIO_U8 : AUDIO_S16SYS;
}

// Reads the wave from `source` (closed here) and converts its samples.
bool LoadWave(SDL_RWops* source, WaveData& wave, std::string& reason) {
  if (!source) return Fail(reason);
  SDL_AudioSpec spec;
  Uint8* buffer = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV_RW(source, 1, &spec, &buffer, &length)) return Fail(reason);
  const Uint8 channels = spec.channels == 1 ? 1 : 2;
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, PlayableFormat(spec.format), channels,
                        spec.freq) < 0 ||
      length > uint32_t(INT_MAX / cvt.len_mult)) {
    SDL_FreeWAV(buffer);
    return Fail(reason);
  }
  WaveData read;
  read.rate = spec.freq;
  read.channels = channels;
  read.bits = SDL_AUDIO_BITSIZE(PlayableFormat(spec.format));
  read.samples.resize(size_t(length) * size_t(cvt.len_mult));
  std::memcpy(read.samples.data(), buffer, length);
  SDL_FreeWAV(buffer);
  cvt.buf = read.samples.data();
  cvt.len = int(length);
  if (cvt.needed && SDL_ConvertAudio(&cvt) < 0) return Fail(reason);
  read.samples.resize(cvt.needed ? size_t(cvt.len_cvt) : length);
  wave = std::move(read);
  return true;
}

}  // namespace

bool ParseWave(std::span<const uint8_t> bytes, WaveData& wave, std::string& reason) {
  if (bytes.size() > size_t(INT_MAX)) {
    reason = "file too large";
    return false;
  }
  return LoadWave(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), wave, reason);
}

bool ReadWaveFile(const std::filesystem::path& path, WaveData& wave, std::string& reason) {
  return LoadWave(SDL_RWFromFile(path.c_str(), "rb"), wave, reason);
}

}  // namespace rodavia
