#pragma once
// This run's changes to the best-players table, and the journal that carries
// them when the file's lock stays busy at shutdown: a text file beside the
// records file that any copy's next write merges. A journal is untrusted:
// a line that does not parse is skipped whole.
#include <string>
#include <string_view>
#include <vector>

#include "records/Category.h"
#include "records/TRecorde.h"

namespace quillmont {

// A result ranked, a name given to it, a category reset. Each is made in
// memory at once and kept until it reaches the file, so that every write can
// apply it again to the file as another running copy may have left it.
struct TableChange {
  enum class Kind { Ranked, Named, Reset };
  Kind kind = Kind::Ranked;
  Category category;
  TRecorde result;     // Ranked, Named: the result as ranked, its name empty
  int rank = kNoRank;  // Named: where this run last saw the result
  std::string name;    // Named
  std::vector<TRecorde> seen;  // Reset: the category's entries as this run saw them
};

std::string JournalText(const std::vector<TableChange>& changes);
// The changes a journal holds, in order; nothing from a journal of another kind.
std::vector<TableChange> ParseJournal(std::string_view journal);

}  // namespace quillmont
