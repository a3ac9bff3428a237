#pragma once
// The one random generator of the program: Random(n) is uniform in 0..n-1.
#include <cstdint>
#include <random>

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

}  // namespace quillmont
