#pragma once
// The best-players file "QUILLMONT.REC": 270 lines of 56 or more single-byte
// characters, CR LF, in the order of the table; read back with CR LF or LF alone.
#include <string>
#include <string_view>

#include "records/TRecorde.h"

namespace quillmont {

inline constexpr const char* kRecordsFileName = "QUILLMONT.REC";

std::string FormatRecords(const TTabelaRecordes& table);
// Never fails: what cannot be read is empty. A field out of range or not a
// number empties only the entry of its line.
TTabelaRecordes ParseRecords(std::string_view bytes);

}  // namespace quillmont
