#include "platform/ProfileFile.h"

#include <cctype>
#include <optional>
#include <vector>

#include "platform/AtomicFile.h"

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

void ProfileFile::WriteStrings(const std::string& section, const std::vector<KeyWrite>& writes) {
  if (writes.empty() || path_.empty()) return;
  try {
    EnsureDirectory(FolderOf(path_));
    // Never through a link of somebody else's; the player's own is followed.
    const std::optional<std::string> target = WriteTarget(path_);
    if (!target) throw FileWriteError(path_);
    const FileLock lock(*target);
    // A file that cannot be read is never written over: its keys are unknown.
    const FileContents contents = ReadFileContents(*target);
    if (contents.status == FileContents::Status::kUnreadable) throw FileWriteError(*target);
    const std::string& old = contents.bytes;
    std::string text = old;
    for (const KeyWrite& write : writes) {
      std::string current;
      if (write.onlyWhenMissing && Find(text, section, write.key, current)) continue;
      text = Replace(text, section, write.key, write.value);
    }
    if (text != old) WriteFileAtomically(*target, text);
  } catch (const std::exception&) {
    throw ProfileWriteError("Unable to write to " + path_);
  }
}

void ProfileFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  WriteStrings(section, {{key, value}});
}

void ProfileFile::RemoveStaleTemporaries() const {
  if (path_.empty()) return;
  if (const std::optional<std::string> target = WriteTarget(path_)) quillmont::RemoveStaleTemporaries(*target);
}

void ProfileFile::WriteInteger(const std::string& section, const std::string& key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

}  // namespace quillmont
