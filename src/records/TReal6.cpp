#include "records/TReal6.h"

#include <cmath>

namespace quillmont {
namespace {

constexpr int kBias = 129;
constexpr long double kHiddenBit = 549755813888.0L;  // 2^39

}  // namespace

TReal6 TReal6::FromDouble(long double value) {
  TReal6 result;
  if (std::isnan(value) || std::isinf(value)) throw FloatOverflowError();
  if (value == 0.0L) return result;

  const bool negative = value < 0.0L;
  int exponent = 0;
  // |value| = m * 2^exponent with m in [0.5, 1); the stored form is 1.f.
  const long double m = std::frexp(std::fabs(value), &exponent);
  // 2m * 2^39 lies in [2^39, 2^40) and is exact in long double; adding a half
  // and cutting rounds the 40-bit mantissa to nearest, halves away from zero.
  long double mantissa = std::floor(std::ldexp(m, 40) + 0.5L);
  int e = exponent - 1 + kBias;
  if (mantissa >= 2.0L * kHiddenBit) {
    mantissa /= 2.0L;
    ++e;
  }
  if (e <= 0) return result;
  if (e > 255) throw FloatOverflowError();

  const auto fraction = static_cast<std::uint64_t>(mantissa - kHiddenBit);
  result.bytes_[0] = static_cast<std::uint8_t>(e);
  for (int i = 1; i <= 4; ++i) result.bytes_[i] = static_cast<std::uint8_t>(fraction >> (8 * (i - 1)));
  result.bytes_[5] = static_cast<std::uint8_t>(((fraction >> 32) & 0x7F) | (negative ? 0x80 : 0x00));
  return result;
}

long double TReal6::ToLongDouble() const {
  if (bytes_[0] == 0) return 0.0L;
  std::uint64_t fraction = bytes_[5] & 0x7Fu;
  for (int i = 4; i >= 1; --i) fraction = (fraction << 8) | bytes_[i];
  const long double magnitude =
      std::ldexp(kHiddenBit + static_cast<long double>(fraction), bytes_[0] - kBias - 39);
  return (bytes_[5] & 0x80u) ? -magnitude : magnitude;
}

}  // namespace quillmont
