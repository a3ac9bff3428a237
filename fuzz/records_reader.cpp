// Any bytes as "QUILLMONT.REC": reading never fails, and once read and
// written the table is a fixed point: reading the written file back and
// writing it again gives the same bytes, of the one fixed length; every date
// read is one the gallery can show.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "records/PlayerName.h"
#include "records/RecordsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmont;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string once = FormatRecords(ParseRecords(bytes));
  const TTabelaRecordes table = ParseRecords(once);
  const std::string twice = FormatRecords(table);
  if (once != twice) std::abort();
  if (ParseRecords(twice) != table) std::abort();
  for (int i = 0; i < TTabelaRecordes::kEntries; ++i) {
    const TRecorde& entry = table.Line(i);
    if (entry.Nome.size() > static_cast<std::size_t>(kMaxNameLength)) std::abort();
    int year = 0, month = 0, day = 0;
    DecodeDate(entry.Data, year, month, day);
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) std::abort();
  }
  return 0;
}
