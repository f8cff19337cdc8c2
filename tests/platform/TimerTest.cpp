#include "platform/Timer.h"

#include <gtest/gtest.h>

#include "fakes/Fakes.h"

namespace rodavia {
namespace {

// A loop step reads the clock, then a handler it runs starts a timer: that
// earlier time is no time at all for the timer, which fires a whole interval
// after its start and never at once (the starting light of a race started
// from inside a step would otherwise skip lights).
TEST(Timer, ATimeBeforeItsStartNeverFiresIt) {
  test::FakeClock reloj(46000.5, 5000);
  int disparos = 0;
  TTimer t;
  t.Interval = 750;
  t.OnTimer = [&] { ++disparos; };
  t.SetEnabled(true);
  EXPECT_FALSE(t.Idle(4990));
  EXPECT_EQ(t.UntilDue(4990), 760u);
  EXPECT_FALSE(t.Idle(5749));
  EXPECT_TRUE(t.Idle(5750));
  EXPECT_FALSE(t.Idle(5000));
  EXPECT_EQ(disparos, 1);
  // Across the wrap of the tick counter.
  reloj.ticks = 0xFFFFFF00u;
  t.SetEnabled(false);
  t.SetEnabled(true);
  EXPECT_FALSE(t.Idle(0xFFFFFFF0u));
  EXPECT_TRUE(t.Idle(0x2EEu));
  EXPECT_EQ(disparos, 2);
}

}  // namespace
}  // namespace rodavia
