#pragma once
// The clock: the date-time number of the game (days since 30 December 1899,
// fraction = local time of day, millisecond resolution) and a millisecond tick.
// Tests install their own.
#include <cstdint>
#include <string>

namespace rodavia {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual double Now() const = 0;         // local date and time
  virtual uint32_t Ticks() const = 0;     // milliseconds, wraps like timeGetTime
};

class SystemClock : public Clock {
 public:
  double Now() const override;
  uint32_t Ticks() const override;
};

Clock& CurrentClock();
void SetClock(Clock* clock);  // nullptr restores the system clock

// Today: the whole-day part of Now().
double Today();

// "n:ss:zzz": minutes within the hour without leading zero, seconds, milliseconds.
std::string FormatLapTime(double days);
// "dd/mm/yyyy".
std::string FormatDate(double days);
// A fraction of a day as it travels between machines: its first 13 decimals,
// rounded, as 13 digits without sign ("0.0009659259259" → "0009659259259").
// Times below 0 or not below 1 are kept to the nearest end of that range, so
// the field keeps its width.
std::string FormatWireTime(double days);
// The time in units of 10^-13 day, rounded and kept as FormatWireTime does.
long long WireTimeUnits(double days);
constexpr double kWireTimeUnitsPerDay = 1e13;

// Date-time number of a calendar date and time (for tests and tools).
double EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0,
                      int second = 0, int millisecond = 0);

}  // namespace rodavia
