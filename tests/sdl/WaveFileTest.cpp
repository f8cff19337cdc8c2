#include "platform/sdl/WaveFile.h"

#include <gtest/gtest.h>

#include <cstring>

namespace rodavia {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void PutChunk(Bytes& b, const char* id, const Bytes& body, bool pad = true) {
  b.insert(b.end(), id, id + 4);
  Put32(b, uint32_t(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  if (pad && body.size() % 2 == 1) b.push_back(0);
}
Bytes Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  Bytes f;
  Put16(f, tag);
  Put16(f, channels);
  Put32(f, rate);
  Put32(f, rate * channels * bits / 8);
  Put16(f, uint16_t(channels * bits / 8));
  Put16(f, bits);
  return f;
}
Bytes ExtensibleFmt(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t subFormat) {
  Bytes f = Fmt(0xFFFE, channels, rate, bits);
  Put16(f, 22);
  Put16(f, bits);
  Put32(f, channels == 2 ? 3 : 4);
  Put16(f, subFormat);
  for (uint8_t g : {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71})
    f.push_back(g);
  return f;
}
// A RIFF/WAVE file around the given chunks, with a correct RIFF size.
Bytes Riff(const Bytes& chunks) {
  Bytes b = {'R', 'I', 'F', 'F'};
  Put32(b, uint32_t(chunks.size() + 4));
  b.insert(b.end(), {'W', 'A', 'V', 'E'});
  b.insert(b.end(), chunks.begin(), chunks.end());
  return b;
}
Bytes Simple(const Bytes& fmt, const Bytes& data) {
  Bytes c;
  PutChunk(c, "fmt ", fmt);
  PutChunk(c, "data", data);
  return Riff(c);
}

struct Parsed {
  bool ok;
  WaveData wave;
  std::string reason;
};
Parsed Parse(const Bytes& b) {
  Parsed p;
  p.ok = ParseWave(b, p.wave, p.reason);
  return p;
}

TEST(WaveFile, ReadsEachPcmLayout) {
  struct Case {
    uint16_t channels, bits;
    uint32_t rate;
  } cases[] = {{1, 8, 11025}, {2, 8, 22050}, {1, 16, 44100}, {2, 16, 8000}};
  for (const Case& c : cases) {
    Bytes samples = {1, 2, 3, 4, 5, 6, 7, 8};
    Parsed p = Parse(Simple(Fmt(1, c.channels, c.rate, c.bits), samples));
    ASSERT_TRUE(p.ok) << p.reason;
    EXPECT_EQ(p.wave.rate, int(c.rate));
    EXPECT_EQ(p.wave.channels, c.channels);
    EXPECT_EQ(p.wave.bits, c.bits);
    EXPECT_EQ(p.wave.samples, samples);
  }
}

TEST(WaveFile, ReadsExtensibleWaves) {
  Parsed p = Parse(Simple(ExtensibleFmt(2, 48000, 16, 1), {9, 8, 7, 6}));
  ASSERT_TRUE(p.ok) << p.reason;
  EXPECT_EQ(p.wave.rate, 48000);
  EXPECT_EQ(p.wave.channels, 2);
  EXPECT_EQ(p.wave.bits, 16);
  EXPECT_EQ(p.wave.samples, (Bytes{9, 8, 7, 6}));

  Bytes cut = ExtensibleFmt(1, 48000, 16, 1);
  cut.resize(30);
  EXPECT_FALSE(Parse(Simple(cut, {0, 0})).ok);
}

// 16-bit samples as the machine holds them.
std::vector<int16_t> Samples16(const WaveData& wave) {
  std::vector<int16_t> samples(wave.samples.size() / 2);
  std::memcpy(samples.data(), wave.samples.data(), samples.size() * 2);
  return samples;
}

TEST(WaveFile, EncodingsOpenAlCannotTakeAreConverted) {
  // 24-bit PCM, half of full scale then its negative.
  Parsed deep = Parse(Simple(Fmt(1, 1, 22050, 24), {0x00, 0x00, 0x40, 0x00, 0x00, 0xC0}));
  ASSERT_TRUE(deep.ok) << deep.reason;
  EXPECT_EQ(deep.wave.bits, 16);
  const auto deepSamples = Samples16(deep.wave);
  ASSERT_EQ(deepSamples.size(), 2u);
  EXPECT_NEAR(deepSamples[0], 0x4000, 2);
  EXPECT_NEAR(deepSamples[1], -0x4000, 2);
  // 32-bit floating point, plain and extensible.
  Bytes half = {0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, 0xBF};  // 0.5f, -0.5f
  for (const Bytes& fmt : {Fmt(3, 1, 44100, 32), ExtensibleFmt(1, 44100, 32, 3)}) {
    Parsed floats = Parse(Simple(fmt, half));
    ASSERT_TRUE(floats.ok) << floats.reason;
    EXPECT_EQ(floats.wave.rate, 44100);
    EXPECT_EQ(floats.wave.bits, 16);
    const auto samples = Samples16(floats.wave);
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_NEAR(samples[0], 0x4000, 2);
    EXPECT_NEAR(samples[1], -0x4000, 2);
  }
  // Four channels become two; 8-bit stays 8-bit.
  Parsed quad = Parse(Simple(Fmt(1, 4, 8000, 8), {128, 128, 128, 128, 200, 200, 200, 200}));
  ASSERT_TRUE(quad.ok) << quad.reason;
  EXPECT_EQ(quad.wave.channels, 2);
  EXPECT_EQ(quad.wave.bits, 8);
  EXPECT_EQ(quad.wave.samples.size(), 4u);
}

TEST(WaveFile, SkipsOtherChunksAndTheirPadding) {
  Bytes c;
  PutChunk(c, "LIST", {'a', 'b', 'c'});  // odd: one pad byte follows
  PutChunk(c, "fmt ", Fmt(1, 1, 22050, 8));
  PutChunk(c, "fact", {1, 0, 0, 0, 0});
  PutChunk(c, "data", {10, 20, 30});
  PutChunk(c, "junk", {1});
  Parsed p = Parse(Riff(c));
  ASSERT_TRUE(p.ok) << p.reason;
  EXPECT_EQ(p.wave.samples, (Bytes{10, 20, 30}));

  // An odd last chunk may lack its pad byte.
  Bytes unpadded;
  PutChunk(unpadded, "fmt ", Fmt(1, 1, 22050, 8));
  PutChunk(unpadded, "data", {10, 20, 30}, false);
  p = Parse(Riff(unpadded));
  ASSERT_TRUE(p.ok) << p.reason;
  EXPECT_EQ(p.wave.samples, (Bytes{10, 20, 30}));
}

TEST(WaveFile, DropsAPartialLastFrame) {
  Parsed p = Parse(Simple(Fmt(1, 2, 22050, 16), {1, 2, 3, 4, 5, 6, 7}));
  ASSERT_TRUE(p.ok) << p.reason;
  EXPECT_EQ(p.wave.samples, (Bytes{1, 2, 3, 4}));
}

// A header whose block size disagrees with its channels and bits: what is
// read is whole frames of the channels and bits it names, or nothing with a
// reason, never a partial frame OpenAL would refuse without a word.
TEST(WaveFile, ABlockSizeAtOddsWithTheFrameStillGivesWholeFrames) {
  for (const uint16_t block : {1, 3, 6}) {
    Bytes fmt = Fmt(1, 2, 22050, 16);
    fmt[12] = uint8_t(block);
    Parsed p = Parse(Simple(fmt, Bytes(4 * 5 + 2, 7)));
    if (!p.ok) {
      EXPECT_FALSE(p.reason.empty());
      continue;
    }
    EXPECT_EQ(p.wave.channels, 2);
    EXPECT_EQ(p.wave.bits, 16);
    EXPECT_EQ(p.wave.samples.size() % 4, 0u) << "block size " << block;
    EXPECT_FALSE(p.wave.samples.empty());
  }
}

TEST(WaveFile, RejectsWhatIsNoWaveWithAReason) {
  Bytes noData;
  PutChunk(noData, "fmt ", Fmt(1, 1, 22050, 8));
  Bytes noFmt;
  PutChunk(noFmt, "data", {1, 2});
  struct Case {
    const char* what;
    Bytes file;
  } cases[] = {
      {"empty", {}},
      {"not riff", Bytes(64, 'x')},
      // A recorder cut off before it patched its header: "RIFF", size 2, "WAVE".
      {"cut header", {'R', 'I', 'F', 'F', 2, 0, 0, 0, 'W', 'A', 'V', 'E'}},
      {"rate 0", Simple(Fmt(1, 1, 0, 8), {0})},
      {"short fmt", Simple(Bytes(12, 1), {0})},
      {"no data", Riff(noData)},
      {"no fmt", Riff(noFmt)},
  };
  for (const Case& c : cases) {
    Parsed p = Parse(c.file);
    EXPECT_FALSE(p.ok) << c.what;
    EXPECT_FALSE(p.reason.empty()) << c.what;
  }
}

TEST(WaveFile, TruncatedFilesReadOnlyTheWholeFramesThatAreThere) {
  Bytes whole = Simple(Fmt(1, 2, 22050, 16), Bytes(40, 7));
  // Every prefix either fails with a reason or reads whole frames of what is there.
  for (size_t n = 0; n < whole.size(); ++n) {
    Parsed p = Parse(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(n)));
    if (p.ok) {
      EXPECT_EQ(p.wave.samples.size() % 4, 0u) << n;
      EXPECT_LE(p.wave.samples.size() + 44, n) << n;
    } else {
      EXPECT_FALSE(p.reason.empty()) << n;
    }
  }
  // A chunk size near 4 GiB must not wrap the bounds check.
  Bytes huge = whole;
  huge[40] = huge[41] = huge[42] = huge[43] = 0xFF;
  Parsed p = Parse(huge);
  EXPECT_LE(p.wave.samples.size(), 40u);
}

TEST(WaveFile, ARiffSizeBeyondTheFileStillReadsWhatIsThere) {
  // A writer cut short leaves a RIFF size larger than what it wrote.
  Bytes longer = Simple(Fmt(1, 1, 8000, 8), {5, 6});
  longer[4] = 0xF0;
  longer[5] = 0xFF;
  Parsed p = Parse(longer);
  ASSERT_TRUE(p.ok) << p.reason;
  EXPECT_EQ(p.wave.samples, (Bytes{5, 6}));
}

}  // namespace
}  // namespace rodavia
