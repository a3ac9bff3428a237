#pragma once
// The best-players file "QUILLMONT.REC": 270 lines of 56 or more single-byte
// characters, CR LF, in the order of the table.
#include <string>
#include <string_view>

#include "records/TRecorde.h"

namespace quillmont {

std::string FormatRecords(const TTabelaRecordes& table);
// Never fails: what cannot be read is empty. A field out of range or not a
// number empties only the entry of its line.
TTabelaRecordes ParseRecords(std::string_view bytes);

// A missing or unreadable file gives an empty table.
TTabelaRecordes LeArqRec(const std::string& path);
// Replaces the file atomically; false when that failed (the old file is then
// whole). Never throws, never reports.
bool GravaArqRec(const TTabelaRecordes& table, const std::string& path);

}  // namespace quillmont
