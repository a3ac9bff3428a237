#include "platform/qt/SoundPlayer.h"

#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace quillmont {

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

QSoundEffect* QtSoundPlayer::EffectFor(const std::string& fileName) {
  auto found = effects_.find(fileName);
  if (found != effects_.end()) return found->second.get();
  const QFileInfo file(QDir::current().absoluteFilePath(QString::fromStdString(fileName)));
  if (!file.isFile()) return nullptr;  // a missing sound is silence, and is looked for again next time
  auto effect = std::make_unique<QSoundEffect>();
  effect->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
  return effects_.emplace(fileName, std::move(effect)).first->second.get();
}

void QtSoundPlayer::Play(std::string_view fileName) {
  QSoundEffect* effect = EffectFor(std::string(fileName));
  if (playing_ != nullptr && playing_ != effect) playing_->stop();
  playing_ = effect;
  if (effect == nullptr) return;
  effect->stop();
  effect->play();  // queued until loaded; fails silently without a device
}

}  // namespace quillmont
