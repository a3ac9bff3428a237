#pragma once
// The one random generator of the program: Random(n) is uniform in 0..n-1.
#include <cstdint>
#include <deque>
#include <random>
#include <vector>

namespace quillmont {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual void Seed(std::uint32_t seed) = 0;
  // n >= 1.
  virtual int Random(int n) = 0;
};

class StdRandom final : public RandomSource {
 public:
  void Seed(std::uint32_t seed) override { engine_.seed(seed); }
  int Random(int n) override {
    return std::uniform_int_distribution<int>(0, n - 1)(engine_);
  }

 private:
  std::mt19937 engine_{0};
};

// For tests: hands out the scripted values in order (each taken modulo n) and
// remembers every n it was asked for, so a test can pin the order of draws.
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
