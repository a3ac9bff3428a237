#pragma once
// A player's name as the best-players file keeps it: single bytes (Latin-1),
// at most 20 of them, no control character (CR, LF or Ctrl-Z would break the
// file's line layout or end it early, so each becomes a space). Made once,
// where a name comes in: the settings file, the name box, a journal.
#include <string>
#include <string_view>

namespace quillmont {

constexpr int kMaxNameLength = 20;

constexpr bool IsControlCode(unsigned code) { return code < 32 || code == 127; }

class PlayerName {
 public:
  PlayerName() = default;
  explicit PlayerName(std::string_view latin1) : text_(latin1.substr(0, kMaxNameLength)) {
    for (char& c : text_) {
      if (IsControlCode(static_cast<unsigned char>(c))) c = ' ';
    }
  }

  const std::string& Text() const { return text_; }
  bool operator==(const PlayerName&) const = default;

 private:
  std::string text_;
};

}  // namespace quillmont
