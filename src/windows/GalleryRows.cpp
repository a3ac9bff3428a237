#include "windows/GalleryRows.h"

#include "platform/TextFormats.h"

namespace quillmont {

std::array<std::string, 5> FormatGalleryRow(const TRecorde& entry, int rank, const GalleryFormats& formats) {
  std::string date;
  if (entry.Data != 0.0) {
    int year = 0, month = 0, day = 0;
    DecodeDate(entry.Data, year, month, day);
    date = FormatShortDate(year, month, day, formats.shortDatePattern);
  }
  return {std::to_string(rank), Latin1ToUtf8(entry.Nome),
          FormatWholeNumber(entry.Escore.ToLongDouble(), formats.thousandsSeparator), std::to_string(entry.Perdidas),
          date};
}

}  // namespace quillmont
