#pragma once
// The user's locale, read from the system: the pieces the formatters need.
#include <string>

namespace quillmont {

std::string SystemThousandsSeparator();
std::string SystemShortDatePattern();

}  // namespace quillmont
