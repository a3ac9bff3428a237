#pragma once
// A clock for tests and benchmarks: stands still until told to move.
#include "platform/Clock.h"

namespace quillmont {

class FakeClock final : public Clock {
 public:
  CivilTime local{2024, 1, 1, 10, 0, 0, 0};
  CivilTime utc{2024, 1, 1, 9, 0, 0, 0};
  std::chrono::milliseconds monotonic{1'000'000};

  CivilTime LocalTime() const override { return local; }
  CivilTime UtcTime() const override { return utc; }
  std::chrono::milliseconds MonotonicTime() const override { return monotonic; }

  // Sets the wall clock only, as a hand change of the clock does.
  void SetTimeOfDay(int hour, int minute, int second, int millisecond) {
    local.hour = hour; local.minute = minute; local.second = second; local.millisecond = millisecond;
  }

  // Lets time pass: the monotonic clock and the local time of day move on
  // together; past midnight the day number goes up by one (months are not
  // rolled: tests that need a calendar set it directly).
  void AdvanceMilliseconds(std::int64_t ms) {
    monotonic += std::chrono::milliseconds(ms);
    StepWallClock(ms);
  }

  // Moves the local time of day alone, forward or back, as NTP, daylight
  // saving or a hand change of the clock does; no time passes.
  void StepWallClock(std::int64_t ms) {
    std::int64_t t = MillisecondsOfDay(local) + ms;
    while (t >= 86'400'000) { t -= 86'400'000; ++local.day; }
    while (t < 0) { t += 86'400'000; --local.day; }
    local.hour = static_cast<int>(t / 3'600'000);
    local.minute = static_cast<int>(t / 60'000 % 60);
    local.second = static_cast<int>(t / 1000 % 60);
    local.millisecond = static_cast<int>(t % 1000);
  }
};

}  // namespace quillmont
