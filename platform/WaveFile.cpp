#include "platform/WaveFile.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>

namespace rodavia {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// The sub-format GUID of PCM after its leading 16-bit format code.
constexpr uint8_t kPcmGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                      0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return uint32_t(U16(p)) | uint32_t(U16(p + 2)) << 16; }
bool IdIs(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

struct Chunk {
  const uint8_t* id;
  std::span<const uint8_t> body;
};

// The chunks that follow the RIFF header, in file order; nullopt with a reason
// when a chunk claims more bytes than the file holds.
std::optional<std::vector<Chunk>> SplitChunks(std::span<const uint8_t> area, std::string& reason) {
  std::vector<Chunk> chunks;
  size_t at = 0;
  while (area.size() - at >= 8) {
    const uint8_t* header = area.data() + at;
    uint32_t size = U32(header + 4);
    at += 8;
    if (size > area.size() - at) {
      reason = "chunk \"" + std::string(reinterpret_cast<const char*>(header), 4) +
               "\" is truncated";
      return std::nullopt;
    }
    chunks.push_back({header, area.subspan(at, size)});
    at += size;
    if (size % 2 == 1 && at < area.size()) ++at;  // odd chunks are padded to even
  }
  return chunks;
}

bool ReadFormat(std::span<const uint8_t> fmt, WaveData& wave, std::string& reason) {
  if (fmt.size() < 16) {
    reason = "format chunk is too short";
    return false;
  }
  uint16_t tag = U16(fmt.data());
  if (tag == kFormatExtensible) {
    if (fmt.size() < 40) {
      reason = "extensible format chunk is too short";
      return false;
    }
    const uint8_t* guid = fmt.data() + 24;
    if (U16(guid) != kFormatPcm || std::memcmp(guid + 2, kPcmGuidTail, 14) != 0) {
      reason = "extensible sub-format is not PCM";
      return false;
    }
  } else if (tag != kFormatPcm) {
    reason = "format " + std::to_string(tag) + " is not PCM";
    return false;
  }
  uint16_t channels = U16(fmt.data() + 2);
  uint32_t rate = U32(fmt.data() + 4);
  uint16_t bits = U16(fmt.data() + 14);
  if (channels != 1 && channels != 2) {
    reason = std::to_string(channels) + " channels (only mono or stereo)";
    return false;
  }
  if (bits != 8 && bits != 16) {
    reason = std::to_string(bits) + " bits a sample (only 8 or 16)";
    return false;
  }
  if (rate == 0 || rate > uint32_t(std::numeric_limits<int>::max())) {
    reason = "sample rate " + std::to_string(rate) + " is not usable";
    return false;
  }
  wave.rate = int(rate);
  wave.channels = channels;
  wave.bits = bits;
  return true;
}

}  // namespace

bool ParseWave(std::span<const uint8_t> bytes, WaveData& wave, std::string& reason) {
  if (bytes.size() < 12 || !IdIs(bytes.data(), "RIFF") || !IdIs(bytes.data() + 8, "WAVE")) {
    reason = "not a RIFF/WAVE file";
    return false;
  }
  // Trust the RIFF size only as far as the file goes: writers that were cut
  // short leave a size larger than what they wrote.
  size_t riffEnd = std::min<size_t>(bytes.size(), size_t(U32(bytes.data() + 4)) + 8);
  auto chunks = SplitChunks(bytes.subspan(12, riffEnd - 12), reason);
  if (!chunks) return false;
  const Chunk* fmt = nullptr;
  const Chunk* data = nullptr;
  for (const Chunk& c : *chunks) {
    if (!fmt && IdIs(c.id, "fmt ")) fmt = &c;
    if (!data && IdIs(c.id, "data")) data = &c;
  }
  if (!fmt || !data) {
    reason = fmt ? "no data chunk" : "no format chunk";
    return false;
  }
  WaveData read;
  if (!ReadFormat(fmt->body, read, reason)) return false;
  size_t frameSize = size_t(read.channels) * size_t(read.bits / 8);
  size_t wholeFrames = data->body.size() / frameSize * frameSize;
  read.samples.assign(data->body.begin(), data->body.begin() + wholeFrames);
  wave = std::move(read);
  return true;
}

bool ReadWaveFile(const std::filesystem::path& path, WaveData& wave, std::string& reason) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    reason = "cannot open " + path.string();
    return false;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    reason = "cannot read " + path.string();
    return false;
  }
  return ParseWave(bytes, wave, reason);
}

}  // namespace rodavia
