#pragma once
// A GameView that writes down every call, so tests can assert the order of
// effects, and that can paint real tile pictures or fail on removed tiles.
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/Game.h"

namespace quillmont::testing {

class RecordingView final : public GameView {
 public:
  std::vector<std::string> log;
  Game* game = nullptr;          // when set, CellChanged logs the state drawn
  bool failPictures = false;     // CellChanged of a state 2 or 3 cell throws
  int gaugeMaximum = 0;
  int gaugeProgress = 0;
  int barWakes = 0;
  int tilesLeft = 0;
  double score = 0;
  struct Result {
    long double escore;
    int perdidas;
  };
  std::vector<Result> results;

  // A hidden cell is logged as such, a shown one as drawn.
  void CellChanged(Cell cell) override {
    const std::string at = std::to_string(cell.column) + "," + std::to_string(cell.row);
    if (game == nullptr) {
      log.push_back("cell " + at);
      return;
    }
    if (!game->Visible(cell)) {
      log.push_back("hide " + at);
      return;
    }
    const std::uint8_t estado = game->Peca(cell).Estado;
    const std::string entry = "draw " + at + " s" + std::to_string(estado);
    if (failPictures && (estado == kRemovida || estado == kCancelada)) {
      log.push_back(entry + " failed");
      throw std::runtime_error("Cannot open the picture of state " + std::to_string(estado));
    }
    log.push_back(entry);
  }
  void PlaySound(Sound sound) override {
    static constexpr const char* kNames[] = {"match", "wrong", "end"};
    log.push_back(std::string("sound ") + kNames[static_cast<int>(sound)]);
  }
  void ShowCounters(int left, double value) override {
    tilesLeft = left;
    score = value;
    log.push_back("counters " + std::to_string(left) + " " + std::to_string(static_cast<long long>(value)));
  }
  void ShowBar(int progress, int maximum) override {
    gaugeProgress = progress;
    gaugeMaximum = maximum;
    log.push_back("gauge " + std::to_string(progress));
  }
  void BarMovesAgain() override { ++barWakes; }
  void GameEnded(TReal6 escore, std::int32_t perdidas) override {
    results.push_back({escore.ToLongDouble(), perdidas});
    log.push_back("result " + std::to_string(static_cast<long long>(escore.ToLongDouble())) + " " +
                  std::to_string(perdidas));
  }
};

}  // namespace quillmont::testing
