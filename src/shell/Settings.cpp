#include "shell/Settings.h"

#include <algorithm>

#include "platform/ProfileFile.h"
#include "records/SharedState.h"

namespace quillmont {

bool ReadSettings(const ProfileFile& file, SharedState& shared) {
  shared.Player = file.ReadString(kSettingsSection, "Player", "").substr(0, kMaxNameLength);
  shared.NumFits = std::clamp(file.ReadInteger(kSettingsSection, "NumFits", 2), 2, 3);
  shared.Board = static_cast<std::uint8_t>(std::clamp(file.ReadInteger(kSettingsSection, "Board", 0), 0, 2));
  const bool mute = file.ReadInteger(kSettingsSection, "Mute", 0) == 1;
  shared.NumColors = std::clamp(file.ReadInteger(kSettingsSection, "Colors", 0), 0, 2) + 4;
  return mute;
}

void WriteSettings(ProfileFile& file, const SharedState& shared) {
  file.WriteString(kSettingsSection, "Player", shared.Player);
  file.WriteInteger(kSettingsSection, "NumFits", shared.NumFits);
  file.WriteInteger(kSettingsSection, "Board", shared.Board);
  file.WriteInteger(kSettingsSection, "Colors", shared.NumColors - 4);
}

void WriteMute(ProfileFile& file, bool mute) { file.WriteInteger(kSettingsSection, "Mute", mute ? 1 : 0); }

}  // namespace quillmont
