#include "records/TableChanges.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "platform/FileUpdate.h"

#include "records/Ranking.h"
#include "records/SharedState.h"

namespace quillmont {
namespace {

TableChange ForCurrentCategory(const SharedState& shared, TableChange::Kind kind) {
  TableChange change;
  change.kind = kind;
  change.board = shared.Board;
  change.numColors = shared.NumColors;
  change.numFits = shared.NumFits;
  return change;
}

int NameResult(TTabelaRecordes& table, const TableChange& change) {
  const int found = FindResult(table, change.board, change.numColors, change.numFits, change.result, change.rank);
  if (found != kNoRank) {
    table.At(change.board, change.numColors, change.numFits, found).Nome = CleanName(change.name.substr(0, kMaxNameLength));
  }
  return found;
}

constexpr std::string_view kJournalHeader = "QUILLMONT.REC journal 1";

// "<score bytes>,<missed tiles>,<date bits>,<name>", each in hex but the
// missed tiles: exact both ways, whatever the locale.
std::string EntryText(const TRecorde& entry) {
  const auto& bytes = entry.Escore.Bytes();
  std::string date(16, '0');
  std::uint64_t bits = std::bit_cast<std::uint64_t>(entry.Data);
  for (int i = 15; i >= 0; --i, bits >>= 4) date[static_cast<std::size_t>(i)] = "0123456789abcdef"[bits & 15];
  return ToHex(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())) + ',' +
         std::to_string(entry.Perdidas) + ',' + date + ',' + ToHex(entry.Nome);
}

std::optional<std::string_view> NextField(std::string_view& text, char separator) {
  if (text.empty()) return std::nullopt;
  const std::size_t at = text.find(separator);
  const std::string_view field = text.substr(0, at);
  text.remove_prefix(at == std::string_view::npos ? text.size() : at + 1);
  return field;
}

std::optional<std::int64_t> Integer(std::string_view text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<TRecorde> ParseEntry(std::string_view text) {
  const auto score = NextField(text, ','), missed = NextField(text, ','), date = NextField(text, ',');
  const std::string_view nameHex = text;
  if (!score || !missed || !date || date->size() != 16) return std::nullopt;
  const std::optional<std::string> scoreBytes = FromHex(*score);
  const std::optional<std::string> dateBytes = FromHex(*date);
  const std::optional<std::string> name = FromHex(nameHex);
  const std::optional<std::int64_t> perdidas = Integer(*missed);
  if (!scoreBytes || scoreBytes->size() != 6 || !dateBytes || !name || name->size() > kMaxNameLength || !perdidas ||
      *perdidas < INT32_MIN || *perdidas > INT32_MAX) {
    return std::nullopt;
  }
  TRecorde entry;
  std::array<std::uint8_t, 6> bytes{};
  for (std::size_t i = 0; i < 6; ++i) bytes[i] = static_cast<std::uint8_t>((*scoreBytes)[i]);
  entry.Escore = TReal6::FromBytes(bytes);
  std::uint64_t bits = 0;
  for (const char c : *dateBytes) bits = bits << 8 | static_cast<unsigned char>(c);
  entry.Data = std::bit_cast<double>(bits);
  if (!std::isfinite(entry.Data)) return std::nullopt;
  entry.Perdidas = static_cast<std::int32_t>(*perdidas);
  entry.Nome = CleanName(*name);
  return entry;
}

bool SameResult(const TRecorde& a, const TRecorde& b) {
  return a.Escore == b.Escore && a.Perdidas == b.Perdidas && a.Data == b.Data;
}

// One journal line: "<R|N|X> <board> <colours> <fits> <rank> <entry>...".
// R: the result ranked; N: the result named and the name in hex; X: the
// entries a Reset cleared.
void ApplyJournalLine(TTabelaRecordes& table, std::string_view line) {
  const auto kind = NextField(line, ' ');
  const auto board = NextField(line, ' '), colors = NextField(line, ' '), fits = NextField(line, ' ');
  const auto rank = NextField(line, ' ');
  if (!kind || !board || !colors || !fits || !rank) return;
  const auto b = Integer(*board), c = Integer(*colors), f = Integer(*fits), r = Integer(*rank);
  if (!b || !c || !f || !r || *b < 0 || *b > 2 || *c < 4 || *c > 6 || *f < 2 || *f > 3 || *r < 1 || *r > kNoRank) {
    return;
  }
  TableChange change;
  change.board = static_cast<int>(*b), change.numColors = static_cast<int>(*c), change.numFits = static_cast<int>(*f);
  change.rank = static_cast<int>(*r);
  std::vector<TRecorde> entries;
  while (const auto field = NextField(line, ' ')) {
    const std::optional<TRecorde> entry = ParseEntry(*field);
    if (!entry || entries.size() > kRanks) return;
    entries.push_back(*entry);
  }
  const auto stands = [&](const TRecorde& result) {
    for (int at = 1; at <= kRanks; ++at) {
      if (SameResult(table.At(change.board, change.numColors, change.numFits, at), result)) return true;
    }
    return false;
  };
  if (*kind == "R" && entries.size() == 1) {
    change.result = entries[0];
    change.result.Nome.clear();
    if (!stands(change.result)) ApplyChange(table, change);
  } else if (*kind == "N" && entries.size() == 2) {
    change.kind = TableChange::Kind::Named;
    change.result = entries[0];
    change.result.Nome.clear();
    change.name = entries[1].Nome;
    ApplyChange(table, change);
  } else if (*kind == "X") {
    std::vector<TRecorde> kept;
    for (int at = 1; at <= kRanks; ++at) {
      const TRecorde& entry = table.At(change.board, change.numColors, change.numFits, at);
      const bool seen = std::find(entries.begin(), entries.end(), entry) != entries.end();
      if (entry != TRecorde{} && !seen) kept.push_back(entry);
    }
    table.ClearCategory(change.board, change.numColors, change.numFits);
    for (std::size_t i = 0; i < kept.size(); ++i) {
      table.At(change.board, change.numColors, change.numFits, static_cast<int>(i) + 1) = kept[i];
    }
  }
}

}  // namespace

std::string JournalText(const std::vector<TableChange>& changes) {
  std::string text = std::string(kJournalHeader) + "\n";
  for (const TableChange& change : changes) {
    static constexpr char kKinds[] = {'R', 'N', 'X'};
    text += kKinds[static_cast<int>(change.kind)];
    for (const int number : {change.board, change.numColors, change.numFits, std::clamp(change.rank, 1, kNoRank)}) {
      text += ' ' + std::to_string(number);
    }
    if (change.kind == TableChange::Kind::Reset) {
      for (const TRecorde& entry : change.seen) {
        if (entry != TRecorde{}) text += ' ' + EntryText(entry);
      }
    } else {
      text += ' ' + EntryText(change.result);
      if (change.kind == TableChange::Kind::Named) {
        TRecorde name;
        name.Nome = change.name.substr(0, kMaxNameLength);
        text += ' ' + EntryText(name);
      }
    }
    text += '\n';
  }
  return text;
}

void ApplyJournal(TTabelaRecordes& table, std::string_view journal) {
  const std::size_t headerEnd = journal.find('\n');
  if (headerEnd == std::string_view::npos || journal.substr(0, headerEnd) != kJournalHeader) return;
  journal.remove_prefix(headerEnd + 1);
  while (const auto line = NextField(journal, '\n')) ApplyJournalLine(table, *line);
}

int FindResult(const TTabelaRecordes& table, int board, int numColors, int numFits, const TRecorde& result,
               int near) {
  int found = kNoRank;
  for (int r = 1; r <= kRanks; ++r) {
    if (table.At(board, numColors, numFits, r) != result) continue;
    if (found == kNoRank || std::abs(r - near) < std::abs(found - near)) found = r;
  }
  return found;
}

int ApplyChange(TTabelaRecordes& table, const TableChange& change) {
  switch (change.kind) {
    case TableChange::Kind::Ranked:
      return RankResult(table, change.board, change.numColors, change.numFits, change.result.Escore,
                        change.result.Perdidas, change.result.Data);
    case TableChange::Kind::Named:
      return NameResult(table, change);
    case TableChange::Kind::Reset:
      table.ClearCategory(change.board, change.numColors, change.numFits);
      return kNoRank;
  }
  return kNoRank;
}

TableChange FinishedGame(const SharedState& shared, TReal6 score, std::int32_t perdidas, TDataHora today) {
  TableChange change = ForCurrentCategory(shared, TableChange::Kind::Ranked);
  change.result.Escore = score;
  change.result.Perdidas = perdidas;
  change.result.Data = today;
  return change;
}

void TakeVerdict(SharedState& shared, const TableChange& game, int rank) {
  shared.PosicaoRanking = rank;
  shared.RankedResult.reset();
  if (rank < kNoRank) shared.RankedResult = game.result;
}

void FollowRankedResult(SharedState& shared) {
  if (!shared.RankedResult || shared.PosicaoRanking >= kNoRank) return;
  shared.PosicaoRanking = FindResult(shared.Tabela, shared.Board, shared.NumColors, shared.NumFits,
                                     *shared.RankedResult, shared.PosicaoRanking);
  if (shared.PosicaoRanking == kNoRank) shared.RankedResult.reset();
}

bool AwaitsName(const SharedState& shared) {
  if (!shared.RankedResult || !shared.RankedResult->Nome.empty() || shared.PosicaoRanking >= kNoRank) return false;
  return shared.Tabela.At(shared.Board, shared.NumColors, shared.NumFits, shared.PosicaoRanking) ==
         *shared.RankedResult;
}

void NameRankedResult(SharedState& shared) {
  if (!AwaitsName(shared)) return;
  TableChange change = ForCurrentCategory(shared, TableChange::Kind::Named);
  change.result = *shared.RankedResult;
  change.rank = shared.PosicaoRanking;
  change.name = shared.Player;
  ApplyChange(shared.Tabela, change);
  shared.RankedResult->Nome = CleanName(change.name.substr(0, kMaxNameLength));
  shared.Unsaved.push_back(change);
}

void ResetCategory(SharedState& shared) {
  TableChange change = ForCurrentCategory(shared, TableChange::Kind::Reset);
  for (int r = 1; r <= kRanks; ++r) {
    change.seen.push_back(shared.Tabela.At(shared.Board, shared.NumColors, shared.NumFits, r));
  }
  ApplyChange(shared.Tabela, change);
  // The marked row stays red, empty; no result of ours is left to follow.
  shared.RankedResult.reset();
  shared.Unsaved.push_back(change);
}

}  // namespace quillmont
