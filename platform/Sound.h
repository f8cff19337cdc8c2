#pragma once
// Wave playback: each wave plays copies of one loaded .wav at a frequency in
// Hz, looped or once, at most MaxPlayingCount copies at once (the oldest is
// restarted beyond that). A machine without sound plays silently.
#include <filesystem>
#include <memory>

namespace rodavia {

class Wave {
 public:
  virtual ~Wave() = default;
  virtual void Play() = 0;
  virtual void Stop() = 0;                      // every copy
  virtual void SetFrequency(int hz) = 0;        // every copy, and the next ones
  virtual int Frequency() const = 0;
  virtual void SetLooped(bool looped) = 0;
  virtual void SetMaxPlayingCount(int count) = 0;
};

class SoundSystem {
 public:
  virtual ~SoundSystem() = default;
  // Loads a .wav of any common encoding, channel count and rate; nullptr
  // when the file is missing or not a wave.
  virtual std::unique_ptr<Wave> Load(const std::filesystem::path& path) = 0;
};

}  // namespace rodavia
