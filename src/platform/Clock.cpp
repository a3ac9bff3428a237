#include "platform/Clock.h"

#include <chrono>
#include <ctime>

namespace quillmont {
namespace {

CivilTime FromSystemNow(bool local) {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  const std::time_t secs = system_clock::to_time_t(now);
  std::tm tm{};
  if (local) {
    localtime_r(&secs, &tm);
  } else {
    gmtime_r(&secs, &tm);
  }
  return CivilTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                   static_cast<int>(ms < 0 ? ms + 1000 : ms)};
}

}  // namespace

CivilTime SystemClock::LocalTime() const { return FromSystemNow(true); }
CivilTime SystemClock::UtcTime() const { return FromSystemNow(false); }

std::chrono::milliseconds SystemClock::MonotonicTime() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace quillmont
