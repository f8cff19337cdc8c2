#include "platform/Clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace rodavia {

namespace {
using namespace std::chrono;
constexpr sys_days kEpoch = sys_days(year(1899) / December / 30);

Clock*& Installed() {
  static Clock* clock = nullptr;
  return clock;
}

// Milliseconds of the time of day in a date-time number, as the runtime
// rounds them.
long long DayMilliseconds(double value) {
  if (!std::isfinite(value)) return 0;
  return llround(std::fabs(value - std::trunc(value)) * 86400000.0);
}
}  // namespace

double SystemClock::Now() const {
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const int ms = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec, ms);
}

uint32_t SystemClock::Ticks() const {
  return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

Clock& CurrentClock() {
  static SystemClock system;
  return Installed() ? *Installed() : system;
}

void SetClock(Clock* clock) { Installed() = clock; }

double Today() { return std::floor(CurrentClock().Now()); }

std::string FormatLapTime(double days) {
  const long long ms = DayMilliseconds(days);
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld:%03lld", (ms / 60000) % 60, (ms / 1000) % 60,
                ms % 1000);
  return text;
}

// Date-time numbers of 1 January 0001 and of the day after 31 December 9999.
constexpr double kFirstDay = -693593, kEndDay = 2958466;

std::string FormatDate(double days) {
  // Beyond the calendar (a corrupt record, say) there is no date to show.
  if (!(days >= kFirstDay && days < kEndDay)) return "";
  const year_month_day ymd{kEpoch + std::chrono::days(static_cast<long long>(std::trunc(days)))};
  char text[32];
  std::snprintf(text, sizeof text, "%02u/%02u/%04d", unsigned(ymd.day()), unsigned(ymd.month()),
                int(ymd.year()));
  return text;
}

double EncodeDateTime(int y, int mo, int d, int h, int mi, int s, int ms) {
  const sys_days day = sys_days(year(y) / month(unsigned(mo)) / std::chrono::day(unsigned(d)));
  const double days = double((day - kEpoch).count());
  return days + (((h * 60 + mi) * 60 + s) * 1000 + ms) / 86400000.0;
}

long long WireTimeUnits(double days) {
  constexpr long long kMaximo = 9999999999999;
  if (!(days > 0)) return 0;  // negative, zero or not a number
  if (days >= 1) return kMaximo;
  return std::min(std::llround(days * kWireTimeUnitsPerDay), kMaximo);
}

std::string FormatWireTime(double days) {
  char texto[24];
  std::snprintf(texto, sizeof texto, "%013lld", WireTimeUnits(days));
  return texto;
}

}  // namespace rodavia
