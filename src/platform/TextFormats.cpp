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

std::string Utf8ToLatin1(std::string_view utf8) {
  std::string out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > utf8.size()) {
      ++i;  // a stray byte
      continue;
    }
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    bool valid = true;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      valid = valid && (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    if (!valid) {
      ++i;
      continue;
    }
    if (code <= 0xFF) out += static_cast<char>(code);
    i += length;
  }
  return out;
}

std::string Latin1ToUtf8(std::string_view latin1) {
  std::string out;
  for (const char byte : latin1) {
    const auto code = static_cast<unsigned char>(byte);
    if (code < 0x80) {
      out += byte;
    } else {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

}  // namespace quillmont
