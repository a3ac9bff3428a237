#include "records/RecordsStore.h"

#include <filesystem>
#include <tuple>

#include "platform/AtomicFile.h"
#include "platform/FileUpdate.h"
#include "records/RecordsFile.h"

namespace quillmont {

RecordsStore::RecordsStore(std::string programFile, std::string userFile, int programFolder)
    : programFile_(std::move(programFile)), programFolder_(programFolder), userFile_(std::move(userFile)) {
  current_ = ChosenFile();
}

std::pair<std::string, int> RecordsStore::Reach(const std::string& file) const {
  if (file != programFile_ || programFolder_ < 0) return {file, -1};
  return {file.substr(file.rfind('/') + 1), programFolder_};
}

FileContents RecordsStore::Read(const std::string& file) const {
  const auto [path, anchor] = Reach(file);
  return ReadFileContents(path, anchor);
}

std::string RecordsStore::ChosenFile() const {
  std::error_code error;
  const bool userFileExists =
      !userFile_.empty() &&
      std::filesystem::symlink_status(userFile_, error).type() != std::filesystem::file_type::not_found;
  return programFile_.empty() || userFileExists ? userFile_ : programFile_;
}

TTabelaRecordes RecordsStore::Load(const Merge& mergeJournals) {
  for (const std::string& file : {programFile_, userFile_}) {
    if (file.empty()) continue;
    const auto [path, anchor] = Reach(file);
    RemoveStaleTemporaries(path, anchor);
  }
  // One try: a busy lock leaves the journals to the next write.
  const std::string chosen = ChosenFile();
  if (!chosen.empty()) WriteTo(chosen, mergeJournals, std::string(), std::nullopt, true);
  current_ = ChosenFile();
  FileContents contents = Read(current_);
  // A player's copy that cannot be read still leaves the program's table to show.
  if (contents.status != FileContents::Status::kRead && current_ != programFile_ && !programFile_.empty()) {
    contents = Read(programFile_);
  }
  return contents.status == FileContents::Status::kRead ? ParseRecords(contents.bytes) : TTabelaRecordes{};
}

RecordsStore::Attempt RecordsStore::WriteTo(const std::string& file, const Merge& merge, const std::string& journal,
                                            LockDeadline until, bool onlyJournals) {
  Attempt attempt;
  attempt.file = file;
  const bool userFile = file == userFile_;
  FileUpdate update;
  std::tie(update.path, update.anchor) = Reach(file);
  update.makeFolder = userFile;
  update.until = until;
  update.onlyJournals = onlyJournals;
  if (until) update.journal = journal;
  update.apply = [&](const FileContents& now, const std::vector<std::string>& journals) {
    FileContents base = now;
    // The player's copy starts as a copy of the program's table.
    if (now.status == FileContents::Status::kMissing && userFile && !programFile_.empty()) {
      base = Read(programFile_);
    }
    TTabelaRecordes table = base.status == FileContents::Status::kRead ? ParseRecords(base.bytes) : TTabelaRecordes{};
    merge(table, journals);
    attempt.merged = table;
    return std::optional<std::string>(FormatRecords(table));
  };
  const UpdateResult result = UpdateFile(update);
  switch (result.outcome) {
    case UpdateOutcome::kWritten:
    case UpdateOutcome::kJournaled:
      attempt.outcome = Outcome::kWritten;
      current_ = file;
      break;
    case UpdateOutcome::kBusy:
      attempt.outcome = Outcome::kBusy;
      break;
    default:
      // Read-only, unreadable, not ours, no lock to be had, or a failed
      // write: another place may take the changes.
      attempt.outcome = Outcome::kRefused;
      attempt.merged.reset();
      break;
  }
  return attempt;
}

RecordsStore::Attempt RecordsStore::Write(const Merge& merge, const std::string& journal, LockDeadline until) {
  const std::string chosen = ChosenFile();
  if (chosen.empty()) {
    // No file to keep: the changes stand in memory, as start-up said.
    Attempt nowhere;
    nowhere.outcome = Outcome::kWritten;
    return nowhere;
  }
  Attempt attempt = WriteTo(chosen, merge, journal, until, false);
  if (attempt.outcome != Outcome::kRefused || attempt.file == userFile_ || userFile_.empty()) return attempt;
  return WriteTo(userFile_, merge, journal, until, false);
}

}  // namespace quillmont
