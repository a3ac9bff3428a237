#pragma once
// The settings file, read and written by Windows private-profile rules:
// section and key names match without regard to case, blanks around names
// and values do not count, a value in matching quotes loses them, and every
// other line of the file is kept as it was.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AtomicFile.h"

namespace quillmont {

class ProfileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;  // "Unable to write to <path>"
};

class ProfileFile {
 public:
  // An empty path is no file: every read gives the defaults and every write
  // keeps nothing (a user without a home folder).
  explicit ProfileFile(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }

  // The whole file as it is now, for several lookups: its text without a
  // byte-order mark, and whether it could be read.
  FileContents Read() const;
  // Read afresh at every call: the file is small and may change meanwhile.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  // Decimal with optional blanks and sign, or hexadecimal after "$", "0x" or
  // "0X"; anything else, an empty value or a value beyond 32 bits gives def.
  std::int32_t ReadInteger(const std::string& section, const std::string& key, std::int32_t def) const;

  // One key to write; onlyWhenMissing leaves a value already in the file.
  struct KeyWrite {
    std::string key;
    std::string value;
    bool onlyWhenMissing = false;
  };
  // Creates the file, the section and the keys as needed. Under the file's
  // lock, the file is read as it is now, the keys are set in order, and the
  // file is replaced atomically once; so keys that another running copy
  // wrote meanwhile stay. A symbolic link of the player's own stays a link
  // and its target is written. Nothing is written when no key changes, and
  // a file that is written loses its byte-order mark.
  //
  // Without `until` the lock is tried once: when another copy holds it the
  // keys wait (HasPending) and go with the next write, and false is
  // returned. With `until` it is waited for until then, and a lock still
  // busy leaves the keys in a journal beside the file, merged by the next
  // write of any copy. Throws ProfileWriteError when the file cannot be
  // written: it exists but cannot be read whole (over 1 MiB, permissions),
  // its lock cannot be had, it is reached through a link of somebody
  // else's, or it is shared with a group whose access would be lost; the
  // keys then wait too.
  bool WriteStrings(const std::string& section, const std::vector<KeyWrite>& writes, LockDeadline until = {});
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);
  bool WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
  bool HasPending() const { return !pending_.empty(); }
  // Writes the keys that wait, and merges the journals beside the file.
  bool WritePending(LockDeadline until = {}) { return WriteStrings({}, {}, until); }

  // Removes what a write killed half-way left beside the file.
  void RemoveStaleTemporaries() const;

  // The lookup on a text already read; what the file reads use.
  static bool Find(std::string_view text, std::string_view section, std::string_view key, std::string& value);
  static std::string Replace(std::string_view text, std::string_view section, std::string_view key,
                             std::string_view value);
  static bool ParseInteger(std::string_view text, std::int32_t& value);

 private:
  struct Pending {
    std::string section;
    KeyWrite write;
  };
  std::string path_;
  std::vector<Pending> pending_;
};

}  // namespace quillmont
