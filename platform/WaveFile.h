#pragma once
// Reading RIFF/WAVE files of PCM samples: 8-bit unsigned or 16-bit signed,
// mono or stereo, any rate, plain or WAVE_FORMAT_EXTENSIBLE. Every size in
// the file is checked against the bytes that are really there.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace rodavia {

struct WaveData {
  int rate = 0;      // frames per second
  int channels = 0;  // 1 or 2
  int bits = 0;      // 8 (unsigned) or 16 (signed, little-endian)
  std::vector<uint8_t> samples;  // whole frames only, as stored in the file
};

// False with a reason when the bytes are not a wave we can play.
bool ParseWave(std::span<const uint8_t> bytes, WaveData& wave, std::string& reason);
bool ReadWaveFile(const std::filesystem::path& path, WaveData& wave, std::string& reason);

}  // namespace rodavia
