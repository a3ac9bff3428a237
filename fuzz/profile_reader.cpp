// Any bytes as the settings file, optionally followed by a NUL, a key number
// and a value to write (so that real settings files serve as seeds as they are): lookups never fail, a value written is the
// value read back, a second identical write changes nothing, and the lines
// the write did not touch stay as they were.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/ProfileFile.h"

namespace {

// What the program itself writes: no blanks at either end, no line breaks,
// no surrounding quotes, and no longer than a read returns (1023 bytes).
std::string WritableValue(std::string value) {
  if (value.size() > 1023) value.resize(1023);
  for (char& c : value) {
    if (c == '\n' || c == '\r') c = '_';
  }
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
  while (!value.empty() && blank(value.back())) value.pop_back();
  while (!value.empty() && blank(value.front())) value.erase(0, 1);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')) value.front() = '_';
  return value;
}

std::size_t CountLines(const std::string& text) {
  std::size_t lines = 0;
  for (char c : text) lines += c == '\n';
  return lines + (!text.empty() && text.back() != '\n');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using quillmont::ProfileFile;
  static const char* const kKeys[] = {"Player", "NumFits", "Board", "Mute", "Colors"};
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string key = kKeys[0], value = "Fuzz";
  const std::size_t nul = text.rfind('\0');
  if (nul != std::string::npos && nul + 1 < text.size()) {
    key = kKeys[static_cast<unsigned char>(text[nul + 1]) % 5];
    value = WritableValue(text.substr(nul + 2));
    text.resize(nul);
  }

  std::string found;
  for (const char* k : kKeys) {
    if (ProfileFile::Find(text, "Quillmont", k, found)) {
      std::int32_t number = 0;
      if (ProfileFile::ParseInteger(found, number)) {
        std::int32_t again = 0;
        if (!ProfileFile::ParseInteger(std::to_string(number), again) || again != number) std::abort();
      }
    }
  }

  const std::string written = ProfileFile::Replace(text, "Quillmont", key, value);
  if (!ProfileFile::Find(written, "Quillmont", key, found) || found != value) std::abort();
  if (ProfileFile::Replace(written, "Quillmont", key, value) != written) std::abort();
  // One entry changes or one or two lines are added (the entry, maybe its section).
  const std::size_t before = CountLines(text), after = CountLines(written);
  if (after < before || after > before + 2) std::abort();
  return 0;
}
