#pragma once
// A GameView that writes down every call, so tests can assert the order of
// effects, and that can paint real tile pictures or fail on removed tiles.
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/Game.h"
#include "game/TileDrawing.h"

namespace quillmont::testing {

class RecordingView final : public GameView {
 public:
  std::vector<std::string> log;
  Game* game = nullptr;          // when set, DesenhaPeca logs the state drawn
  bool failPictures = false;     // DesenhaPeca of a state 2 or 3 cell throws
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

  void SetCellVisible(int, int, bool) override {}
  void DesenhaPeca(int column, int row) override {
    std::string entry = "draw " + std::to_string(column) + "," + std::to_string(row);
    if (game != nullptr) {
      const std::uint8_t estado = game->Peca(column, row).Estado;
      entry += " s" + std::to_string(estado);
      if (failPictures && PictureFileForState(estado) != nullptr) {
        log.push_back(entry + " failed");
        throw std::runtime_error(std::string("Cannot open file ") + PictureFileForState(estado));
      }
    }
    log.push_back(entry);
  }
  void PlaySound(std::string_view fileName) override { log.push_back("sound " + std::string(fileName)); }
  void ShowCounters(int left, double value) override {
    tilesLeft = left;
    score = value;
    log.push_back("counters " + std::to_string(left) + " " + std::to_string(static_cast<long long>(value)));
  }
  void SetGaugeMaximum(int maximum) override { gaugeMaximum = maximum; }
  void SetGaugeProgress(int progress) override {
    gaugeProgress = progress;
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
