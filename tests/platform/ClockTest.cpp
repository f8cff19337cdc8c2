#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>

#include "fakes/Fakes.h"

namespace rodavia {
namespace {

constexpr double kSecond = 1.0 / 86400;

TEST(Clock, LapTimesShowMinutesWithinTheHourSecondsAndMilliseconds) {
  EXPECT_EQ(FormatLapTime(0.9), "36:00:000");  // "no lap time yet" is 21:36
  EXPECT_EQ(FormatLapTime(83.456 * kSecond), "1:23:456");
  EXPECT_EQ(FormatLapTime(0), "0:00:000");
  EXPECT_EQ(FormatLapTime(59 * 60 * kSecond + 59.999 * kSecond), "59:59:999");
  EXPECT_EQ(FormatLapTime(3723.004 * kSecond), "2:03:004");  // the hour is dropped
  EXPECT_EQ(FormatLapTime(36526 + 61.5 * kSecond), "1:01:500");  // the date is ignored
  EXPECT_EQ(FormatLapTime(0.0004999 * kSecond), "0:00:000");
  EXPECT_EQ(FormatLapTime(0.0005001 * kSecond), "0:00:001");
  EXPECT_EQ(FormatLapTime(std::numeric_limits<double>::quiet_NaN()), "0:00:000");
}

TEST(Clock, DatesAreDayMonthYear) {
  EXPECT_EQ(FormatDate(0), "30/12/1899");
  EXPECT_EQ(FormatDate(36526), "01/01/2000");
  EXPECT_EQ(FormatDate(36526.999), "01/01/2000");
  EXPECT_EQ(FormatDate(-1.5), "29/12/1899");
  EXPECT_EQ(FormatDate(EncodeDateTime(2024, 2, 29, 23, 59)), "29/02/2024");
  EXPECT_EQ(FormatDate(-693593), "01/01/0001");
  EXPECT_EQ(FormatDate(2958465.5), "31/12/9999");
  // A corrupt number gives no date rather than nonsense.
  EXPECT_EQ(FormatDate(1e300), "");
  EXPECT_EQ(FormatDate(-1e300), "");
  EXPECT_EQ(FormatDate(std::numeric_limits<double>::quiet_NaN()), "");
}

TEST(Clock, EncodeDateTimeCountsDaysFromTheEndOf1899) {
  EXPECT_EQ(EncodeDateTime(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDateTime(1899, 12, 31), 1);
  EXPECT_EQ(EncodeDateTime(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDateTime(2000, 3, 1), 36586);  // 2000 is a leap year
  EXPECT_EQ(EncodeDateTime(1899, 12, 29), -1);
  EXPECT_DOUBLE_EQ(EncodeDateTime(2000, 1, 1, 12), 36526.5);
  EXPECT_NEAR(EncodeDateTime(2000, 1, 1, 0, 1, 23, 456) - 36526, 83.456 * kSecond, 1e-10);
  EXPECT_EQ(FormatLapTime(EncodeDateTime(2000, 1, 1, 0, 1, 23, 456)), "1:23:456");
}

TEST(Clock, InstalledClockAndToday) {
  {
    test::FakeClock fake(46000.75, 1234);
    EXPECT_EQ(CurrentClock().Now(), 46000.75);
    EXPECT_EQ(CurrentClock().Ticks(), 1234u);
    EXPECT_EQ(Today(), 46000);
  }
  // Back on the system clock: today's date, as the C library sees it.
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  const double today = EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  EXPECT_NEAR(CurrentClock().Now(), today + 0.5, 0.5 + 2 * kSecond);
}

}  // namespace
}  // namespace rodavia
