#pragma once
// Reading WAV files through SDL's loader, so that every wave a player drops
// in plays: PCM of any depth, floating point, A-law, mu-law, IMA and MS
// ADPCM, plain or WAVE_FORMAT_EXTENSIBLE. What OpenAL cannot take is
// converted: 8-bit stays unsigned 8-bit, every other depth becomes signed
// 16-bit in the machine's byte order, and more than two channels become
// stereo. Chunk sizes are cut to the bytes the file holds.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace rodavia {

struct WaveData {
  int rate = 0;      // frames per second
  int channels = 0;  // 1 or 2
  int bits = 0;      // 8 (unsigned) or 16 (signed, native byte order)
  std::vector<uint8_t> samples;  // whole frames
};

// False with a reason when the bytes are not a wave we can play.
bool ParseWave(std::span<const uint8_t> bytes, WaveData& wave, std::string& reason);
bool ReadWaveFile(const std::filesystem::path& path, WaveData& wave, std::string& reason);

}  // namespace rodavia
