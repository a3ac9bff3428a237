#include "records/RecordsStore.h"

#include <filesystem>

#include "platform/AtomicFile.h"
#include "records/RecordsFile.h"
#include "records/SharedState.h"

namespace quillmont {

RecordsStore::RecordsStore(std::string programFile, std::string userFile)
    : programFile_(std::move(programFile)), userFile_(std::move(userFile)) {
  current_ = ChosenFile();
}

std::string RecordsStore::ChosenFile() const {
  std::error_code error;
  const bool userFileExists =
      !userFile_.empty() &&
      std::filesystem::symlink_status(userFile_, error).type() != std::filesystem::file_type::not_found;
  return programFile_.empty() || userFileExists ? userFile_ : programFile_;
}

TTabelaRecordes RecordsStore::Load() {
  for (const std::string& file : {programFile_, userFile_}) {
    if (const auto target = file.empty() ? std::nullopt : WriteTarget(file)) RemoveStaleTemporaries(*target);
  }
  current_ = ChosenFile();
  FileContents contents = ReadFileContents(current_);
  // A player's copy that cannot be read still leaves the program's table to show.
  if (contents.status != FileContents::Status::kRead && current_ != programFile_ && !programFile_.empty()) {
    contents = ReadFileContents(programFile_);
  }
  return contents.status == FileContents::Status::kRead ? ParseRecords(contents.bytes) : TTabelaRecordes{};
}

RecordsStore::Attempt RecordsStore::WriteTo(const std::string& file, const std::vector<TableChange>& changes,
                                            bool atShutdown) {
  Attempt attempt;
  attempt.file = file;
  const bool userFile = file == userFile_;
  if (userFile && !EnsureDirectory(FolderOf(file))) return attempt;
  // A link of somebody else's counts as a file we may not write.
  const std::optional<std::string> target = WriteTarget(file);
  if (!target || !CanReplaceFile(*target)) return attempt;

  const FileLock lock(*target);
  if (lock.Status() == FileLock::State::kBusy && !atShutdown) {
    attempt.outcome = Outcome::kBusy;
    return attempt;
  }
  FileContents now = ReadFileContents(*target);
  // What a file holds that cannot be read is unknown: it is never written over.
  if (now.status == FileContents::Status::kUnreadable) {
    attempt.outcome = Outcome::kUnreadable;
    return attempt;
  }
  // The player's copy starts as a copy of the program's table.
  if (now.status == FileContents::Status::kMissing && userFile && !programFile_.empty()) {
    now = ReadFileContents(programFile_);
  }
  TTabelaRecordes table = now.status == FileContents::Status::kRead ? ParseRecords(now.bytes) : TTabelaRecordes{};
  for (const TableChange& change : changes) attempt.lastRank = ApplyChange(table, change);
  attempt.merged = table;
  try {
    WriteFileAtomically(*target, FormatRecords(table));
  } catch (const FileWriteError&) {
    return attempt;
  }
  attempt.outcome = Outcome::kWritten;
  current_ = file;
  return attempt;
}

RecordsStore::Attempt RecordsStore::Write(const std::vector<TableChange>& changes, bool atShutdown) {
  const std::string chosen = ChosenFile();
  if (chosen.empty()) {
    // No file to keep: the changes stand in memory, as start-up said.
    Attempt nowhere;
    nowhere.outcome = Outcome::kWritten;
    return nowhere;
  }
  Attempt attempt = WriteTo(chosen, changes, atShutdown);
  const bool refused = attempt.outcome == Outcome::kFailed || attempt.outcome == Outcome::kUnreadable;
  if (!refused || attempt.file == userFile_ || userFile_.empty()) return attempt;
  Attempt own = WriteTo(userFile_, changes, atShutdown);
  if (!own.merged) {
    own.merged = std::move(attempt.merged);
    own.lastRank = attempt.lastRank;
  }
  return own;
}

bool RecordsStore::RankFinishedGame(SharedState& shared, TReal6 score, std::int32_t perdidas, TDataHora today) {
  const TableChange game = FinishedGame(shared, score, perdidas, today);
  std::vector<TableChange> changes = shared.Unsaved;
  changes.push_back(game);
  Attempt attempt = Write(changes, false);
  int rank = attempt.lastRank;
  if (attempt.merged) {
    shared.Tabela = std::move(*attempt.merged);
  } else {
    rank = ApplyChange(shared.Tabela, game);  // the table as last read
  }
  TakeVerdict(shared, game, rank);
  if (attempt.outcome == Outcome::kWritten) {
    shared.Unsaved.clear();
    return true;
  }
  if (rank < kNoRank) shared.Unsaved.push_back(game);
  if (attempt.outcome == Outcome::kBusy) return false;
  throw FileWriteError(attempt.file);
}

bool RecordsStore::Save(SharedState& shared, bool atShutdown) {
  Attempt attempt = Write(shared.Unsaved, atShutdown);
  if (attempt.merged) {
    shared.Tabela = std::move(*attempt.merged);
    FollowRankedResult(shared);
  }
  if (attempt.outcome == Outcome::kWritten) {
    shared.Unsaved.clear();
    return true;
  }
  if (attempt.outcome == Outcome::kBusy) return false;
  throw FileWriteError(attempt.file);
}

}  // namespace quillmont
