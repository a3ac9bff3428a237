#pragma once
// A generator for tests: hands out the scripted values in order (each taken
// modulo n) and remembers every n it was asked for, so a test can pin the
// order of draws.
#include <deque>
#include <vector>

#include "platform/RandomSource.h"

namespace quillmont {

class ScriptedRandom final : public RandomSource {
 public:
  std::deque<int> values;
  std::vector<int> requests;
  StdRandom fallback;  // used once the script runs out

  void Seed(std::uint32_t seed) override { fallback.Seed(seed); }
  int Random(int n) override {
    requests.push_back(n);
    if (values.empty()) return fallback.Random(n);
    const int v = values.front();
    values.pop_front();
    return ((v % n) + n) % n;
  }
};

}  // namespace quillmont
