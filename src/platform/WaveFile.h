#pragma once
// A RIFF/WAVE file's PCM samples, read from its bytes into a form a sound
// server takes as it is: the format, rate and channel count that describe
// them, and the frames, little-endian and whole.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillmont {

enum class SampleFormat {
  kU8,         // unsigned 8-bit
  kS16LE,      // signed 16-bit
  kS24LE,      // signed 24-bit, packed in three bytes
  kS32LE,      // signed 32-bit
  kFloat32LE,  // IEEE float; 64-bit floats are narrowed to this
};

struct WaveSound {
  SampleFormat format = SampleFormat::kS16LE;
  std::uint32_t rate = 0;
  std::uint32_t channels = 0;
  std::string samples;  // whole frames only, at least one
};

// What a sound server accepts: at most this many channels, a rate up to this.
inline constexpr std::uint32_t kMaxWaveChannels = 32;
inline constexpr std::uint32_t kMaxWaveRate = 384000;

// Reads integer PCM of 8, 16, 24 or 32 bits and IEEE floats of 32 or 64 bits,
// plain or WAVE_FORMAT_EXTENSIBLE, at any rate and channel count the limits
// above allow; the chunks in any order, each padded to an even size. Empty
// when the bytes are no such file, or hold no whole frame; a data chunk cut
// short keeps the whole frames it has.
std::optional<WaveSound> DecodeWave(std::string_view bytes);

}  // namespace quillmont
