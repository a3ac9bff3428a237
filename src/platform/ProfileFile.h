#pragma once
// The settings file, read and written by Windows private-profile rules:
// section and key names match without regard to case, blanks around names
// and values do not count, a value in matching quotes loses them, and every
// other line of the file is kept as it was.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quillmont {

class ProfileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;  // "Unable to write to <path>"
};

class ProfileFile {
 public:
  explicit ProfileFile(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }

  // Read afresh at every call: the file is small and may change meanwhile.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  // Decimal with optional blanks and sign, or hexadecimal after "$", "0x" or
  // "0X"; anything else, an empty value or a value beyond 32 bits gives def.
  std::int32_t ReadInteger(const std::string& section, const std::string& key, std::int32_t def) const;

  // Creates the file, the section and the key as needed; replaces the file
  // atomically. Throws ProfileWriteError when it cannot.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);

  // The lookup on a text already read; what the file reads use.
  static bool Find(std::string_view text, std::string_view section, std::string_view key, std::string& value);
  static std::string Replace(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value);
  static bool ParseInteger(std::string_view text, std::int32_t& value);

 private:
  std::string path_;
};

}  // namespace quillmont
