#include "platform/Timer.h"

#include <algorithm>
#include <cmath>

#include "platform/Clock.h"

namespace rodavia {

namespace {
std::vector<TTimer*>& LiveTimers() {
  static std::vector<TTimer*> timers;
  return timers;
}
}  // namespace

TTimer::TTimer() { LiveTimers().push_back(this); }

TTimer::~TTimer() {
  auto& t = LiveTimers();
  t.erase(std::remove(t.begin(), t.end(), this), t.end());
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled && !enabled_) last_ = CurrentClock().Ticks();
  enabled_ = enabled;
}

// Ticks wrap, and a loop step may read the clock before a handler it runs
// starts a timer: a time before the start counts as no time at all, so the
// timer never fires early.
int64_t TTimer::Elapsed(uint32_t now) const { return int32_t(now - last_); }

bool TTimer::Idle(uint32_t now) {
  if (!enabled_ || Interval == 0) return false;
  const int64_t elapsed = Elapsed(now);
  if (elapsed < Interval) return false;
  last_ = now;
  Fire(now, uint32_t(elapsed));
  return true;
}

uint32_t TTimer::UntilDue(uint32_t now) const {
  if (!enabled_ || Interval == 0) return kNever;
  const int64_t elapsed = Elapsed(now);
  return elapsed >= Interval ? 0 : uint32_t(std::min<int64_t>(Interval - elapsed, kNever - 1));
}

void TTimer::Fire(uint32_t, uint32_t) {
  if (OnTimer) OnTimer();
}

void TDXTimer::Fire(uint32_t now, uint32_t elapsed) {
  if (!counting_) {
    counting_ = true;
    countStart_ = now - elapsed;
    frames_ = 0;
  }
  ++frames_;
  const uint32_t span = now - countStart_;
  if (span >= 1000) {
    frameRate_ = int(std::nearbyint(frames_ * 1000.0 / span));
    frames_ = 0;
    countStart_ = now;
  }
  TTimer::Fire(now, elapsed);
}

bool IdleAllTimers(uint32_t now) {
  // A handler may create or destroy timers: walk a copy, skipping the gone.
  std::vector<TTimer*> timers = LiveTimers();
  bool fired = false;
  for (TTimer* t : timers)
    if (std::find(LiveTimers().begin(), LiveTimers().end(), t) != LiveTimers().end())
      fired |= t->Idle(now) && t->ShowsTicks;
  return fired;
}

uint32_t UntilNextTimer(uint32_t now) {
  uint32_t soonest = TTimer::kNever;
  for (const TTimer* t : LiveTimers()) soonest = std::min(soonest, t->UntilDue(now));
  return soonest;
}

}  // namespace rodavia
