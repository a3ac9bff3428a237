#pragma once
// The settings file "QUILLMONT.INI", section "Quillmont": the keys and how
// their stored values map onto the game's options.
#include <map>
#include <string>

#include "platform/AtomicFile.h"

namespace quillmont {

class ProfileFile;
struct GameOptions;

inline constexpr const char* kSettingsFileName = "QUILLMONT.INI";
inline constexpr const char* kSettingsSection = "Quillmont";

// The text each key held when this run started; a key missing then has no
// entry. Shutdown writes only the keys whose text this run changed (a key
// missing at start, unless another copy wrote it meanwhile), so a second
// running copy never undoes the first one's choices.
using SettingsAtStart = std::map<std::string, std::string>;

// The check boxes' keys: written the moment the box changes, 1 or 0.
inline constexpr const char* kMuteKey = "Mute";
inline constexpr const char* kSymbolsKey = "Symbols";

struct StartupSettings {
  bool mute = false;     // exactly 1 means on
  bool symbols = false;  // exactly 1 means on
  SettingsAtStart atStart;
};

// Reads "Player", "NumFits", "Board", "Mute", "Symbols" and "Colors" into
// the options' category and player, and the switches. Stored option values are brought into
// their ranges before they are narrowed: below a range gives its first
// choice, above it the last. The player's name loses its control characters
// and keeps 20 characters.
StartupSettings ReadSettings(const ProfileFile& file, GameOptions& options);

// Writes "Player", "NumFits", "Board" and "Colors", those whose text differs
// from what the file held at start, with any key still waiting, in one
// replace of the file, waiting for the lock until `until` (a journal
// beside the file after that); throws when it cannot.
void WriteSettings(ProfileFile& file, const GameOptions& options, const SettingsAtStart& atStart, LockDeadline until);

// One try at the lock: false when another copy holds it and the key waits.
bool WriteSwitch(ProfileFile& file, const char* key, bool on);

}  // namespace quillmont
