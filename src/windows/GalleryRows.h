#pragma once
// The texts of the gallery's rows, apart from the widgets that show them.
#include <array>
#include <string>

#include "records/TRecorde.h"

namespace quillmont {

// How numbers and dates are shown: the user's locale by default.
struct GalleryFormats {
  std::string thousandsSeparator;
  std::string shortDatePattern;
  static GalleryFormats System();  // looked up by the Qt side, with the window
};

// One row's cells in UTF-8: rank, name, score with its digits grouped,
// missed tiles, and the short date, empty for an entry never played.
std::array<std::string, 5> FormatGalleryRow(const TRecorde& entry, int rank, const GalleryFormats& formats);

}  // namespace quillmont
