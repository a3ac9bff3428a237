#pragma once
// Asynchronous wave playback by file name from the current folder. A new
// sound cuts off the one playing; a missing file, device or sound server
// stays silent and never blocks the caller.
#include <memory>
#include <string>
#include <string_view>

namespace quillmont {

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  virtual void Play(std::string_view fileName) = 0;
};

// Plays through the sound module beside the executable (SoundModule.h), so
// that Qt Multimedia costs nothing until sound is near. No sound can be due
// before the player has clicked or pressed a key, so the first mouse or key
// press anywhere in the application starts loading the module on a thread of
// its own; a Play() before that loads it there and then. A module that is
// missing, broken or stale is silence, and is not looked for again.
class QtSoundPlayer final : public SoundPlayer {
 public:
  // The module from the executable's folder.
  QtSoundPlayer();
  // The module from the given folder.
  explicit QtSoundPlayer(std::string moduleFolder);
  ~QtSoundPlayer() override;
  QtSoundPlayer(const QtSoundPlayer&) = delete;
  QtSoundPlayer& operator=(const QtSoundPlayer&) = delete;

  void Play(std::string_view fileName) override;
  // Waits for the module if it is loading, loads it if that was not tried
  // yet; true when sounds will play.
  bool Load();

 private:
  class Module;
  std::unique_ptr<Module> module_;
};

}  // namespace quillmont
