#include "platform/ProfileFile.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/FileUpdate.h"

namespace quillmont {
namespace {

constexpr std::size_t kMaxTextValue = 1023;

struct Line {
  std::string_view body;  // without its line end
  std::string_view end;   // "\n", "\r\n" or empty for an unterminated last line
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  while (!text.empty()) {
    const std::size_t nl = text.find('\n');
    std::string_view line = nl == std::string_view::npos ? text : text.substr(0, nl + 1);
    text.remove_prefix(line.size());
    std::string_view end;
    if (!line.empty() && line.back() == '\n') {
      const bool crlf = line.size() >= 2 && line[line.size() - 2] == '\r';
      end = line.substr(line.size() - (crlf ? 2 : 1));
      line.remove_suffix(end.size());
    }
    lines.push_back({line, end});
  }
  return lines;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// "[name]" -> name; false for any other line.
bool SectionName(std::string_view body, std::string_view& name) {
  body = Trim(body);
  if (body.empty() || body.front() != '[') return false;
  body.remove_prefix(1);
  const std::size_t close = body.find(']');
  name = Trim(close == std::string_view::npos ? body : body.substr(0, close));
  return true;
}

bool KeyLine(std::string_view body, std::string_view& key, std::string_view& value) {
  const std::size_t eq = body.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(body.substr(0, eq));
  value = Trim(body.substr(eq + 1));
  return !key.empty() && key.front() != ';';
}

std::string ReadFileText(const std::string& path) { return ReadFileContents(path).bytes; }

}  // namespace

bool ProfileFile::Find(std::string_view text, std::string_view section, std::string_view key, std::string& value) {
  bool inSection = false;
  for (const Line& line : SplitLines(text)) {
    std::string_view name;
    if (SectionName(line.body, name)) {
      // Only the first copy of a section counts, as for the writes.
      if (inSection) return false;
      inSection = SameName(name, section);
      continue;
    }
    std::string_view k, v;
    if (inSection && KeyLine(line.body, k, v) && SameName(k, key)) {
      if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
      }
      value = std::string(v.substr(0, kMaxTextValue));
      return true;
    }
  }
  return false;
}

std::string ProfileFile::Replace(std::string_view text, std::string_view section, std::string_view key,
                                 std::string_view value) {
  const std::vector<Line> lines = SplitLines(text);
  const std::string newLine = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
  const std::string entry = std::string(key) + "=" + std::string(value);

  std::ptrdiff_t sectionAt = -1;    // header line of the section
  std::ptrdiff_t lastKeyAt = -1;    // last key line inside it
  std::ptrdiff_t keyAt = -1;        // the key itself
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view name;
    if (SectionName(lines[i].body, name)) {
      if (inSection) break;  // the section ended; later copies do not count
      inSection = SameName(name, section);
      if (inSection) sectionAt = lastKeyAt = static_cast<std::ptrdiff_t>(i);
      continue;
    }
    std::string_view k, v;
    if (inSection && KeyLine(lines[i].body, k, v)) {
      lastKeyAt = static_cast<std::ptrdiff_t>(i);
      if (SameName(k, key)) {
        keyAt = static_cast<std::ptrdiff_t>(i);
        break;
      }
    }
  }

  std::string out;
  out.reserve(text.size() + entry.size() + section.size() + 8);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto at = static_cast<std::ptrdiff_t>(i);
    if (at == keyAt) {
      out += entry;
      out += lines[i].end.empty() ? std::string_view(newLine) : lines[i].end;
      continue;
    }
    out += lines[i].body;
    // A last line without its end gets one when something follows it.
    out += lines[i].end.empty() && (keyAt < 0) ? std::string_view(newLine) : lines[i].end;
    if (keyAt < 0 && at == lastKeyAt) out += entry + newLine;
  }
  if (sectionAt < 0) out += "[" + std::string(section) + "]" + newLine + entry + newLine;
  return out;
}

bool ProfileFile::ParseInteger(std::string_view text, std::int32_t& value) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return false;
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit = 0;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && std::isxdigit(static_cast<unsigned char>(c))) {
      digit = std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
    } else {
      return false;
    }
    magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (magnitude > 0xFFFFFFFFull) return false;
  }
  if (base == 10) {
    if (magnitude > (negative ? 2147483648ull : 2147483647ull)) return false;
    value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                     : static_cast<std::int32_t>(magnitude);
  } else {
    // Hexadecimal covers the whole 32 bits: "$FFFFFFFF" is -1.
    const auto bits = static_cast<std::uint32_t>(magnitude);
    const auto signedBits = static_cast<std::int32_t>(bits);
    value = negative ? static_cast<std::int32_t>(0u - bits) : signedBits;
  }
  return true;
}

FileContents ProfileFile::Read() const { return ReadFileContents(path_); }


std::string ProfileFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& def) const {
  std::string value;
  return Find(ReadFileText(path_), section, key, value) ? value : def;
}

std::int32_t ProfileFile::ReadInteger(const std::string& section, const std::string& key, std::int32_t def) const {
  std::string text;
  std::int32_t value = 0;
  if (!Find(ReadFileText(path_), section, key, text) || !ParseInteger(text, value)) return def;
  return value;
}

namespace {

constexpr std::string_view kJournalHeader = "QUILLMONT.INI journal 1";

// One key per line, every field in hex: "<section> <key> <value> <0|1>".
std::string JournalText(const std::vector<std::pair<std::string, ProfileFile::KeyWrite>>& writes) {
  std::string text = std::string(kJournalHeader) + "\n";
  for (const auto& [section, write] : writes) {
    text += ToHex(section) + ' ' + ToHex(write.key) + ' ' + ToHex(write.value) + ' ' +
            (write.onlyWhenMissing ? '1' : '0') + '\n';
  }
  return text;
}

// Another copy's journal, untrusted: a line that does not parse, or a journal
// of anything else, changes nothing. Setting a key again to the same value
// changes nothing either, so a journal merged twice is merged once.
std::string ApplyJournal(std::string text, std::string_view journal) {
  const std::size_t headerEnd = journal.find('\n');
  if (headerEnd == std::string_view::npos || journal.substr(0, headerEnd) != kJournalHeader) return text;
  journal.remove_prefix(headerEnd + 1);
  while (!journal.empty()) {
    const std::size_t end = std::min(journal.find('\n'), journal.size());
    std::string_view line = journal.substr(0, end);
    journal.remove_prefix(std::min(end + 1, journal.size()));
    std::optional<std::string> fields[3];
    for (auto& field : fields) {
      const std::size_t space = line.find(' ');
      if (space == std::string_view::npos) break;
      field = FromHex(line.substr(0, space));
      line.remove_prefix(space + 1);
    }
    if (!fields[0] || !fields[1] || !fields[2] || (line != "0" && line != "1")) continue;
    const std::string& section = *fields[0];
    const std::string& key = *fields[1];
    const std::string& value = *fields[2];
    const bool clean = [&] {
      for (const std::string* s : {&section, &key, &value}) {
        if (s->size() > kMaxTextValue || s->find_first_of("\r\n") != std::string::npos) return false;
      }
      return !key.empty() && key.find('=') == std::string::npos && section.find(']') == std::string::npos;
    }();
    std::string current;
    if (!clean || (line == "1" && ProfileFile::Find(text, section, key, current))) continue;
    text = ProfileFile::Replace(text, section, key, value);
  }
  return text;
}

}  // namespace

bool ProfileFile::WriteStrings(const std::string& section, const std::vector<KeyWrite>& writes, LockDeadline until) {
  if (path_.empty()) return true;
  // Keys that waited go first: what the player did last wins.
  for (const KeyWrite& write : writes) {
    std::erase_if(pending_, [&](const Pending& p) {
      return SameName(p.section, section) && SameName(p.write.key, write.key) && !write.onlyWhenMissing;
    });
    pending_.push_back({section, write});
  }
  std::vector<std::pair<std::string, KeyWrite>> all;
  for (const Pending& p : pending_) all.emplace_back(p.section, p.write);
  FileUpdate update;
  update.path = path_;
  update.makeFolder = true;
  update.until = until;
  update.onlyJournals = all.empty();
  if (until && !all.empty()) update.journal = JournalText(all);
  update.apply = [&all](const FileContents& now,
                        const std::vector<std::string>& journals) -> std::optional<std::string> {
    std::string text = now.bytes;
    for (const std::string& journal : journals) text = ApplyJournal(text, journal);
    for (const auto& [keySection, write] : all) {
      std::string current;
      if (write.onlyWhenMissing && Find(text, keySection, write.key, current)) continue;
      text = Replace(text, keySection, write.key, write.value);
    }
    if (text == now.bytes) return std::nullopt;
    return text;
  };
  switch (UpdateFile(update).outcome) {
    case UpdateOutcome::kWritten:
    case UpdateOutcome::kJournaled:
      pending_.clear();
      return true;
    case UpdateOutcome::kBusy:
      return false;
    default:
      throw ProfileWriteError("Unable to write to " + path_);
  }
}

bool ProfileFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  return WriteStrings(section, {{key, value}});
}

void ProfileFile::RemoveStaleTemporaries() const {
  if (path_.empty()) return;
  quillmont::RemoveStaleTemporaries(path_);
}

bool ProfileFile::WriteInteger(const std::string& section, const std::string& key, std::int32_t value) {
  return WriteString(section, key, std::to_string(value));
}

}  // namespace quillmont
