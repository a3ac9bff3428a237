#pragma once
// The three sounds, synthesised: short, soft-edged, clearly distinct.
#include <vector>

namespace assetgen {

constexpr int kSampleRate = 22050;
std::vector<double> MatchChime();    // "acerto.wav"
std::vector<double> WrongBuzz();     // "erro.wav"
std::vector<double> ClosingArpeggio();  // "fim.wav"

}  // namespace assetgen
