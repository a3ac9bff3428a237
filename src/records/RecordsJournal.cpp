#include "records/RecordsJournal.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <optional>

#include "platform/FileUpdate.h"
#include "records/PlayerName.h"

namespace quillmont {
namespace {

constexpr std::string_view kJournalHeader = "QUILLMONT.REC journal 1";
constexpr char kKinds[] = {'R', 'N', 'X'};

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
  entry.Nome = PlayerName(*name).Text();
  return entry;
}

// One journal line: "<R|N|X> <board> <colours> <fits> <rank> <entry>...".
// R: the result ranked; N: the result named and the name in hex; X: the
// entries a Reset cleared.
std::optional<TableChange> ParseLine(std::string_view line) {
  const auto kind = NextField(line, ' ');
  const auto board = NextField(line, ' '), colors = NextField(line, ' '), fits = NextField(line, ' ');
  const auto rank = NextField(line, ' ');
  if (!kind || kind->size() != 1 || !board || !colors || !fits || !rank) return std::nullopt;
  const auto b = Integer(*board), c = Integer(*colors), f = Integer(*fits), r = Integer(*rank);
  const char* const kindAt = std::find(std::begin(kKinds), std::end(kKinds), (*kind)[0]);
  if (!b || !c || !f || !r || *r < 1 || *r > kNoRank || kindAt == std::end(kKinds)) return std::nullopt;
  const std::optional<Category> category = Category::Checked(*b, *c, *f);
  if (!category) return std::nullopt;
  TableChange change;
  change.kind = static_cast<TableChange::Kind>(kindAt - std::begin(kKinds));
  change.category = *category;
  change.rank = static_cast<int>(*r);
  std::vector<TRecorde> entries;
  while (const auto field = NextField(line, ' ')) {
    const std::optional<TRecorde> entry = ParseEntry(*field);
    if (!entry || entries.size() > kRanks) return std::nullopt;
    entries.push_back(*entry);
  }
  switch (change.kind) {
    case TableChange::Kind::Ranked:
      if (entries.size() != 1) return std::nullopt;
      change.result = entries[0];
      break;
    case TableChange::Kind::Named:
      if (entries.size() != 2) return std::nullopt;
      change.result = entries[0];
      change.name = entries[1].Nome;
      break;
    case TableChange::Kind::Reset:
      change.seen = std::move(entries);
      break;
  }
  change.result.Nome.clear();
  return change;
}

}  // namespace

std::string JournalText(const std::vector<TableChange>& changes) {
  std::string text = std::string(kJournalHeader) + "\n";
  for (const TableChange& change : changes) {
    text += kKinds[static_cast<int>(change.kind)];
    const Category category = change.category;
    for (const int number : {category.Board(), category.NumColors(), category.NumFits(),
                             std::clamp(change.rank, 1, kNoRank)}) {
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
        name.Nome = PlayerName(change.name).Text();
        text += ' ' + EntryText(name);
      }
    }
    text += '\n';
  }
  return text;
}

std::vector<TableChange> ParseJournal(std::string_view journal) {
  std::vector<TableChange> changes;
  const std::size_t headerEnd = journal.find('\n');
  if (headerEnd == std::string_view::npos || journal.substr(0, headerEnd) != kJournalHeader) return changes;
  journal.remove_prefix(headerEnd + 1);
  while (const auto line = NextField(journal, '\n')) {
    if (std::optional<TableChange> change = ParseLine(*line)) changes.push_back(std::move(*change));
  }
  return changes;
}

}  // namespace quillmont
