#include "platform/qt/SoundPlayer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLibrary>
#include <future>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/qt/SoundModule.h"

namespace quillmont {
namespace {

// Maps the module and everything it links (Qt Multimedia, the sound server's
// client, codecs), which is most of the cost of the first sound; safe on any
// thread. Null when the file is missing, is no library for this system, or
// lacks the entry point.
QuillmontSoundModuleEntry LoadEntry(const QString& path) {
  QLibrary library(path);
  // Symbols resolved at once, so that a module built against other
  // libraries fails here rather than at its first call. Never unloaded: Qt
  // Multimedia keeps threads and objects of its own to the end of the process.
  library.setLoadHints(QLibrary::ResolveAllSymbolsHint | QLibrary::PreventUnloadHint);
  if (!library.load()) return nullptr;
  return reinterpret_cast<QuillmontSoundModuleEntry>(library.resolve(kSoundModuleEntryName));
}

}  // namespace

class QtSoundPlayer::Module final : public QObject {
 public:
  explicit Module(QString path) : path_(std::move(path)) {
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
  }

  ~Module() override {
    if (player_ != nullptr) table_->destroy(player_);
    // A load still running ends before the future does.
  }

  bool Ready() {
    if (tried_) return player_ != nullptr;
    tried_ = true;
    StopWatching();
    const QuillmontSoundModuleEntry entry = loading_.valid() ? loading_.get() : LoadEntry(path_);
    if (entry == nullptr) return false;
    // The table and the player are made here, on the GUI thread, where the
    // player's objects must live.
    const QuillmontSoundModule* table = entry(kSoundModuleVersion, QT_VERSION);
    if (table == nullptr || table->version != kSoundModuleVersion || table->size != sizeof(QuillmontSoundModule)) {
      return false;
    }
    table_ = table;
    player_ = table_->create();
    return player_ != nullptr;
  }

  void Play(std::string_view fileName) {
    if (Ready()) table_->play(player_, fileName.data(), fileName.size());
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::KeyPress || type == QEvent::TouchBegin) {
      StopWatching();
      try {
        loading_ = std::async(std::launch::async, LoadEntry, path_);
      } catch (const std::system_error&) {
        // No thread to spare: the first sound loads the module itself.
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void StopWatching() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
  }

  const QString path_;
  std::future<QuillmontSoundModuleEntry> loading_;
  bool tried_ = false;
  const QuillmontSoundModule* table_ = nullptr;
  void* player_ = nullptr;
};

QtSoundPlayer::QtSoundPlayer() : QtSoundPlayer(QCoreApplication::applicationDirPath().toStdString()) {}

QtSoundPlayer::QtSoundPlayer(std::string moduleFolder)
    : module_(std::make_unique<Module>(QString::fromStdString(moduleFolder) + QLatin1Char('/') +
                                       QLatin1String(kSoundModuleFileName))) {}

QtSoundPlayer::~QtSoundPlayer() = default;

bool QtSoundPlayer::Load() { return module_->Ready(); }

void QtSoundPlayer::Play(std::string_view fileName) { module_->Play(fileName); }

}  // namespace quillmont
