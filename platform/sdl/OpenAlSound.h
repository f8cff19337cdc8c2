#pragma once
// Waves played through OpenAL Soft. Each wave plays an AL buffer with up to
// MaxPlayingCount sources at once; the waves loaded from one file share its
// buffer. The device opens when the first wave plays, so a game that plays
// nothing holds none. Without a sound device every wave loads and stays
// silent, so the game starts on any machine.
#include <AL/al.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/Sound.h"

namespace rodavia {

struct AlOutput;
class AlDevice;
class AlSample;

class OpenAlWave : public Wave {
 public:
  explicit OpenAlWave(std::shared_ptr<AlSample> sample);
  ~OpenAlWave() override;
  void Play() override;
  void Stop() override;
  void SetFrequency(int hz) override;
  int Frequency() const override { return frequency_; }
  void SetLooped(bool looped) override;
  void SetMaxPlayingCount(int count) override;
  // The AL sources of the copies, the oldest start first.
  const std::vector<ALuint>& Sources() const { return sources_; }

 private:
  using Copy = std::vector<ALuint>::iterator;
  float Pitch() const;
  void Use() const;
  Copy FreeCopy();
  Copy NewCopy();

  std::shared_ptr<AlSample> sample_;
  int rate_;
  int frequency_;
  bool looped_ = false;
  int maxPlaying_ = 1;
  std::vector<ALuint> sources_;
};

class OpenAlSound : public SoundSystem {
 public:
  OpenAlSound();
  ~OpenAlSound() override;
  std::unique_ptr<Wave> Load(const std::filesystem::path& path) override;
  // Opens the device if no wave has yet; false when none could be opened
  // and every wave is silent.
  bool Audible();

 private:
  // Shared with the waves, so that either may outlive the other.
  std::shared_ptr<AlDevice> device_;
  // The samples of the files loaded, while a wave uses them.
  std::map<std::filesystem::path, std::weak_ptr<AlSample>> samples_;
};

}  // namespace rodavia
