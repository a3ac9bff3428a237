#pragma once
// The settings file "QUILLMONT.INI", section "Quillmont": the keys and how
// their stored values map onto the game's options.
#include <cstdint>
#include <string>

namespace quillmont {

class ProfileFile;
struct SharedState;

inline constexpr const char* kSettingsFileName = "QUILLMONT.INI";
inline constexpr const char* kSettingsSection = "Quillmont";

// Reads "Player", "NumFits", "Board", "Mute" and "Colors" in that order into
// the shared options. Stored option values are brought into their ranges
// before they are narrowed: below a range gives its first choice, above it
// the last. Returns the Mute setting (exactly 1 means on).
bool ReadSettings(const ProfileFile& file, SharedState& shared);

// Writes "Player", "NumFits", "Board" and "Colors" in that order; the first
// write that fails throws and the later ones are skipped.
void WriteSettings(ProfileFile& file, const SharedState& shared);

void WriteMute(ProfileFile& file, bool mute);

}  // namespace quillmont
