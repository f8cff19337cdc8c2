#include "platform/sdl/WaveFile.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/Files.h"

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

// SDL takes the memory a chunk claims before reading it, so that a 50-byte
// file claiming gigabytes would take them. Each chunk's size is cut to the
// bytes that follow it, which is also what a recorder cut off before it
// patched its sizes leaves to read. The chunks follow "RIFF", size, "WAVE";
// SDL also reads a file that starts at "WAVE".
void FitChunksToTheFile(std::vector<uint8_t>& bytes) {
  constexpr size_t kHeader = 8;
  const bool bare = bytes.size() >= 4 && std::memcmp(bytes.data(), "WAVE", 4) == 0;
  for (size_t at = bare ? 4 : 12; bytes.size() >= kHeader && at <= bytes.size() - kHeader;) {
    uint8_t* size = &bytes[at + 4];
    const size_t claimed = size_t(size[0]) | size_t(size[1]) << 8 | size_t(size[2]) << 16 | size_t(size[3]) << 24;
    const size_t there = std::min(claimed, bytes.size() - at - kHeader);
    for (int i = 0; i < 4; ++i) size[i] = uint8_t(there >> (8 * i));
    at += kHeader + there + there % 2;  // odd chunks are padded to even
  }
}

// Reads the wave from `source` (closed here) and converts its samples.
bool LoadWave(SDL_RWops* source, WaveData& wave, std::string& reason) {
  if (!source) return Fail(reason);
  SDL_AudioSpec audio;
  Uint8* buffer = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV_RW(source, 1, &audio, &buffer, &length)) return Fail(reason);
  const Uint8 channels = audio.channels == 1 ? 1 : 2;
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, audio.format, audio.channels, audio.freq, PlayableFormat(audio.format), channels,
                        audio.freq) < 0) {
    SDL_FreeWAV(buffer);
    return Fail(reason);
  }
  if (length > uint32_t(INT_MAX / cvt.len_mult)) {
    SDL_FreeWAV(buffer);
    reason = "wave too long to convert";
    return false;
  }
  // A header whose block size disagrees with its channels and bits leaves
  // SDL handing over a partial last frame, which OpenAL refuses: the
  // samples are cut to whole frames of the format they are read in.
  length -= length % uint32_t(audio.channels * (SDL_AUDIO_BITSIZE(audio.format) / 8));
  WaveData read;
  read.rate = audio.freq;
  read.channels = channels;
  read.bits = SDL_AUDIO_BITSIZE(PlayableFormat(audio.format));
  read.samples.resize(size_t(length) * size_t(cvt.len_mult));
  if (length > 0) std::memcpy(read.samples.data(), buffer, length);
  SDL_FreeWAV(buffer);
  size_t converted = length;
  if (length > 0 && cvt.needed) {
    cvt.buf = read.samples.data();
    cvt.len = int(length);
    if (SDL_ConvertAudio(&cvt) < 0) return Fail(reason);
    converted = size_t(cvt.len_cvt);
  }
  read.samples.resize(converted - converted % size_t(channels * read.bits / 8));
  wave = std::move(read);
  return true;
}

}  // namespace

bool ParseWave(std::span<const uint8_t> bytes, WaveData& wave, std::string& reason) {
  if (bytes.size() > size_t(INT_MAX)) {
    reason = "file too large";
    return false;
  }
  std::vector<uint8_t> fitted(bytes.begin(), bytes.end());
  FitChunksToTheFile(fitted);
  return LoadWave(SDL_RWFromConstMem(fitted.data(), int(fitted.size())), wave, reason);
}

bool ReadWaveFile(const std::filesystem::path& path, WaveData& wave, std::string& reason) {
  std::vector<uint8_t> bytes;
  if (!files::ReadAll(path, bytes)) {
    reason = "cannot read " + path.string();
    return false;
  }
  return ParseWave(bytes, wave, reason);
}

}  // namespace rodavia
