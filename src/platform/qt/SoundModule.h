#pragma once
// The C interface between the program and its sound module
// (quillmont_sound.so, beside the executable). The module holds everything
// that needs Qt Multimedia, which with its sound-server and codec libraries
// would otherwise be loaded and relocated at every start, long before the
// first sound. The program loads the module on a thread of its own at the
// first mouse or key press, or when a sound is due before that, and calls it
// there only; a module that is missing, broken or built for another program
// is silence.
#include <cstddef>
#include <cstdint>

extern "C" {

struct QuillmontSoundModule {
  std::uint32_t version;  // kSoundModuleVersion of the module's build
  std::uint32_t size;     // sizeof(QuillmontSoundModule) there
  // A new player, or null when none can be made. Called on the sound
  // thread, which runs an event loop, with a QApplication alive until
  // destroy(); play() and destroy() come on the same thread.
  void* (*create)();
  // Plays the named wave file of the current folder, cutting off the sound
  // playing; never blocks, never throws, and is silent on any failure.
  void (*play)(void* player, const char* fileName, std::size_t length);
  void (*destroy)(void* player);
};

// The module's one exported symbol. Returns its table when the module was
// built for this interface version and the same Qt release as the caller,
// else null.
using QuillmontSoundModuleEntry = const QuillmontSoundModule* (*)(std::uint32_t version, std::uint32_t qtVersion);
}

namespace quillmont {

// Raised whenever QuillmontSoundModule or the meaning of its calls changes,
// so that a module left over from an older build is refused.
inline constexpr std::uint32_t kSoundModuleVersion = 2;
inline constexpr char kSoundModuleEntryName[] = "quillmont_sound_module";
inline constexpr char kSoundModuleFileName[] = "quillmont_sound.so";

}  // namespace quillmont
