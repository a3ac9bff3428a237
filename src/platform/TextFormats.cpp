#include "platform/TextFormats.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace quillmont {

std::string FormatWholeNumber(long double value, std::string_view thousandsSeparator) {
  long double whole = std::nearbyint(value);
  const bool negative = whole < 0;
  // to_chars, not printf: the digits never follow the C library's locale;
  // the only separator is the one given. Room for every finite long double.
  char digits[std::numeric_limits<long double>::max_exponent10 + 2];
  const char* end =
      std::to_chars(digits, digits + sizeof digits, std::fabs(whole), std::chars_format::fixed, 0).ptr;
  const std::string plain(digits, end - digits);
  std::string out = negative ? "-" : "";
  for (std::size_t i = 0; i < plain.size(); ++i) {
    if (i > 0 && (plain.size() - i) % 3 == 0) out += thousandsSeparator;
    out += plain[i];
  }
  return out;
}

std::string FormatShortDate(int year, int month, int day, std::string_view pattern) {
  if (pattern.empty()) pattern = "M/d/yy";
  std::string out;
  const auto number = [&out](int value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    out += text;
  };
  for (std::size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    std::size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    if (c == '\'') {
      const std::size_t close = pattern.find('\'', i + 1);
      if (close == i + 1) {
        out += '\'';  // '' is a quote
      } else {
        out += pattern.substr(i + 1, (close == std::string_view::npos ? pattern.size() : close) - i - 1);
      }
      i = close == std::string_view::npos ? pattern.size() : close + 1;
      continue;
    }
    if (c == 'd') {
      number(day, run >= 2 ? 2 : 1);
    } else if (c == 'M') {
      number(month, run >= 2 ? 2 : 1);
    } else if (c == 'y') {
      if (run >= 3) {
        number(year, 4);
      } else {
        number(((year % 100) + 100) % 100, 2);
      }
    } else {
      out.append(run, c);
    }
    i += run;
  }
  return out;
}

}  // namespace quillmont
