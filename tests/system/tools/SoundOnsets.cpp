// sound_onsets WAVE...: reads a recording from standard input (raw signed
// 16-bit mono, at the rate of the wave files, which must be mono 16-bit) and
// prints every place where one of the wave files starts, in time order:
//   wall-ms offset-ms name
// A start is where the recording matches the file's first 40 ms (normalised
// correlation of at least 0.9), so a sound cut off later still counts, and
// one that never began does not; matches of one file closer than 150 ms
// are one start. wall-ms is the wall-clock time of that start, reckoned
// back from when the piece of the recording holding it arrived: read live
// from parec with a short latency, it is when the sound reached the
// recorder.
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/WaveFile.h"

namespace {

double NowMs() {
  timeval now{};
  ::gettimeofday(&now, nullptr);
  return now.tv_sec * 1000.0 + now.tv_usec / 1000.0;
}

std::vector<float> Samples(const std::string& bytes) {
  std::vector<float> out(bytes.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[2 * i]) | bytes[2 * i + 1] << 8);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  struct Template {
    std::string name;
    std::vector<float> head;
    double energy = 0;
  };
  std::vector<Template> templates;
  std::uint32_t rate = 0;
  for (int i = 1; i < argc; ++i) {
    std::ifstream file(argv[i], std::ios::binary);
    const auto sound = quillmont::DecodeWave(std::string(std::istreambuf_iterator<char>(file), {}));
    if (!sound || sound->format != quillmont::SampleFormat::kS16LE || sound->channels != 1 ||
        (rate != 0 && sound->rate != rate)) {
      std::fprintf(stderr, "%s: not a mono 16-bit wave file at the others' rate\n", argv[i]);
      return 2;
    }
    rate = sound->rate;
    Template t{argv[i], Samples(sound->samples)};
    t.name = t.name.substr(t.name.rfind('/') + 1);
    t.head.resize(std::min<std::size_t>(t.head.size(), rate / 25));
    for (float v : t.head) t.energy += double{v} * v;
    templates.push_back(std::move(t));
  }
  if (templates.empty()) return 2;

  // The recording, and when each piece of it arrived.
  std::string bytes;
  std::vector<std::pair<std::size_t, double>> arrived;  // samples so far, and when
  char buffer[4096];
  for (ssize_t n; (n = ::read(STDIN_FILENO, buffer, sizeof buffer)) != 0;) {
    if (n < 0) continue;
    bytes.append(buffer, static_cast<std::size_t>(n));
    arrived.emplace_back(bytes.size() / 2, NowMs());
  }
  const std::vector<float> recording = Samples(bytes);

  struct Onset {
    std::size_t at;
    double score;
    const Template* sound;
  };
  std::vector<Onset> onsets;
  const std::size_t apart = rate * 3 / 20;
  for (const Template& t : templates) {
    const std::size_t size = t.head.size();
    if (recording.size() < size) continue;
    double window = 0;
    for (std::size_t i = 0; i < size; ++i) window += double{recording[i]} * recording[i];
    for (std::size_t at = 0; at + size <= recording.size(); ++at) {
      if (at > 0) {
        window += double{recording[at + size - 1]} * recording[at + size - 1] -
                  double{recording[at - 1]} * recording[at - 1];
      }
      if (window < t.energy * 0.05) continue;  // far quieter than the sound: not it
      float dot = 0;
      for (std::size_t i = 0; i < size; ++i) dot += recording[at + i] * t.head[i];
      const double score = dot / std::sqrt(std::max(window, 1.0) * t.energy);
      if (score < 0.9) continue;
      if (!onsets.empty() && onsets.back().sound == &t && at - onsets.back().at < apart) {
        if (score > onsets.back().score) onsets.back() = {at, score, &t};
      } else {
        onsets.push_back({at, score, &t});
      }
    }
  }
  std::sort(onsets.begin(), onsets.end(), [](const Onset& a, const Onset& b) { return a.at < b.at; });
  for (const Onset& onset : onsets) {
    const auto piece = std::upper_bound(arrived.begin(), arrived.end(), onset.at,
                                          [](std::size_t at, const auto& piece) { return at < piece.first; });
    const double wall = piece == arrived.end() ? 0.0 : piece->second - 1000.0 * (piece->first - onset.at) / rate;
    std::printf("%.1f %.1f %s\n", wall, 1000.0 * static_cast<double>(onset.at) / rate, onset.sound->name.c_str());
  }
  return 0;
}
