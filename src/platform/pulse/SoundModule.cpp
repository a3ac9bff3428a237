// The sound module: wave files played from the sound server's sample cache
// through libpulse's asynchronous API, behind the C entry point of
// SoundModule.h. A sample in the cache is mixed at the server's next render,
// with no stream to set up per sound; PipeWire's PulseAudio service takes
// the same calls.
//
// Everything below runs with the threaded main loop's lock held: the calls
// from the program take it for a moment, the loop's callbacks hold it. No
// call waits for an answer: each request carries a deadline, and one that
// passes means the server has stopped answering, so the connection is
// dropped and made again later, with the samples looked up or uploaded anew.
#include <pulse/pulseaudio.h>
#include <pulse/rtclock.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/SoundModule.h"
#include "platform/WaveFile.h"

namespace quillmont {
namespace {

constexpr pa_usec_t kMs = PA_USEC_PER_MSEC;
constexpr pa_usec_t kConnectLimit = 2000 * kMs;
constexpr pa_usec_t kRequestLimit = 1500 * kMs;
constexpr pa_usec_t kFirstRetry = 250 * kMs;
constexpr pa_usec_t kLastRetry = 8000 * kMs;
// A sound asked for while its sample was not ready is played when it is,
// unless that is so late that it no longer belongs to the click.
constexpr pa_usec_t kLatePlay = 1000 * kMs;

std::uint64_t Fnv1a64(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  return hash;
}

pa_sample_format_t PulseFormat(SampleFormat format) {
  switch (format) {
    case SampleFormat::kU8: return PA_SAMPLE_U8;
    case SampleFormat::kS16LE: return PA_SAMPLE_S16LE;
    case SampleFormat::kS24LE: return PA_SAMPLE_S24LE;
    case SampleFormat::kS32LE: return PA_SAMPLE_S32LE;
    case SampleFormat::kFloat32LE: return PA_SAMPLE_FLOAT32LE;
  }
  return PA_SAMPLE_INVALID;
}

// The server's description of samples (format, rate, channels), under the
// library's own name, and the one found on a cached sample.
using ServerFormat = pa_sample_spec;
const ServerFormat& FormatOf(const pa_sample_info& info) { return info.sample_spec; }

bool SameFormat(const ServerFormat& a, const ServerFormat& b) {
  return a.format == b.format && a.rate == b.rate && a.channels == b.channels;
}

class PulsePlayer;

struct Sample {
  enum State { kAbsent, kLooking, kUploading, kReady, kRefused };
  PulsePlayer* player;
  std::string file;  // the wave file's name, for messages
  std::string name;  // in the server's cache: the user's and the content's
  ServerFormat format{};
  std::string samples;
  State state = kAbsent;
  bool found = false;
  pa_stream* upload = nullptr;
  std::size_t written = 0;
  pa_usec_t deadline = 0;
};

class PulsePlayer {
 public:
  PulsePlayer() = default;
  PulsePlayer(const PulsePlayer&) = delete;
  PulsePlayer& operator=(const PulsePlayer&) = delete;

  bool Start() {
    loop_ = pa_threaded_mainloop_new();
    if (loop_ == nullptr) return false;
    pa_threaded_mainloop_set_name(loop_, "quillmont pulse");
    const Locked lock(loop_);
    if (!NewContext()) return false;
    tick_ = pa_context_rttime_new(context_, PA_USEC_INVALID, OnTick, this);
    if (tick_ == nullptr || pa_threaded_mainloop_start(loop_) < 0) return false;
    Connect();
    return true;
  }

  ~PulsePlayer() {
    if (loop_ == nullptr) return;
    {
      const Locked lock(loop_);
      EndConnection();
      if (tick_ != nullptr) pa_threaded_mainloop_get_api(loop_)->time_free(tick_);
      if (context_ != nullptr) pa_context_unref(context_);
    }
    // The loop's thread never waits on the server, so it stops at once.
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
  }

  void Take(std::string_view file, std::string_view wave, bool play) {
    // A name brings the same bytes for the player's life: hashed once.
    auto named = hashes_.find(file);
    if (named == hashes_.end() || named->second.first != wave.size()) {
      named = hashes_.insert_or_assign(std::string(file), std::pair(wave.size(), Fnv1a64(wave))).first;
    }
    const std::uint64_t hash = named->second.second;
    std::unique_ptr<Sample> made;
    if (!Known(hash)) made = Decode(file, wave, hash);  // outside the lock: it takes a while
    const Locked lock(loop_);
    auto found = samples_.find(hash);
    if (found == samples_.end()) {
      found = samples_.emplace(hash, std::move(made)).first;
      if (found->second->state == Sample::kRefused) Say("No sound: " + std::string(file) + " is not a wave file that can be played");
    }
    Sample& sample = *found->second;
    if (sample.state == Sample::kRefused) {
      if (play) Silence();
      return;
    }
    if (sample.state == Sample::kAbsent && ready_) Look(sample);
    if (play) Play(sample);
    Schedule();
  }

 private:
  struct Locked {
    explicit Locked(pa_threaded_mainloop* loop) : loop(loop) { pa_threaded_mainloop_lock(loop); }
    ~Locked() { pa_threaded_mainloop_unlock(loop); }
    pa_threaded_mainloop* loop;
  };
  struct Request {
    pa_operation* operation;
    pa_usec_t deadline;
  };
  struct PlayAsked {
    std::uint64_t number;
    Sample* sample;
  };

  bool Known(std::uint64_t hash) {
    const Locked lock(loop_);
    return samples_.count(hash) != 0;
  }

  std::unique_ptr<Sample> Decode(std::string_view file, std::string_view wave, std::uint64_t hash) {
    auto sample = std::make_unique<Sample>();
    sample->player = this;
    sample->file = file;
    char name[64];
    std::snprintf(name, sizeof name, "quillmont-%u-%016llx", static_cast<unsigned>(::getuid()),
                  static_cast<unsigned long long>(hash));
    sample->name = name;
    std::optional<WaveSound> sound = DecodeWave(wave);
    if (sound) {
      sample->format = {PulseFormat(sound->format), sound->rate, static_cast<std::uint8_t>(sound->channels)};
      sample->samples = std::move(sound->samples);
    }
    // Rates and channel counts the reader takes are the server's; a format
    // it has no name for is refused here, anything else by pa_stream_new.
    if (!sound || sample->format.format == PA_SAMPLE_INVALID) sample->state = Sample::kRefused;
    return sample;
  }

  // --- the connection -------------------------------------------------------

  bool NewContext() {
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "Quillmont");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ID, "io.github.quillmont.Quillmont");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, "io.github.quillmont.Quillmont");
    context_ = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(loop_), "Quillmont", props);
    pa_proplist_free(props);
    if (context_ == nullptr) return false;
    pa_context_set_state_callback(context_, OnContextState, this);
    pa_context_set_subscribe_callback(context_, OnSinkInputEvent, this);
    return true;
  }

  void Connect() {
    retryAt_ = 0;
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
      return Lost(pa_strerror(pa_context_errno(context_)));
    }
    connectDeadline_ = pa_rtclock_now() + kConnectLimit;
    Schedule();
  }

  static void OnContextState(pa_context* context, void* self) {
    auto* player = static_cast<PulsePlayer*>(self);
    switch (pa_context_get_state(context)) {
      case PA_CONTEXT_READY: return player->Ready();
      case PA_CONTEXT_FAILED:
      case PA_CONTEXT_TERMINATED: {
        const int error = pa_context_errno(context);
        return player->Lost(error != PA_OK ? pa_strerror(error) : "the connection ended");
      }
      default: return;
    }
  }

  void Ready() {
    ready_ = true;
    connectDeadline_ = 0;
    Track(pa_context_subscribe(context_, PA_SUBSCRIPTION_MASK_SINK_INPUT, nullptr, nullptr));
    for (auto& [hash, sample] : samples_) {
      if (sample->state == Sample::kAbsent) Look(*sample);
    }
    Schedule();
  }

  // The server is gone, refused us or stopped answering: silence until a new
  // connection, tried after a wait that doubles up to kLastRetry.
  void Lost(const std::string& why) {
    Say("No sound for now from the sound server: " + why + "; trying again");
    EndConnection();
    pa_context_unref(context_);
    context_ = nullptr;
    if (!NewContext()) return;  // out of memory: silence for good
    retryAt_ = pa_rtclock_now() + retryWait_;
    retryWait_ = std::min(retryWait_ * 2, kLastRetry);
    Schedule();
  }

  void EndConnection() {
    for (const Request& request : requests_) {
      pa_operation_cancel(request.operation);
      pa_operation_unref(request.operation);
    }
    requests_.clear();
    for (auto& [hash, sample] : samples_) {
      if (sample->upload != nullptr) EndUpload(*sample);
      if (sample->state != Sample::kRefused) sample->state = Sample::kAbsent;
    }
    playsAsked_.clear();
    ended_.clear();
    wanted_ = nullptr;
    playing_ = PA_INVALID_INDEX;
    ready_ = false;
    connectDeadline_ = 0;
    if (context_ == nullptr) return;
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_set_subscribe_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
  }

  // --- deadlines --------------------------------------------------------------

  void Track(pa_operation* operation) {
    if (operation == nullptr) return Lost(pa_strerror(pa_context_errno(context_)));
    requests_.push_back({operation, pa_rtclock_now() + kRequestLimit});
  }

  // Sets the one timer to the nearest deadline or retry, dropping the
  // requests that have been answered.
  void Schedule() {
    std::erase_if(requests_, [](const Request& request) {
      if (pa_operation_get_state(request.operation) == PA_OPERATION_RUNNING) return false;
      pa_operation_unref(request.operation);
      return true;
    });
    pa_usec_t next = PA_USEC_INVALID;
    const auto nearer = [&next](pa_usec_t at) {
      if (at != 0 && (next == PA_USEC_INVALID || at < next)) next = at;
    };
    nearer(retryAt_);
    nearer(connectDeadline_);
    for (const Request& request : requests_) nearer(request.deadline);
    for (const auto& [hash, sample] : samples_) nearer(sample->upload != nullptr ? sample->deadline : 0);
    if (context_ != nullptr) pa_context_rttime_restart(context_, tick_, next);
  }

  static void OnTick(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
    static_cast<PulsePlayer*>(self)->Tick();
  }

  void Tick() {
    const pa_usec_t now = pa_rtclock_now();
    Schedule();  // drops what was answered
    bool late = connectDeadline_ != 0 && now >= connectDeadline_;
    for (const Request& request : requests_) late = late || now >= request.deadline;
    for (const auto& [hash, sample] : samples_) late = late || (sample->upload != nullptr && now >= sample->deadline);
    if (late) return Lost("no answer in time");
    if (retryAt_ != 0 && now >= retryAt_) return Connect();
    Schedule();
  }

  // --- samples ----------------------------------------------------------------

  // One made by an earlier run, or by another copy, is used as it is.
  void Look(Sample& sample) {
    if (!ready_) return;
    sample.state = Sample::kLooking;
    sample.found = false;
    Track(pa_context_get_sample_info_by_name(context_, sample.name.c_str(), OnSampleInfo, &sample));
  }

  static void OnSampleInfo(pa_context*, const pa_sample_info* info, int eol, void* data) {
    auto& sample = *static_cast<Sample*>(data);
    if (info != nullptr) {
      sample.found = info->bytes == sample.samples.size() && SameFormat(FormatOf(*info), sample.format);
      return;
    }
    if (eol == 0) return;
    sample.player->retryWait_ = kFirstRetry;  // the server answers
    if (sample.found) return sample.player->Uploaded(sample);
    sample.player->Upload(sample);
  }

  void Upload(Sample& sample) {
    pa_channel_map map;
    pa_channel_map_init_extend(&map, sample.format.channels, PA_CHANNEL_MAP_WAVEEX);
    sample.upload = pa_stream_new(context_, sample.name.c_str(), &sample.format, &map);
    if (sample.upload == nullptr) return Refuse(sample);
    sample.state = Sample::kUploading;
    sample.written = 0;
    sample.deadline = pa_rtclock_now() + kRequestLimit;
    pa_stream_set_state_callback(sample.upload, OnUploadState, &sample);
    pa_stream_set_write_callback(sample.upload, OnUploadWrite, &sample);
    if (pa_stream_connect_upload(sample.upload, sample.samples.size()) < 0) Refuse(sample);
    Schedule();
  }

  static void OnUploadWrite(pa_stream* stream, std::size_t wanted, void* data) {
    auto& sample = *static_cast<Sample*>(data);
    const std::size_t count = std::min(wanted, sample.samples.size() - sample.written);
    if (count == 0) return;
    if (pa_stream_write(stream, sample.samples.data() + sample.written, count, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
      return sample.player->Refuse(sample);
    }
    sample.written += count;
    if (sample.written == sample.samples.size()) pa_stream_finish_upload(stream);
  }

  static void OnUploadState(pa_stream* stream, void* data) {
    auto& sample = *static_cast<Sample*>(data);
    switch (pa_stream_get_state(stream)) {
      case PA_STREAM_TERMINATED:
        sample.player->EndUpload(sample);
        return sample.player->Uploaded(sample);
      case PA_STREAM_FAILED: return sample.player->Refuse(sample);
      default: return;
    }
  }

  void EndUpload(Sample& sample) {
    pa_stream_set_state_callback(sample.upload, nullptr, nullptr);
    pa_stream_set_write_callback(sample.upload, nullptr, nullptr);
    if (pa_stream_get_state(sample.upload) != PA_STREAM_TERMINATED) pa_stream_disconnect(sample.upload);
    pa_stream_unref(sample.upload);
    sample.upload = nullptr;
  }

  // The server will not keep this sound (its cache full, say): silence for
  // it until the next connection.
  void Refuse(Sample& sample) {
    Say("No sound: the sound server did not keep " + sample.file + ": " +
        pa_strerror(pa_context_errno(context_)));
    if (sample.upload != nullptr) EndUpload(sample);
    sample.state = Sample::kAbsent;
    if (wanted_ == &sample) wanted_ = nullptr;
    Schedule();
  }

  void Uploaded(Sample& sample) {
    sample.state = Sample::kReady;
    retryWait_ = kFirstRetry;
    if (wanted_ == &sample) {
      wanted_ = nullptr;
      if (pa_rtclock_now() - wantedAt_ < kLatePlay) Start(sample);
    }
    Schedule();
  }

  // --- playing ----------------------------------------------------------------

  // As the system's asynchronous play does, a new sound ends the one playing.
  void Play(Sample& sample) {
    ++asked_;
    Silence();
    if (ready_ && sample.state == Sample::kReady) return Start(sample);
    // Still connecting or uploading: played once it is there, if soon.
    wanted_ = &sample;
    wantedAt_ = pa_rtclock_now();
  }

  void Silence() {
    wanted_ = nullptr;
    if (playing_ != PA_INVALID_INDEX && ready_) Track(pa_context_kill_sink_input(context_, playing_, nullptr, nullptr));
    playing_ = PA_INVALID_INDEX;
  }

  void Start(Sample& sample) {
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "event");
    pa_proplist_sets(props, PA_PROP_MEDIA_NAME, sample.file.c_str());
    Track(pa_context_play_sample_with_proplist(context_, sample.name.c_str(), nullptr, PA_VOLUME_NORM, props,
                                               OnPlaying, this));
    pa_proplist_free(props);
    // The answers come in the order asked, so each takes the oldest entry.
    if (ready_) playsAsked_.push_back({asked_, &sample});
  }

  static void OnPlaying(pa_context* context, std::uint32_t index, void* self) {
    auto* player = static_cast<PulsePlayer*>(self);
    if (player->playsAsked_.empty()) return;
    const PlayAsked asked = player->playsAsked_.front();
    player->playsAsked_.pop_front();
    player->Playing(asked, index, pa_context_errno(context));
  }

  void Playing(const PlayAsked& asked, std::uint32_t index, int error) {
    if (index == PA_INVALID_INDEX) {
      // Removed from the cache meanwhile (by hand, say): uploaded again, and
      // played then if it is still the newest sound.
      if (error == PA_ERR_NOENTITY && asked.sample->state == Sample::kReady) {
        Look(*asked.sample);
        if (asked.number == asked_) {
          wanted_ = asked.sample;
          wantedAt_ = pa_rtclock_now();
        }
      } else {
        Say(std::string("No sound: the sound server did not play ") + asked.sample->file + ": " + pa_strerror(error));
      }
    } else if (asked.number != asked_) {
      // A newer sound was asked for before this one's stream was known.
      Track(pa_context_kill_sink_input(context_, index, nullptr, nullptr));
    } else if (std::find(ended_.begin(), ended_.end(), index) == ended_.end()) {
      playing_ = index;
    }
    if (playsAsked_.empty()) ended_.clear();
    Schedule();
  }

  // A stream that has ended is forgotten, so that its index, once the server
  // gives it to another program's stream, is never ended by us.
  static void OnSinkInputEvent(pa_context*, pa_subscription_event_type_t type, std::uint32_t index, void* self) {
    auto* player = static_cast<PulsePlayer*>(self);
    if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) != PA_SUBSCRIPTION_EVENT_SINK_INPUT ||
        (type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) != PA_SUBSCRIPTION_EVENT_REMOVE) {
      return;
    }
    if (index == player->playing_) player->playing_ = PA_INVALID_INDEX;
    if (!player->playsAsked_.empty()) player->ended_.push_back(index);
  }

  // Each message once in the process's life, straight to standard error.
  void Say(const std::string& message) {
    if (!said_.insert(message).second) return;
    const std::string line = message + "\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
  }

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_time_event* tick_ = nullptr;
  bool ready_ = false;
  pa_usec_t connectDeadline_ = 0;
  pa_usec_t retryAt_ = 0;
  pa_usec_t retryWait_ = kFirstRetry;
  std::vector<Request> requests_;
  std::map<std::uint64_t, std::unique_ptr<Sample>> samples_;
  // By file name: the length and content hash of its bytes. Only the
  // calling thread uses it.
  std::map<std::string, std::pair<std::size_t, std::uint64_t>, std::less<>> hashes_;
  std::uint64_t asked_ = 0;
  std::deque<PlayAsked> playsAsked_;
  std::vector<std::uint32_t> ended_;  // while plays are asked: streams gone before their index came
  std::uint32_t playing_ = PA_INVALID_INDEX;
  Sample* wanted_ = nullptr;
  pa_usec_t wantedAt_ = 0;
  std::set<std::string> said_;
};

// Nothing may unwind into the program through a C call: a failure is silence.
void* Create() noexcept {
  try {
    auto player = std::make_unique<PulsePlayer>();
    return player->Start() ? player.release() : nullptr;
  } catch (...) {
    return nullptr;
  }
}

void Take(void* player, const char* name, std::size_t nameLength, const unsigned char* wave, std::size_t length,
          bool play) noexcept {
  if (player == nullptr || name == nullptr || wave == nullptr) return;
  try {
    static_cast<PulsePlayer*>(player)->Take(std::string_view(name, nameLength),
                                            std::string_view(reinterpret_cast<const char*>(wave), length), play);
  } catch (...) {
  }
}

void Prepare(void* player, const char* name, std::size_t nameLength, const unsigned char* wave,
             std::size_t length) noexcept {
  Take(player, name, nameLength, wave, length, false);
}

void Play(void* player, const char* name, std::size_t nameLength, const unsigned char* wave,
          std::size_t length) noexcept {
  Take(player, name, nameLength, wave, length, true);
}

void Destroy(void* player) noexcept { delete static_cast<PulsePlayer*>(player); }

constexpr QuillmontSoundModule kModule{kSoundModuleVersion, sizeof(QuillmontSoundModule), Create, Prepare, Play,
                                       Destroy};

}  // namespace
}  // namespace quillmont

extern "C" __attribute__((visibility("default"))) const QuillmontSoundModule* quillmont_sound_module(
    std::uint32_t version) {
  return version == quillmont::kSoundModuleVersion ? &quillmont::kModule : nullptr;
}
