// The sound module: wave playback over Qt Multimedia's QSoundEffect, one
// effect per file, behind the C entry point of SoundModule.h.
#include "platform/qt/SoundModule.h"

#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>
#include <QtGlobal>
#include <map>
#include <memory>
#include <string>

namespace quillmont {
namespace {

class EffectPlayer {
 public:
  void Play(const std::string& fileName) {
    QSoundEffect* effect = EffectFor(fileName);
    if (playing_ != nullptr && playing_ != effect) playing_->stop();
    playing_ = effect;
    if (effect == nullptr) return;
    effect->stop();
    effect->play();  // queued until loaded; fails silently without a device
  }

 private:
  QSoundEffect* EffectFor(const std::string& fileName) {
    auto found = effects_.find(fileName);
    if (found != effects_.end()) return found->second.get();
    const QFileInfo file(QDir::current().absoluteFilePath(QString::fromStdString(fileName)));
    if (!file.isFile()) return nullptr;  // a missing sound is silence, and is looked for again next time
    auto effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    return effects_.emplace(fileName, std::move(effect)).first->second.get();
  }

  std::map<std::string, std::unique_ptr<QSoundEffect>> effects_;
  QSoundEffect* playing_ = nullptr;
};

// Nothing may unwind into the program through a C call: a failure is silence.
void* Create() noexcept {
  try {
    return new EffectPlayer;
  } catch (...) {
    return nullptr;
  }
}

void Play(void* player, const char* fileName, std::size_t length) noexcept {
  if (player == nullptr || fileName == nullptr) return;
  try {
    static_cast<EffectPlayer*>(player)->Play(std::string(fileName, length));
  } catch (...) {
  }
}

void Destroy(void* player) noexcept { delete static_cast<EffectPlayer*>(player); }

constexpr QuillmontSoundModule kModule{kSoundModuleVersion, sizeof(QuillmontSoundModule), Create, Play, Destroy};

}  // namespace
}  // namespace quillmont

extern "C" Q_DECL_EXPORT const QuillmontSoundModule* quillmont_sound_module(std::uint32_t version,
                                                                            std::uint32_t qtVersion) {
  if (version != quillmont::kSoundModuleVersion || qtVersion != QT_VERSION) return nullptr;
  return &quillmont::kModule;
}
