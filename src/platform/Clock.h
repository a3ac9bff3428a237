#pragma once
// The clocks the game reads: local civil time (the date of a result), UTC
// (the random seed) and a monotonic clock (the Bonus Bar, which setting the
// clock, daylight saving or midnight must not move). Injected everywhere so
// tests never sleep.
#include <chrono>
#include <cstdint>

namespace quillmont {

struct CivilTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual CivilTime LocalTime() const = 0;
  virtual CivilTime UtcTime() const = 0;
  // Time since an arbitrary fixed moment, never stepped; only differences mean anything.
  virtual std::chrono::milliseconds MonotonicTime() const = 0;
};

// Milliseconds since midnight of the given time's day.
inline std::int64_t MillisecondsOfDay(const CivilTime& t) {
  return ((static_cast<std::int64_t>(t.hour) * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond;
}

class SystemClock final : public Clock {
 public:
  CivilTime LocalTime() const override;
  CivilTime UtcTime() const override;
  std::chrono::milliseconds MonotonicTime() const override;
};

}  // namespace quillmont
