#pragma once
// Waves played through OpenAL Soft. Each wave is one AL buffer played by up
// to MaxPlayingCount sources at once. Without a sound device every wave
// loads and stays silent, so the game starts on any machine.
#include <AL/al.h>

#include <memory>
#include <vector>

#include "platform/Sound.h"

namespace rodavia {

struct AlOutput;

class OpenAlWave : public Wave {
 public:
  // Without an output, or with buffer 0, the wave is silent.
  OpenAlWave(std::shared_ptr<AlOutput> output, ALuint buffer, int rate);
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

  std::shared_ptr<AlOutput> output_;
  ALuint buffer_;
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
  // False when no device could be opened and every wave is silent.
  bool Audible() const { return output_ != nullptr; }

 private:
  // Shared with the waves, so that either may outlive the other.
  std::shared_ptr<AlOutput> output_;
};

}  // namespace rodavia
