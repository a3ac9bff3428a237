#pragma once
// Date-time values: days since 30 December 1899 as a double; the fraction is
// the time of day (0.5 is noon).
#include "platform/Clock.h"

namespace quillmont {

using TDataHora = double;

// Days from 30 December 1899 to the given proleptic Gregorian date.
TDataHora EncodeDate(int year, int month, int day);
// Whether the whole part of a value is a day of the years 1 to 9999, the
// calendar that dates are shown in; a file may hold any other number.
bool IsPossibleDate(TDataHora value);
// Inverse of EncodeDate for the whole part of a possible date.
void DecodeDate(TDataHora value, int& year, int& month, int& day);

// The local calendar date, fraction 0: the date of a new result.
TDataHora Today(const Clock& clock);

}  // namespace quillmont
