#pragma once
// The C interface between the program and its sound module
// (quillmont_sound.so, beside the executable). The module holds everything
// that talks to the sound server, whose client library would otherwise be
// loaded and relocated at every start, long before the first sound. The
// program loads the module on a thread of its own at the first mouse or key
// press, or when a sound is due before that, and calls it there only; a
// module that is missing, broken or built for another program is silence.
// The program reads the wave files; the module opens no file by name.
#include <cstddef>
#include <cstdint>

extern "C" {

struct QuillmontSoundModule {
  std::uint32_t version;  // kSoundModuleVersion of the module's build
  std::uint32_t size;     // sizeof(QuillmontSoundModule) there
  // A new player, or null when none can be made. It connects to the sound
  // server in a thread of its own, and again whenever the connection is
  // lost or the server stops answering.
  void* (*create)();
  // Decodes a wave file's bytes (name: for messages) and keeps the sound in
  // the server, so that its first play starts at once.
  void (*prepare)(void* player, const char* name, std::size_t nameLength, const unsigned char* wave,
                  std::size_t length);
  // Plays a wave file's bytes, cutting off the sound playing; silent while
  // the server cannot be reached.
  void (*play)(void* player, const char* name, std::size_t nameLength, const unsigned char* wave,
               std::size_t length);
  void (*destroy)(void* player);
  // None of these calls waits on the sound server or throws; they come from
  // one thread at a time, and a name always comes with the same bytes.
};

// The module's one exported symbol. Returns its table when the module was
// built for this interface version, else null.
using QuillmontSoundModuleEntry = const QuillmontSoundModule* (*)(std::uint32_t version);
}

namespace quillmont {

// Raised whenever QuillmontSoundModule or the meaning of its calls changes,
// so that a module left over from an older build is refused.
inline constexpr std::uint32_t kSoundModuleVersion = 3;
inline constexpr char kSoundModuleEntryName[] = "quillmont_sound_module";
inline constexpr char kSoundModuleFileName[] = "quillmont_sound.so";

}  // namespace quillmont
