#pragma once
// The user's locale, read from the system: the pieces the formatters need.
#include <string>

class QLocale;

namespace quillmont {

std::string SystemThousandsSeparator();
// A locale's short date pattern; empty (the fallback) for the C locale.
std::string ShortDatePattern(const QLocale& locale);
std::string SystemShortDatePattern();

}  // namespace quillmont
