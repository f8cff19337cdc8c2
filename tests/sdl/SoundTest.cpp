#include "platform/sdl/OpenAlSound.h"

#include <AL/alc.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <thread>

#include <unistd.h>

#include "platform/sdl/WaveFile.h"

namespace rodavia {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

void Put(std::ofstream& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(char(v >> (8 * i)));
}

// A folder of this run's files, removed at its end. Other test programs may
// run at the same time; a fresh process started for a test works in its
// parent's folder, which it inherits through the environment.
class ScratchFolder {
 public:
  ScratchFolder() {
    const char* inherited = std::getenv("RODAVIA_SOUND_SCRATCH");
    owner_ = inherited == nullptr;
    path_ = owner_ ? fs::temp_directory_path() / ("rodavia_sound_" + std::to_string(getpid()))
                   : fs::path(inherited);
    fs::create_directories(path_);
    setenv("RODAVIA_SOUND_SCRATCH", path_.c_str(), 1);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (owner_) fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
  bool owner_;
};

const fs::path& Scratch() {
  static const ScratchFolder folder;
  return folder.path();
}

// A mono 16-bit sine of the given pitch and length.
fs::path WriteTone(const std::string& name, int rate, double hz, double seconds) {
  fs::path path = Scratch() / name;
  uint32_t frames = uint32_t(rate * seconds);
  std::ofstream out(path, std::ios::binary);
  out << "RIFF";
  Put(out, 36 + frames * 2, 4);
  out << "WAVEfmt ";
  Put(out, 16, 4);
  Put(out, 1, 2);
  Put(out, 1, 2);
  Put(out, rate, 4);
  Put(out, rate * 2, 4);
  Put(out, 2, 2);
  Put(out, 16, 2);
  out << "data";
  Put(out, frames * 2, 4);
  for (uint32_t i = 0; i < frames; ++i)
    Put(out, uint16_t(int16_t(std::lround(12000 * std::sin(2 * M_PI * hz * i / rate)))), 2);
  return path;
}

ALint State(ALuint source) {
  ALint state = 0;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  return state;
}
float Offset(ALuint source) {
  float seconds = -1;
  alGetSourcef(source, AL_SEC_OFFSET, &seconds);
  return seconds;
}
float PitchOf(ALuint source) {
  float pitch = 0;
  alGetSourcef(source, AL_PITCH, &pitch);
  return pitch;
}
ALint LoopingOf(ALuint source) {
  ALint looping = -1;
  alGetSourcei(source, AL_LOOPING, &looping);
  return looping;
}

OpenAlWave& AsAl(const std::unique_ptr<Wave>& wave) { return dynamic_cast<OpenAlWave&>(*wave); }

// Runs body in a new process, where OpenAL reads its driver settings afresh.
template <typename Body>
void InFreshProcess(Body body) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        body();
        std::exit(::testing::Test::HasFailure() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

class Sound : public ::testing::Test {
 protected:
  OpenAlSound sound;
  fs::path second = WriteTone("rodavia_sound_1s.wav", 11025, 440, 1.0);
  fs::path blip = WriteTone("rodavia_sound_blip.wav", 11025, 440, 0.02);
};

TEST_F(Sound, LoadsOnlyWaveFiles) {
  ASSERT_TRUE(sound.Audible());
  EXPECT_NE(sound.Load(second), nullptr);
  EXPECT_EQ(sound.Load(Scratch() / "rodavia_no_such.wav"), nullptr);
  fs::path text = Scratch() / "rodavia_not_a_wave.wav";
  std::ofstream(text) << "[Perfil]\nNombre=x\n";
  EXPECT_EQ(sound.Load(text), nullptr);
  fs::path cut = Scratch() / "rodavia_cut_header.wav";  // "RIFF", size 2, "WAVE"
  std::ofstream(cut, std::ios::binary) << std::string("RIFF\x02\0\0\0WAVE", 12);
  EXPECT_EQ(sound.Load(cut), nullptr);
}

TEST_F(Sound, PlaysStopsAndReusesStoppedCopies) {
  auto wave = sound.Load(second);
  wave->SetMaxPlayingCount(25);
  wave->Play();
  ASSERT_EQ(AsAl(wave).Sources().size(), 1u);
  ALuint source = AsAl(wave).Sources()[0];
  EXPECT_EQ(State(source), AL_PLAYING);
  wave->Play();
  EXPECT_EQ(AsAl(wave).Sources().size(), 2u);
  wave->Stop();
  for (ALuint s : AsAl(wave).Sources()) EXPECT_EQ(State(s), AL_STOPPED);
  wave->Play();
  wave->Play();
  EXPECT_EQ(AsAl(wave).Sources().size(), 2u) << "stopped copies are played again";
  EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

TEST_F(Sound, FinishedCopiesAreRecycled) {
  auto wave = sound.Load(blip);
  wave->SetMaxPlayingCount(25);
  for (int i = 0; i < 5; ++i) {
    wave->Play();
    std::this_thread::sleep_for(80ms);
  }
  EXPECT_EQ(AsAl(wave).Sources().size(), 1u);
}

TEST_F(Sound, AtTheCapTheOldestCopyRestarts) {
  auto wave = sound.Load(second);
  wave->SetMaxPlayingCount(25);
  wave->Play();
  ALuint oldest = AsAl(wave).Sources()[0];
  std::this_thread::sleep_for(150ms);
  for (int i = 1; i < 25; ++i) wave->Play();
  ASSERT_EQ(AsAl(wave).Sources().size(), 25u);
  for (ALuint s : AsAl(wave).Sources()) EXPECT_EQ(State(s), AL_PLAYING);
  float before = Offset(oldest);
  EXPECT_GT(before, 0.05f);

  wave->Play();
  EXPECT_EQ(AsAl(wave).Sources().size(), 25u);
  EXPECT_EQ(AsAl(wave).Sources().back(), oldest);
  EXPECT_EQ(State(oldest), AL_PLAYING);
  EXPECT_LT(Offset(oldest), before);

  wave->SetMaxPlayingCount(3);
  EXPECT_EQ(AsAl(wave).Sources().size(), 3u);
  EXPECT_EQ(AsAl(wave).Sources().back(), oldest) << "the newest copies stay";
}

TEST_F(Sound, FrequencySetsThePitchOfEveryCopy) {
  auto wave = sound.Load(second);
  EXPECT_EQ(wave->Frequency(), 11025);
  wave->SetMaxPlayingCount(25);
  wave->Play();
  wave->SetFrequency(750);
  wave->Play();
  EXPECT_EQ(wave->Frequency(), 750);
  for (ALuint s : AsAl(wave).Sources()) EXPECT_FLOAT_EQ(PitchOf(s), 750.0f / 11025);
  // Speeds a car cannot reach still give a playable, positive pitch.
  wave->SetFrequency(0);
  EXPECT_EQ(wave->Frequency(), 0);
  for (ALuint s : AsAl(wave).Sources()) EXPECT_FLOAT_EQ(PitchOf(s), 100.0f / 11025);
  wave->SetFrequency(164585);  // (32767 + 150) * 5
  for (ALuint s : AsAl(wave).Sources()) EXPECT_FLOAT_EQ(PitchOf(s), 164585.0f / 11025);
  EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

TEST_F(Sound, LoopingReachesCurrentAndLaterCopies) {
  auto wave = sound.Load(blip);
  wave->SetMaxPlayingCount(2);
  wave->Play();
  wave->SetLooped(true);
  wave->Play();
  ASSERT_EQ(AsAl(wave).Sources().size(), 2u);
  for (ALuint s : AsAl(wave).Sources()) EXPECT_EQ(LoopingOf(s), AL_TRUE);
  std::this_thread::sleep_for(100ms);  // five times the wave's length
  for (ALuint s : AsAl(wave).Sources()) EXPECT_EQ(State(s), AL_PLAYING);
  wave->SetLooped(false);
  for (ALuint s : AsAl(wave).Sources()) EXPECT_EQ(LoopingOf(s), AL_FALSE);
}

TEST_F(Sound, WavesMayGoWhileTheyPlayAndOutliveTheSystem) {
  std::vector<ALuint> sources;
  {
    auto wave = sound.Load(second);
    wave->SetMaxPlayingCount(25);
    for (int i = 0; i < 10; ++i) wave->Play();
    sources = AsAl(wave).Sources();
  }
  for (ALuint s : sources) EXPECT_FALSE(alIsSource(s));
  EXPECT_EQ(alGetError(), AL_NO_ERROR);

  auto own = std::make_unique<OpenAlSound>();
  auto wave = own->Load(second);
  wave->Play();
  own.reset();
  wave->Play();
  wave->SetFrequency(2000);
  wave.reset();
}

TEST_F(Sound, SixteenCarsFitTheSourceBudget) {
  // Every car skidding with 25 copies, engines running, and a crash each.
  std::vector<std::unique_ptr<Wave>> waves;
  for (int car = 0; car < 16; ++car) {
    for (int kind = 0; kind < 3; ++kind) {
      waves.push_back(sound.Load(second));
      waves.back()->SetMaxPlayingCount(25);
    }
    waves[car * 3]->SetLooped(true);
    waves[car * 3]->Play();
    for (int i = 0; i < 25; ++i) waves[car * 3 + 1]->Play();
    waves[car * 3 + 2]->Play();
  }
  for (int car = 0; car < 16; ++car)
    EXPECT_EQ(AsAl(waves[car * 3 + 1]).Sources().size(), 25u) << "car " << car;
  // Beyond what AL can give, Play restarts the wave's own copies instead.
  std::vector<std::unique_ptr<Wave>> more;
  for (int i = 0; i < 40; ++i) {
    more.push_back(sound.Load(second));
    more.back()->SetMaxPlayingCount(25);
    for (int j = 0; j < 25; ++j) more.back()->Play();
  }
  EXPECT_LT(AsAl(more.back()).Sources().size(), 25u) << "AL ran out of sources";
  EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

TEST_F(Sound, WavesOfOneFileShareItsBuffer) {
  auto first = sound.Load(second);
  auto again = sound.Load(second);
  first->Play();
  again->Play();
  ALint a = 0, b = 0;
  alGetSourcei(AsAl(first).Sources()[0], AL_BUFFER, &a);
  alGetSourcei(AsAl(again).Sources()[0], AL_BUFFER, &b);
  EXPECT_NE(a, 0);
  EXPECT_EQ(a, b);
  first.reset();
  again->Play();
  EXPECT_EQ(State(AsAl(again).Sources()[0]), AL_PLAYING) << "the buffer stays while a wave of the file lives";
  again.reset();
  EXPECT_FALSE(alIsBuffer(ALuint(b))) << "the last wave of the file frees it";
  EXPECT_NE(sound.Load(second), nullptr) << "and a later load reads the file again";
  EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

// The device opens when something plays, yet loading still finds out a
// missing or broken wave at once (the game ends on one at start-up).
TEST(SoundDevice, OpensWhenTheFirstWavePlays) {
  fs::path tone = WriteTone("rodavia_sound_lazy.wav", 11025, 440, 0.1);
  InFreshProcess([&] {
    setenv("ALSOFT_DRIVERS", "null", 1);
    OpenAlSound sound;
    auto wave = sound.Load(tone);
    ASSERT_NE(wave, nullptr);
    EXPECT_EQ(sound.Load(tone.string() + ".missing"), nullptr);
    wave->SetLooped(true);
    wave->SetFrequency(900);
    EXPECT_EQ(alcGetCurrentContext(), nullptr) << "a device opened before anything played";
    wave->Play();
    EXPECT_NE(alcGetCurrentContext(), nullptr);
    ASSERT_EQ(AsAl(wave).Sources().size(), 1u);
    const ALuint source = AsAl(wave).Sources()[0];
    EXPECT_EQ(State(source), AL_PLAYING);
    EXPECT_EQ(LoopingOf(source), AL_TRUE);
    EXPECT_FLOAT_EQ(PitchOf(source), 900.0f / 11025);
  });
}

TEST(SoundWithoutDevice, LoadsSilentWaves) {
  fs::path tone = WriteTone("rodavia_sound_silent.wav", 11025, 440, 0.1);
  InFreshProcess([&] {
    setenv("ALSOFT_DRIVERS", "no-such-driver", 1);
    OpenAlSound sound;
    EXPECT_FALSE(sound.Audible());
    auto wave = sound.Load(tone);
    ASSERT_NE(wave, nullptr);
    EXPECT_EQ(wave->Frequency(), 11025);
    wave->SetMaxPlayingCount(25);
    wave->SetLooped(true);
    wave->Play();
    wave->SetFrequency(900);
    EXPECT_EQ(wave->Frequency(), 900);
    wave->Stop();
    EXPECT_EQ(sound.Load(tone.string() + ".missing"), nullptr);
  });
}

// Plays the tone at the given frequency into a wave file and returns the
// pitch heard there, counted from zero crossings.
double PlayedPitch(const fs::path& tone, int frequency) {
  fs::path out = Scratch() / "rodavia_sound_capture.wav";
  fs::path conf = Scratch() / "rodavia_sound_capture.conf";
  fs::remove(out);
  std::ofstream(conf) << "[general]\ndrivers = wave\nchannels = mono\nsample-type = int16\n"
                         "frequency = 44100\n[wave]\nfile = " << out.string() << "\n";
  InFreshProcess([&] {
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    setenv("ALSOFT_DRIVERS", "wave", 1);
    OpenAlSound sound;
    ASSERT_TRUE(sound.Audible());
    auto wave = sound.Load(tone);
    wave->SetFrequency(frequency);
    wave->Play();
    std::this_thread::sleep_for(400ms);
  });
  WaveData captured;
  std::string reason;
  if (!ReadWaveFile(out, captured, reason)) {
    ADD_FAILURE() << reason;
    return 0;
  }
  EXPECT_EQ(captured.bits, 16);
  const int16_t* samples = reinterpret_cast<const int16_t*>(captured.samples.data());
  size_t count = captured.samples.size() / 2 / captured.channels;
  // Only the part where the tone sounds: from its first to its last loud sample.
  size_t first = 0, last = 0;
  for (size_t i = 0; i < count; ++i) {
    if (std::abs(samples[i * captured.channels]) > 2000) {
      if (first == 0) first = i;
      last = i;
    }
  }
  int crossings = 0;
  for (size_t i = first + 1; i <= last; ++i)
    crossings += (samples[(i - 1) * captured.channels] < 0) != (samples[i * captured.channels] < 0);
  return last > first ? crossings / 2.0 * captured.rate / double(last - first) : 0;
}

// One capture a test: a fresh process runs a test's body only up to its
// first death test.
TEST(SoundCapture, TheWavesOwnRateSoundsAsRecorded) {
  fs::path tone = WriteTone("rodavia_sound_tone.wav", 22050, 440, 0.25);
  EXPECT_NEAR(PlayedPitch(tone, 22050), 440, 10);
}

TEST(SoundCapture, TwiceTheRateSoundsAnOctaveUp) {
  fs::path tone = WriteTone("rodavia_sound_tone.wav", 22050, 440, 0.25);
  EXPECT_NEAR(PlayedPitch(tone, 44100), 880, 20);
}

}  // namespace
}  // namespace rodavia
