#pragma once
// Numbers and dates as the player reads them, given the locale's pieces as
// plain values (the Qt side looks those up); and text brought to the
// single bytes that names are kept in.
#include <string>
#include <string_view>

namespace quillmont {

// The whole number nearest to value (halves to even), its digits grouped in
// threes from the right by the separator, "-" before a negative one.
std::string FormatWholeNumber(long double value, std::string_view thousandsSeparator);

// A date by a Qt-style pattern: d, dd, M, MM, yy, yyyy, text in single
// quotes, anything else as it stands. An empty pattern is "M/d/yy".
std::string FormatShortDate(int year, int month, int day, std::string_view pattern);

// UTF-8 text as single bytes (Latin-1), as the name box takes a name: a
// character that Latin-1 cannot hold is left out, and so is a byte that
// starts no valid sequence.
std::string Utf8ToLatin1(std::string_view utf8);
// Single bytes (Latin-1), as names are kept, as UTF-8 text.
std::string Latin1ToUtf8(std::string_view latin1);

}  // namespace quillmont
