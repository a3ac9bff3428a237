#include "records/RecordsStore.h"

#include <optional>

#include "platform/AtomicFile.h"
#include "records/RecordsFile.h"
#include "records/SharedState.h"
#include "records/TableChanges.h"

namespace quillmont {
namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

RecordsStore::RecordsStore(std::string programFile, std::string userFile)
    : programFile_(std::move(programFile)), userFile_(std::move(userFile)), current_(programFile_) {}

TTabelaRecordes RecordsStore::Load() {
  // The player's own copy, once made, holds the newest results.
  std::optional<std::string> bytes = HasUserFile() ? ReadWholeFile(userFile_) : std::nullopt;
  if (bytes) {
    current_ = userFile_;
  } else {
    current_ = CanReplaceFile(programFile_) || !HasUserFile() ? programFile_ : userFile_;
    bytes = ReadWholeFile(programFile_);
  }
  RemoveStaleTemporaries(programFile_);
  if (current_ != programFile_) RemoveStaleTemporaries(current_);
  return bytes ? ParseRecords(*bytes) : TTabelaRecordes{};
}

bool RecordsStore::SaveTo(const std::string& path, SharedState& shared) {
  if (path == userFile_ && !EnsureDirectory(FolderOf(path))) return false;
  const FileLock lock(path);
  std::optional<std::string> bytes = ReadWholeFile(path);
  // The player's copy starts as a copy of the program's table.
  if (!bytes && path == userFile_) bytes = ReadWholeFile(programFile_);
  TTabelaRecordes table = bytes ? ParseRecords(*bytes) : TTabelaRecordes{};

  int rank = kNoRank;
  bool follows = false;
  for (const TableChange& change : shared.Unsaved) {
    const int at = ApplyChange(table, change);
    if (change.kind != TableChange::Kind::Reset) {
      rank = at;
      follows = true;
    }
  }
  try {
    WriteFileAtomically(path, FormatRecords(table));
  } catch (const FileWriteError&) {
    return false;
  }
  current_ = path;
  shared.Tabela = table;
  shared.Unsaved.clear();
  // Only while the result's row is marked; a result that others pushed out
  // keeps its mark where it was.
  if (follows && rank < kNoRank && shared.PosicaoRanking < kNoRank) shared.PosicaoRanking = rank;
  return true;
}

void RecordsStore::Save(SharedState& shared) {
  if (SaveTo(current_, shared)) return;
  if (current_ == userFile_ || !HasUserFile()) throw FileWriteError(current_);
  if (SaveTo(userFile_, shared)) return;
  throw FileWriteError(userFile_);
}

}  // namespace quillmont
