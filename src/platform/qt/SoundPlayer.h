#pragma once
// Asynchronous wave playback by file name from the program's folder. A new
// sound cuts off the one playing; a missing file, device or sound server
// stays silent and never blocks the caller.
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ProgramFolder.h"
#include "platform/ShutdownBudget.h"

namespace quillmont {

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  virtual void Play(std::string_view fileName) = 0;
};

// Plays through the sound module beside the executable (SoundModule.h), so
// that the sound server's client costs nothing until sound is near. The
// module is loaded, and the wave files read, on a thread of its own: Play()
// only hands the name over, and the module never waits on the server.
// No sound can be due before the player has clicked or pressed a key, so the
// first mouse or key press anywhere in the application starts the thread
// and the loading. A module that is missing, refused (ModuleFile), broken or
// stale is silence, said once on standard error, and is not looked for again.
class QtSoundPlayer final : public SoundPlayer {
 public:
  // The module and the wave files from the folder, which must outlive the
  // player; the wave files named are handed to the module as it loads, so
  // that their first play starts at once. Tests give the thread longer to
  // stop.
  QtSoundPlayer(const ProgramFolder& folder, std::vector<std::string> waveFiles,
                std::chrono::milliseconds stopWait = kSoundStopWait);
  // Gives the sound thread stopWait to stop. A thread stuck all the same
  // (in the system's loader, say) can be neither waited for nor destroyed, and
  // no destructor may run beside it: the process ends there with _exit(0).
  // So the player goes last, once nothing is left to save.
  ~QtSoundPlayer() override;
  QtSoundPlayer(const QtSoundPlayer&) = delete;
  QtSoundPlayer& operator=(const QtSoundPlayer&) = delete;

  void Play(std::string_view fileName) override;
  // Starts loading the module if that was not tried yet and waits at most
  // `wait` for the outcome; true when sounds will play. For tests: the
  // program itself never waits on the sound thread.
  bool WaitUntilLoaded(std::chrono::milliseconds wait);

 private:
  class Thread;
  std::unique_ptr<Thread> thread_;
};

}  // namespace quillmont
