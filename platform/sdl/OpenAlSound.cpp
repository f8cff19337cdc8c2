#include "platform/sdl/OpenAlSound.h"

#include <AL/alc.h>
#include <AL/efx.h>

#include <algorithm>
#include <iostream>

#include "platform/sdl/WaveFile.h"

namespace rodavia {

// An open device with its context. Calls are made on the window thread only;
// the context is made current before each group of AL calls because several
// outputs may exist at once (tests do that).
struct AlOutput {
  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
  ~AlOutput() {
    if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
    if (context) alcDestroyContext(context);
    if (device) alcCloseDevice(device);
  }
  void Use() const {
    if (alcGetCurrentContext() != context) alcMakeContextCurrent(context);
  }
};

namespace {

// Sixteen cars each skid with up to 25 copies, besides engines and crashes;
// OpenAL Soft's default of 256 sources would run out.
constexpr ALCint kMonoSources = 512;
// The frequencies a wave may be asked to play at, as DirectSound allowed.
constexpr int kMinFrequency = 100, kMaxFrequency = 200000;

ALenum AlFormat(const WaveData& wave) {
  if (wave.channels == 2) return wave.bits == 16 ? AL_FORMAT_STEREO16 : AL_FORMAT_STEREO8;
  return wave.bits == 16 ? AL_FORMAT_MONO16 : AL_FORMAT_MONO8;
}

}  // namespace

// The device, opened on first use and only tried once.
class AlDevice {
 public:
  // nullptr when there is no device.
  const AlOutput* Output() {
    if (!tried_) {
      tried_ = true;
      output_ = Open();
    }
    return output_.get();
  }

 private:
  static std::unique_ptr<AlOutput> Open() {
    auto output = std::make_unique<AlOutput>();
    output->device = alcOpenDevice(nullptr);
    if (!output->device) return nullptr;
    // No effect sends: the game uses none, and each costs memory in every voice.
    const ALCint attributes[] = {ALC_MONO_SOURCES, kMonoSources, ALC_MAX_AUXILIARY_SENDS, 0, 0};
    output->context = alcCreateContext(output->device, attributes);
    if (!output->context) return nullptr;
    return output;
  }

  bool tried_ = false;
  std::unique_ptr<AlOutput> output_;
};

// The samples of one file: kept as read until a wave first plays, then
// handed to an AL buffer that every wave of the file plays.
class AlSample {
 public:
  AlSample(std::shared_ptr<AlDevice> device, WaveData wave) : device_(std::move(device)), wave_(std::move(wave)) {}
  ~AlSample() {
    if (!buffer_) return;
    output_->Use();
    alDeleteBuffers(1, &buffer_);
  }
  int Rate() const { return wave_.rate; }
  // The output playing the buffer, its context current; nullptr when the
  // wave is silent (no device, or AL would not take the samples).
  const AlOutput* Prepare() {
    if (!prepared_) {
      prepared_ = true;
      output_ = device_->Output();
      if (output_) buffer_ = MakeBuffer();
      if (!buffer_) output_ = nullptr;
      wave_.samples = {};
    }
    if (output_) output_->Use();
    return output_;
  }
  ALuint Buffer() const { return buffer_; }

 private:
  ALuint MakeBuffer() {
    output_->Use();
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) return 0;
    alBufferData(buffer, AlFormat(wave_), wave_.samples.data(), ALsizei(wave_.samples.size()), wave_.rate);
    if (alGetError() == AL_NO_ERROR) return buffer;
    alDeleteBuffers(1, &buffer);
    return 0;
  }

  std::shared_ptr<AlDevice> device_;
  WaveData wave_;
  bool prepared_ = false;
  const AlOutput* output_ = nullptr;
  ALuint buffer_ = 0;
};

OpenAlWave::OpenAlWave(std::shared_ptr<AlSample> sample)
    : sample_(std::move(sample)), rate_(sample_->Rate()), frequency_(rate_) {}

// Sources go before the buffer they play (the sample goes after this body):
// AL refuses to delete a buffer in use.
OpenAlWave::~OpenAlWave() {
  if (sources_.empty()) return;
  Use();
  alSourceStopv(ALsizei(sources_.size()), sources_.data());
  alDeleteSources(ALsizei(sources_.size()), sources_.data());
}

// Only called with sources, which exist once the sample is prepared.
void OpenAlWave::Use() const { sample_->Prepare(); }

void OpenAlWave::Play() {
  if (!sample_->Prepare()) return;
  Copy copy = FreeCopy();
  if (copy == sources_.end() && int(sources_.size()) < maxPlaying_) copy = NewCopy();
  if (copy == sources_.end()) copy = sources_.begin();  // restart the oldest
  if (copy == sources_.end()) return;                   // AL has no source to give
  ALuint source = *copy;
  sources_.erase(copy);
  sources_.push_back(source);
  alSourcePlay(source);  // from the beginning, also when it was playing
}

void OpenAlWave::Stop() {
  if (sources_.empty()) return;
  Use();
  alSourceStopv(ALsizei(sources_.size()), sources_.data());
}

void OpenAlWave::SetFrequency(int hz) {
  frequency_ = hz;
  if (sources_.empty()) return;
  Use();
  for (ALuint s : sources_) alSourcef(s, AL_PITCH, Pitch());
}

void OpenAlWave::SetLooped(bool looped) {
  looped_ = looped;
  if (sources_.empty()) return;
  Use();
  for (ALuint s : sources_) alSourcei(s, AL_LOOPING, looped_ ? AL_TRUE : AL_FALSE);
}

void OpenAlWave::SetMaxPlayingCount(int count) {
  maxPlaying_ = std::max(1, count);
  int extra = int(sources_.size()) - maxPlaying_;
  if (extra <= 0) return;
  // The oldest copies go.
  Use();
  alSourceStopv(extra, sources_.data());
  alDeleteSources(extra, sources_.data());
  sources_.erase(sources_.begin(), sources_.begin() + extra);
}

// Pitch is relative to the wave's own rate; out-of-range frequencies are held
// to what a sound card could play, so the pitch is always positive.
float OpenAlWave::Pitch() const {
  return float(std::clamp(frequency_, kMinFrequency, kMaxFrequency)) / float(rate_);
}

OpenAlWave::Copy OpenAlWave::FreeCopy() {
  return std::find_if(sources_.begin(), sources_.end(), [](ALuint s) {
    ALint state = AL_STOPPED;
    alGetSourcei(s, AL_SOURCE_STATE, &state);
    return state == AL_STOPPED || state == AL_INITIAL;
  });
}

// A new source set up like the wave's other copies; end() when AL has none left.
OpenAlWave::Copy OpenAlWave::NewCopy() {
  alGetError();
  ALuint source = 0;
  alGenSources(1, &source);
  if (alGetError() != AL_NO_ERROR) return sources_.end();
  alSourcei(source, AL_BUFFER, ALint(sample_->Buffer()));
  alSourcef(source, AL_PITCH, Pitch());
  alSourcei(source, AL_LOOPING, looped_ ? AL_TRUE : AL_FALSE);
  sources_.push_back(source);
  return sources_.end() - 1;
}

OpenAlSound::OpenAlSound() : device_(std::make_shared<AlDevice>()) {}

OpenAlSound::~OpenAlSound() = default;

bool OpenAlSound::Audible() { return device_->Output() != nullptr; }

// A file already loaded by a wave still in use is not read again: the new
// wave shares its samples.
std::unique_ptr<Wave> OpenAlSound::Load(const std::filesystem::path& path) {
  std::shared_ptr<AlSample> sample = samples_[path].lock();
  if (!sample) {
    WaveData data;
    std::string reason;
    if (!ReadWaveFile(path, data, reason)) {
      std::cerr << path.string() << ": " << reason << '\n';
      samples_.erase(path);
      return nullptr;
    }
    sample = std::make_shared<AlSample>(device_, std::move(data));
    samples_[path] = sample;
  }
  return std::make_unique<OpenAlWave>(std::move(sample));
}

}  // namespace rodavia
