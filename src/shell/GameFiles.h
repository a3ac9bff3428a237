#pragma once
// The files of the program's folder that show what the rules report: a wave
// for each sound, a picture for each way a tile leaves play.
#include <array>
#include <cstdint>

#include "game/GameView.h"
#include "game/TPeca.h"

namespace quillmont {

constexpr const char* WaveFile(Sound sound) {
  switch (sound) {
    case Sound::kMatch: return "acerto.wav";
    case Sound::kWrong: return "erro.wav";
    case Sound::kEnd: return "fim.wav";
  }
  return "";
}

// Every wave file, for a player that gets them ready early.
inline constexpr std::array<const char*, 3> kWaveFiles{WaveFile(Sound::kMatch), WaveFile(Sound::kWrong),
                                                       WaveFile(Sound::kEnd)};

// The picture that stands for a cell that left play: "ok.bmp" for a match,
// "nok.bmp" for a cancellation, nullptr for a tile still painted.
constexpr const char* PictureFileForState(std::uint8_t estado) {
  switch (estado) {
    case kRemovida: return "ok.bmp";
    case kCancelada: return "nok.bmp";
    default: return nullptr;
  }
}

}  // namespace quillmont
