#include "records/TDataHora.h"

#include <cmath>
#include <cstdint>

namespace quillmont {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

const std::int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);
const double kFirstDay = static_cast<double>(DaysFromCivil(1, 1, 1) - kEpochOffset);
const double kLastDay = static_cast<double>(DaysFromCivil(9999, 12, 31) - kEpochOffset);

}  // namespace

TDataHora EncodeDate(int year, int month, int day) {
  return static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                             kEpochOffset);
}

bool IsPossibleDate(TDataHora value) {
  // Also false for NaN. Far outside these years the day would not even fit
  // the 64-bit integer that DecodeDate works in.
  return value >= kFirstDay && value < kLastDay + 1;
}

void DecodeDate(TDataHora value, int& year, int& month, int& day) {
  std::int64_t z = static_cast<std::int64_t>(std::floor(value)) + kEpochOffset + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

TDataHora Today(const Clock& clock) {
  const CivilTime t = clock.LocalTime();
  return EncodeDate(t.year, t.month, t.day);
}

}  // namespace quillmont
