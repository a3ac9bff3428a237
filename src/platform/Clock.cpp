#include "platform/Clock.h"

#include <chrono>
#include <ctime>
#include <time.h>

namespace quillmont {
namespace {

// clock_gettime rather than system_clock::now(), whose nanoseconds since
// 1970 overflow 64 bits in 2262: a time_t holds every year up to 9999.
CivilTime FromSystemNow(bool local) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const std::time_t secs = now.tv_sec;
  std::tm tm{};
  if (local) {
    localtime_r(&secs, &tm);
  } else {
    gmtime_r(&secs, &tm);
  }
  return CivilTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                   static_cast<int>(now.tv_nsec / 1'000'000)};
}

}  // namespace

CivilTime SystemClock::LocalTime() const { return FromSystemNow(true); }
CivilTime SystemClock::UtcTime() const { return FromSystemNow(false); }

std::chrono::milliseconds SystemClock::MonotonicTime() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace quillmont
