#include "platform/WaveFile.h"

#include <gtest/gtest.h>

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

TEST(WaveFile, ReadsExtensiblePcmOnly) {
  Parsed p = Parse(Simple(ExtensibleFmt(2, 48000, 16, 1), {9, 8, 7, 6}));
  ASSERT_TRUE(p.ok) << p.reason;
  EXPECT_EQ(p.wave.rate, 48000);
  EXPECT_EQ(p.wave.channels, 2);
  EXPECT_EQ(p.wave.bits, 16);
  EXPECT_EQ(p.wave.samples, (Bytes{9, 8, 7, 6}));

  Parsed floats = Parse(Simple(ExtensibleFmt(2, 48000, 16, 3), {9, 8, 7, 6}));
  EXPECT_FALSE(floats.ok);
  EXPECT_NE(floats.reason.find("not PCM"), std::string::npos) << floats.reason;

  Bytes cut = ExtensibleFmt(1, 48000, 16, 1);
  cut.resize(30);
  EXPECT_FALSE(Parse(Simple(cut, {0, 0})).ok);
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

TEST(WaveFile, RejectsWhatItCannotPlay) {
  struct Case {
    const char* what;
    Bytes file;
    const char* reason;
  } cases[] = {
      {"empty", {}, "not a RIFF/WAVE"},
      {"not riff", Bytes(64, 'x'), "not a RIFF/WAVE"},
      {"float", Simple(Fmt(3, 1, 22050, 16), {0, 0}), "not PCM"},
      {"adpcm", Simple(Fmt(2, 1, 22050, 4), {0, 0}), "not PCM"},
      {"24 bits", Simple(Fmt(1, 1, 22050, 24), {0, 0, 0}), "24 bits"},
      {"3 channels", Simple(Fmt(1, 3, 22050, 8), {0, 0, 0}), "3 channels"},
      {"rate 0", Simple(Fmt(1, 1, 0, 8), {0}), "sample rate 0"},
      {"short fmt", Simple(Bytes(12, 1), {0}), "too short"},
  };
  for (const Case& c : cases) {
    Parsed p = Parse(c.file);
    EXPECT_FALSE(p.ok) << c.what;
    EXPECT_NE(p.reason.find(c.reason), std::string::npos) << c.what << ": " << p.reason;
  }
  Bytes noData;
  PutChunk(noData, "fmt ", Fmt(1, 1, 22050, 8));
  EXPECT_EQ(Parse(Riff(noData)).reason, "no data chunk");
  Bytes noFmt;
  PutChunk(noFmt, "data", {1, 2});
  EXPECT_EQ(Parse(Riff(noFmt)).reason, "no format chunk");
}

TEST(WaveFile, TruncatedFilesFailWithoutReadingPastTheEnd) {
  Bytes whole = Simple(Fmt(1, 2, 22050, 16), Bytes(40, 7));
  Parsed cut = Parse(Bytes(whole.begin(), whole.end() - 3));
  EXPECT_FALSE(cut.ok);
  EXPECT_EQ(cut.reason, "chunk \"data\" is truncated");
  // Every prefix either fails or is read in full frames from what is there.
  for (size_t n = 0; n < whole.size(); ++n) {
    Parsed p = Parse(Bytes(whole.begin(), whole.begin() + n));
    EXPECT_FALSE(p.ok) << n;
    EXPECT_FALSE(p.reason.empty()) << n;
  }
  // A chunk size near 4 GiB must not wrap the bounds check.
  Bytes huge = whole;
  huge[40] = huge[41] = huge[42] = huge[43] = 0xFF;
  EXPECT_FALSE(Parse(huge).ok);
}

TEST(WaveFile, RiffSizeBoundsTheChunks) {
  // A RIFF size beyond the file (a writer cut short) still reads what is there.
  Bytes longer = Simple(Fmt(1, 1, 8000, 8), {5, 6});
  longer[4] = 0xF0;
  longer[5] = 0xFF;
  Parsed p = Parse(longer);
  ASSERT_TRUE(p.ok) << p.reason;
  EXPECT_EQ(p.wave.samples, (Bytes{5, 6}));
  // Bytes after the RIFF's own end are not part of the wave.
  Bytes c;
  PutChunk(c, "fmt ", Fmt(1, 1, 8000, 8));
  Bytes file = Riff(c);
  PutChunk(file, "data", {5, 6});
  EXPECT_EQ(Parse(file).reason, "no data chunk");
}

}  // namespace
}  // namespace rodavia
