#pragma once
// Timers ticked from the application's idle time: a timer fires when at least
// its interval has passed since its last tick.
#include <cstdint>
#include <functional>
#include <vector>

namespace rodavia {

class TTimer {
 public:
  TTimer();
  ~TTimer();
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  uint32_t Interval = 1000;  // ms
  std::function<void()> OnTimer;

  bool Enabled() const { return enabled_; }
  // Enabling restarts the interval from now.
  void SetEnabled(bool enabled);

  // Fires OnTimer when enabled and due at `now`; true when it fired.
  virtual bool Idle(uint32_t now);

 protected:
  virtual void Fire(uint32_t now, uint32_t elapsed);
  bool enabled_ = false;
  uint32_t last_ = 0;
};

// The frame timer: counts its ticks and works out the frame rate once a second.
class TDXTimer : public TTimer {
 public:
  int FrameRate() const { return frameRate_; }

 protected:
  void Fire(uint32_t now, uint32_t elapsed) override;

 private:
  int frameRate_ = 0;
  int frames_ = 0;
  bool counting_ = false;
  uint32_t countStart_ = 0;
};

// Every live timer; the main loop and nested loops call IdleAll.
void IdleAllTimers(uint32_t now);

}  // namespace rodavia
