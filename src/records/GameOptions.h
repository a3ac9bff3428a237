#pragma once
// The player's choices, kept in the settings file: what the next deal plays,
// whether sounds play, whether tiles show their colour numbers, and the name
// the gallery offers. One object, owned by the shell; the rules read it.
#include "records/Category.h"
#include "records/PlayerName.h"

namespace quillmont {

struct GameOptions {
  Category category;
  bool Mute = false;
  bool Symbols = false;
  PlayerName Player;
};

}  // namespace quillmont
