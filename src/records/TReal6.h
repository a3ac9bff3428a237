#pragma once
// The 6-byte real in which scores are kept: byte 0 the exponent (bias 129,
// 0 means zero), bytes 1..5 the 39-bit fraction least significant byte first,
// bit 7 of byte 5 the sign. A storage format only: arithmetic is done wider.
#include <array>
#include <cstdint>
#include <stdexcept>

namespace quillmont {

// Raised when a value of magnitude 2^127 or more is narrowed.
class FloatOverflowError : public std::overflow_error {
 public:
  FloatOverflowError() : std::overflow_error("Floating point overflow") {}
};

class TReal6 {
 public:
  TReal6() = default;
  // Narrowing: the mantissa rounded to 40 bits, halves away from zero;
  // magnitudes below 2^-128 give zero; 2^127 and above throw FloatOverflowError.
  static TReal6 FromDouble(long double value);
  static TReal6 FromBytes(const std::array<std::uint8_t, 6>& bytes) { TReal6 r; r.bytes_ = bytes; return r; }

  // Widening: exact.
  long double ToLongDouble() const;
  double ToDouble() const { return static_cast<double>(ToLongDouble()); }

  const std::array<std::uint8_t, 6>& Bytes() const { return bytes_; }

  bool operator==(const TReal6& other) const { return ToLongDouble() == other.ToLongDouble(); }

 private:
  std::array<std::uint8_t, 6> bytes_{};
};

}  // namespace quillmont
