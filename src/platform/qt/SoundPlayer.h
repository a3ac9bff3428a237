#pragma once
// Asynchronous wave playback by file name from the current folder. A new
// sound cuts off the one playing; a missing file, device or sound server
// stays silent and never blocks the caller.
#include <map>
#include <memory>
#include <string>
#include <string_view>

class QSoundEffect;

namespace quillmont {

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  virtual void Play(std::string_view fileName) = 0;
};

class QtSoundPlayer final : public SoundPlayer {
 public:
  QtSoundPlayer();
  ~QtSoundPlayer() override;
  void Play(std::string_view fileName) override;

 private:
  QSoundEffect* EffectFor(const std::string& fileName);

  std::map<std::string, std::unique_ptr<QSoundEffect>> effects_;
  QSoundEffect* playing_ = nullptr;
};

}  // namespace quillmont
