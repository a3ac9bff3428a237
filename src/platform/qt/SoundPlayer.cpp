#include "platform/qt/SoundPlayer.h"

#include <dlfcn.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QThread>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/ModuleFile.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/SoundModule.h"

namespace quillmont {
namespace {

enum class LoadState { kNotTried, kLoaded, kSilent };

// What the window thread and the sound thread share.
struct Mailbox {
  std::mutex mutex;
  std::condition_variable decided;
  LoadState state = LoadState::kNotTried;
  // The newest sound asked for and not yet played. A new sound cuts off the
  // one playing anyway, so after a stall only the newest is worth playing.
  std::optional<std::string> pending;

  void Decide(LoadState outcome) {
    {
      const std::lock_guard<std::mutex> lock(mutex);
      state = outcome;
    }
    decided.notify_all();
  }
};

// Lives on the sound thread and is destroyed there as it ends: the module's
// player and its Qt Multimedia objects belong to that thread.
class Worker final : public QObject {
 public:
  Worker(std::string path, std::shared_ptr<Mailbox> mailbox) : path_(std::move(path)), mailbox_(std::move(mailbox)) {}
  ~Worker() override {
    if (player_ != nullptr) table_->destroy(player_);
  }

  void Load() {
    if (tried_) return;
    tried_ = true;
    mailbox_->Decide(Open() ? LoadState::kLoaded : LoadState::kSilent);
  }

  void PlayPending() {
    std::string fileName;
    {
      const std::lock_guard<std::mutex> lock(mailbox_->mutex);
      if (!mailbox_->pending) return;
      fileName = std::move(*mailbox_->pending);
      mailbox_->pending.reset();
    }
    Load();
    if (player_ != nullptr) table_->play(player_, fileName.data(), fileName.size());
  }

 private:
  // Maps the module and everything it links (Qt Multimedia, the sound
  // server's client, codecs), which is most of the cost of the first sound.
  bool Open() {
    const ModuleFile file(path_);
    if (!file.Usable()) return Silence(file.Problem());
    // Symbols resolved at once, so that a module built against other
    // libraries fails here rather than at its first call. Never unloaded:
    // Qt Multimedia keeps threads and objects of its own to the end.
    void* handle = ::dlopen(file.LoadName().c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle == nullptr) return Silence(std::string("cannot be loaded: ") + ::dlerror());
    const auto entry = reinterpret_cast<QuillmontSoundModuleEntry>(::dlsym(handle, kSoundModuleEntryName));
    const QuillmontSoundModule* table = entry == nullptr ? nullptr : entry(kSoundModuleVersion, QT_VERSION);
    if (table == nullptr || table->version != kSoundModuleVersion || table->size != sizeof(QuillmontSoundModule)) {
      return Silence("was built for another version of the program");
    }
    table_ = table;
    player_ = table_->create();
    return player_ != nullptr;
  }

  bool Silence(const std::string& problem) const {
    WriteToStandardError("No sound: " + path_ + " " + problem);
    return false;
  }

  const std::string path_;
  const std::shared_ptr<Mailbox> mailbox_;
  bool tried_ = false;
  const QuillmontSoundModule* table_ = nullptr;
  void* player_ = nullptr;
};

}  // namespace

// On the window thread: starts the sound thread when sound is near and
// hands requests over to it.
class QtSoundPlayer::Thread final : public QObject {
 public:
  Thread(std::string path, std::chrono::milliseconds stopWait)
      : path_(std::move(path)), stopWait_(stopWait), mailbox_(std::make_shared<Mailbox>()) {
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
  }

  ~Thread() override {
    StopWatching();
    if (!thread_) return;
    thread_->quit();
    // Still inside the sound server's client: neither the thread nor what
    // it uses may be destroyed, and both files are written by now.
    if (!thread_->wait(QDeadlineTimer(stopWait_.count()))) ::_exit(0);
  }

  void Load() {
    if (Start() && !loadAsked_) Post([](Worker* worker) { worker->Load(); });
    loadAsked_ = true;
  }

  void Play(std::string_view fileName) {
    if (!Start()) return;
    bool wake = false;
    {
      const std::lock_guard<std::mutex> lock(mailbox_->mutex);
      wake = !mailbox_->pending;
      mailbox_->pending = std::string(fileName);
    }
    if (wake) Post([](Worker* worker) { worker->PlayPending(); });
  }

  bool WaitUntilDecided(std::chrono::milliseconds wait) {
    Load();
    std::unique_lock<std::mutex> lock(mailbox_->mutex);
    mailbox_->decided.wait_for(lock, wait, [this] { return mailbox_->state != LoadState::kNotTried; });
    return mailbox_->state == LoadState::kLoaded;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::KeyPress || type == QEvent::TouchBegin) {
      StopWatching();
      Load();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  // False when no thread can be had: sounds are then silence.
  bool Start() {
    if (started_) return thread_ != nullptr;
    started_ = true;
    StopWatching();
    auto thread = std::make_unique<QThread>();
    thread->setObjectName(QStringLiteral("quillmont sound"));
    auto* worker = new Worker(path_, mailbox_);
    worker->moveToThread(thread.get());
    QObject::connect(thread.get(), &QThread::finished, worker, &QObject::deleteLater);
    thread->start();
    if (!thread->isRunning()) {
      delete worker;
      mailbox_->Decide(LoadState::kSilent);
      return false;
    }
    worker_ = worker;
    thread_ = std::move(thread);
    return true;
  }

  template <typename Call>
  void Post(Call call) {
    Worker* worker = worker_;
    QMetaObject::invokeMethod(worker, [worker, call] { call(worker); }, Qt::QueuedConnection);
  }

  void StopWatching() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
  }

  const std::string path_;
  const std::chrono::milliseconds stopWait_;
  const std::shared_ptr<Mailbox> mailbox_;
  std::unique_ptr<QThread> thread_;
  Worker* worker_ = nullptr;  // owned by the sound thread, which deletes it as it ends
  bool started_ = false;
  bool loadAsked_ = false;
};

QtSoundPlayer::QtSoundPlayer() : QtSoundPlayer(QCoreApplication::applicationDirPath().toStdString()) {}

QtSoundPlayer::QtSoundPlayer(std::string moduleFolder, std::chrono::milliseconds stopWait)
    : thread_(std::make_unique<Thread>(moduleFolder + "/" + kSoundModuleFileName, stopWait)) {}

QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::Play(std::string_view fileName) { thread_->Play(fileName); }

bool QtSoundPlayer::WaitUntilLoaded(std::chrono::milliseconds wait) { return thread_->WaitUntilDecided(wait); }

}  // namespace quillmont
