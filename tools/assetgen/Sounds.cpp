#include "Sounds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace assetgen {
namespace {

std::vector<double> Silence(double seconds) { return std::vector<double>(static_cast<std::size_t>(seconds * kSampleRate), 0.0); }

// A bell-like note: a few harmonics under an exponential decay.
void AddNote(std::vector<double>& out, double start, double frequency, double length, double gain) {
  const auto first = static_cast<std::size_t>(start * kSampleRate);
  const auto count = static_cast<std::size_t>(length * kSampleRate);
  for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double attack = std::min(1.0, t / 0.006);
    const double envelope = attack * std::exp(-t * 6.5 / length);
    const double wave = std::sin(2 * std::numbers::pi * frequency * t) + 0.35 * std::sin(4 * std::numbers::pi * frequency * t) +
                        0.12 * std::sin(6 * std::numbers::pi * frequency * t);
    out[first + i] += gain * envelope * wave;
  }
}

// Short fades at both ends so that playback never clicks.
void Finish(std::vector<double>& out) {
  const std::size_t fadeIn = kSampleRate / 200, fadeOut = kSampleRate / 40;
  for (std::size_t i = 0; i < out.size(); ++i) {
    double g = 1;
    if (i < fadeIn) g = static_cast<double>(i) / fadeIn;
    if (out.size() - i <= fadeOut) g = std::min(g, static_cast<double>(out.size() - 1 - i) / fadeOut);
    out[i] *= g;
  }
  double peak = 0;
  for (double v : out) peak = std::max(peak, std::fabs(v));
  if (peak > 0) for (double& v : out) v *= 0.7 / peak;
}

}  // namespace

std::vector<double> MatchChime() {
  auto out = Silence(0.42);
  AddNote(out, 0.0, 1318.5, 0.2, 0.6);   // E6
  AddNote(out, 0.09, 1760.0, 0.33, 0.7);  // A6
  Finish(out);
  return out;
}

std::vector<double> WrongBuzz() {
  auto out = Silence(0.38);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    // Falls from 220 Hz to about 140 Hz; odd harmonics give it a soft buzz.
    const double phase = 2 * std::numbers::pi * (220 * t - 105 * t * t);
    const double wave = std::sin(phase) + 0.3 * std::sin(3 * phase) + 0.12 * std::sin(5 * phase);
    out[i] = wave * std::min(1.0, t / 0.01) * std::exp(-t * 4.0);
  }
  Finish(out);
  return out;
}

std::vector<double> ClosingArpeggio() {
  auto out = Silence(0.85);
  const double notes[4] = {523.25, 659.25, 783.99, 1046.5};  // C5 E5 G5 C6
  for (int i = 0; i < 4; ++i) AddNote(out, 0.11 * i, notes[i], i == 3 ? 0.52 : 0.4, i == 3 ? 0.75 : 0.55);
  Finish(out);
  return out;
}

}  // namespace assetgen
