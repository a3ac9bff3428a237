#include "shell/Settings.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/ProfileFile.h"
#include "platform/TextFormats.h"
#include "records/GameOptions.h"

namespace quillmont {
namespace {

const char* const kWrittenAtShutdown[] = {"Player", "NumFits", "Board", "Colors"};
// What a missing or unreadable key gives, as stored in the file.
constexpr std::int32_t kDefaultNumFits = 2, kDefaultBoard = 0, kDefaultColors = 0;
constexpr std::int32_t kDefaultSwitch = 0;

}  // namespace

StartupSettings ReadSettings(const ProfileFile& file, GameOptions& options) {
  StartupSettings settings;
  // One read for all the keys. A file that cannot be read leaves every
  // default in force (and is never written over).
  const FileContents contents = file.Read();
  const std::string& text = contents.bytes;
  const auto integer = [&text](const char* key, std::int32_t def) {
    std::string value;
    std::int32_t number = 0;
    return ProfileFile::Find(text, kSettingsSection, key, value) && ProfileFile::ParseInteger(value, number)
               ? number
               : def;
  };
  std::string player;
  ProfileFile::Find(text, kSettingsSection, "Player", player);
  // A file with a byte-order mark was saved as UTF-8 by an editor.
  if (contents.byteOrderMark) player = Utf8ToLatin1(player);
  options.Player = PlayerName(player);
  // "Colors" counts from 0 for four colours.
  options.category = Category(integer("Board", kDefaultBoard), integer("Colors", kDefaultColors) + 4LL,
                              integer("NumFits", kDefaultNumFits));
  settings.mute = integer(kMuteKey, kDefaultSwitch) == 1;
  settings.symbols = integer(kSymbolsKey, kDefaultSwitch) == 1;

  for (const char* key : kWrittenAtShutdown) {
    std::string value;
    if (ProfileFile::Find(text, kSettingsSection, key, value)) settings.atStart[key] = value;
  }
  return settings;
}

void WriteSettings(ProfileFile& file, const GameOptions& options, const SettingsAtStart& atStart, LockDeadline until) {
  const Category category = options.category;
  const std::string texts[] = {options.Player.Text(), std::to_string(category.NumFits()),
                               std::to_string(category.Board()), std::to_string(category.NumColors() - 4)};
  const std::string defaults[] = {"", std::to_string(kDefaultNumFits), std::to_string(kDefaultBoard),
                                  std::to_string(kDefaultColors)};
  std::vector<ProfileFile::KeyWrite> writes;
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    const auto start = atStart.find(kWrittenAtShutdown[i]);
    if (start != atStart.end()) {
      if (start->second != texts[i]) writes.push_back({kWrittenAtShutdown[i], texts[i]});
    } else {
      // Missing at start: written unless another copy has written it since
      // and this run kept the default it started with.
      writes.push_back({kWrittenAtShutdown[i], texts[i], texts[i] == defaults[i]});
    }
  }
  file.WriteStrings(kSettingsSection, writes, until);
}

bool WriteSwitch(ProfileFile& file, const char* key, bool on) {
  return file.WriteInteger(kSettingsSection, key, on ? 1 : 0);
}

}  // namespace quillmont
