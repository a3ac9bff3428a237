#pragma once
// A real locale with a decimal comma, for tests of text that must read and
// write the same whatever the C library's locale. Debian ships no compiled
// de_DE, so localedef builds it once per build tree, into "locales" beside
// the test binary.
#include <optional>
#include <string>

namespace quillmont::testing {

// The folder to give as LOCPATH, holding de_DE.UTF-8; empty when it could
// not be built, with the reason in why.
std::string DecimalCommaLocaleFolder(std::string& why);

// While it lives, the whole C library runs under de_DE.UTF-8 (decimal comma,
// thousands dot), as a Qt program started under that locale does; "C" after.
class DecimalCommaLocale {
 public:
  DecimalCommaLocale();
  ~DecimalCommaLocale();
  DecimalCommaLocale(const DecimalCommaLocale&) = delete;
  DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

  // Empty when the locale is in force, else why it is not.
  const std::string& Failure() const { return failure_; }

 private:
  std::string failure_;
  std::optional<std::string> oldLocPath_;
};

}  // namespace quillmont::testing
