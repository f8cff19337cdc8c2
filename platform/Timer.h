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
  // Whether a tick may change what windows show, so that a frame is drawn
  // after it. A timer that mostly changes nothing clears it and asks for a
  // frame (RequestFrame) when it does.
  bool ShowsTicks = true;

  bool Enabled() const { return enabled_; }
  // Enabling restarts the interval from now.
  void SetEnabled(bool enabled);

  // Fires OnTimer when enabled and due at `now`; true when it fired.
  virtual bool Idle(uint32_t now);
  // Milliseconds from `now` until it is due (0 when due); kNever when stopped.
  uint32_t UntilDue(uint32_t now) const;
  static constexpr uint32_t kNever = UINT32_MAX;

 protected:
  virtual void Fire(uint32_t now, uint32_t elapsed);
  int64_t Elapsed(uint32_t now) const;
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

// Ticks every live timer that is due; true when any that shows its ticks
// fired. The main loop and nested loops call it.
bool IdleAllTimers(uint32_t now);
// Milliseconds from `now` until the earliest live timer is due;
// TTimer::kNever when none runs. A sleeping loop wakes no later than this.
uint32_t UntilNextTimer(uint32_t now);

}  // namespace rodavia
