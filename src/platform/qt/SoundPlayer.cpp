#include "platform/qt/SoundPlayer.h"

#include <dlfcn.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QThread>
#include <condition_variable>
#include <mutex>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/ModuleFile.h"
#include "platform/SoundModule.h"
#include "platform/WaveFile.h"
#include "platform/qt/ErrorReport.h"

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

// Lives on the sound thread and is destroyed there as it ends, with the
// module's player. It reads the wave files, so the window thread never
// touches the disk for a sound.
class Worker final : public QObject {
 public:
  Worker(const ProgramFolder& folder, std::vector<std::string> waveFiles, std::shared_ptr<Mailbox> mailbox)
      : folder_(folder), waveFiles_(std::move(waveFiles)), mailbox_(std::move(mailbox)) {}
  ~Worker() override {
    if (player_ != nullptr) table_->destroy(player_);
  }

  void Load() {
    if (tried_) return;
    tried_ = true;
    const bool loaded = Open();
    mailbox_->Decide(loaded ? LoadState::kLoaded : LoadState::kSilent);
    // Each sound decoded and handed to the server now, before it is due.
    for (const std::string& fileName : waveFiles_) {
      if (const std::string* wave = loaded ? Wave(fileName) : nullptr) Call(table_->prepare, fileName, *wave);
    }
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
    if (player_ == nullptr) return;
    if (const std::string* wave = Wave(fileName)) Call(table_->play, fileName, *wave);
  }

 private:
  template <typename Function>
  void Call(Function function, const std::string& fileName, const std::string& wave) {
    function(player_, fileName.data(), fileName.size(), reinterpret_cast<const unsigned char*>(wave.data()),
             wave.size());
  }

  // The bytes of a wave file of the program's folder, read at its first use.
  // A file missing or unreadable is silence, and is looked for again at the
  // next play.
  const std::string* Wave(const std::string& fileName) {
    auto found = waves_.find(fileName);
    if (found != waves_.end()) return &found->second;
    std::string problem;
    std::optional<std::string> bytes = folder_.Read(fileName, kMaxAssetBytes, &problem);
    if (!bytes) {
      if (!problem.empty() && said_.insert(fileName).second) WriteToStandardError("No sound: " + fileName + " " + problem);
      return nullptr;
    }
    return &waves_.emplace(fileName, std::move(*bytes)).first->second;
  }

  // Maps the module and the sound server's client, which is most of the
  // cost of the first sound.
  bool Open() {
    const ModuleFile file(folder_.Descriptor(), kSoundModuleFileName);
    if (!file.Usable()) return Silence(file.Problem());
    // Symbols resolved at once, so that a module built against other
    // libraries fails here rather than at its first call. Never unloaded:
    // the sound server's client keeps state of its own to the end.
    void* handle = ::dlopen(file.LoadName().c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle == nullptr) return Silence(std::string("cannot be loaded: ") + ::dlerror());
    const auto entry = reinterpret_cast<QuillmontSoundModuleEntry>(::dlsym(handle, kSoundModuleEntryName));
    const QuillmontSoundModule* table = entry == nullptr ? nullptr : entry(kSoundModuleVersion);
    if (table == nullptr || table->version != kSoundModuleVersion || table->size != sizeof(QuillmontSoundModule)) {
      return Silence("was built for another version of the program");
    }
    table_ = table;
    player_ = table_->create();
    return player_ != nullptr;
  }

  bool Silence(const std::string& problem) const {
    WriteToStandardError("No sound: " + folder_.Path() + kSoundModuleFileName + " " + problem);
    return false;
  }

  const ProgramFolder& folder_;
  const std::vector<std::string> waveFiles_;
  const std::shared_ptr<Mailbox> mailbox_;
  std::map<std::string, std::string> waves_;
  std::set<std::string> said_;
  bool tried_ = false;
  const QuillmontSoundModule* table_ = nullptr;
  void* player_ = nullptr;
};

}  // namespace

// On the window thread: starts the sound thread when sound is near and
// hands requests over to it.
class QtSoundPlayer::Thread final : public QObject {
 public:
  Thread(const ProgramFolder& folder, std::vector<std::string> waveFiles, std::chrono::milliseconds stopWait)
      : folder_(folder),
        waveFiles_(std::move(waveFiles)),
        stopWait_(stopWait),
        mailbox_(std::make_shared<Mailbox>()) {
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
  }

  ~Thread() override {
    StopWatching();
    if (!thread_) return;
    thread_->quit();
    // Stuck all the same (in the system's loader, say): neither the thread
    // nor what it uses may be destroyed, and both files are written by now.
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
    auto* worker = new Worker(folder_, waveFiles_, mailbox_);
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

  const ProgramFolder& folder_;
  const std::vector<std::string> waveFiles_;
  const std::chrono::milliseconds stopWait_;
  const std::shared_ptr<Mailbox> mailbox_;
  std::unique_ptr<QThread> thread_;
  Worker* worker_ = nullptr;  // owned by the sound thread, which deletes it as it ends
  bool started_ = false;
  bool loadAsked_ = false;
};

QtSoundPlayer::QtSoundPlayer(const ProgramFolder& folder, std::vector<std::string> waveFiles,
                             std::chrono::milliseconds stopWait)
    : thread_(std::make_unique<Thread>(folder, std::move(waveFiles), stopWait)) {}

QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::Play(std::string_view fileName) { thread_->Play(fileName); }

bool QtSoundPlayer::WaitUntilLoaded(std::chrono::milliseconds wait) { return thread_->WaitUntilDecided(wait); }

}  // namespace quillmont
