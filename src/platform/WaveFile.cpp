#include "platform/WaveFile.h"

#include <algorithm>
#include <bit>

namespace quillmont {
namespace {

constexpr std::uint16_t kPcm = 1;
constexpr std::uint16_t kFloat = 3;
constexpr std::uint16_t kExtensible = 0xFFFE;
// The GUID of an extensible format's sub-format, after its first two bytes
// (which hold the plain format tag).
constexpr std::string_view kSubFormatTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);

std::uint32_t Little(std::string_view bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

struct Format {
  std::uint16_t tag = 0;
  std::uint32_t channels = 0;
  std::uint32_t rate = 0;
  std::uint32_t blockAlign = 0;
  std::uint32_t bits = 0;
};

std::optional<Format> ReadFormat(std::string_view chunk) {
  if (chunk.size() < 16) return std::nullopt;
  Format format{static_cast<std::uint16_t>(Little(chunk, 0, 2)), Little(chunk, 2, 2), Little(chunk, 4, 4),
                Little(chunk, 12, 2), Little(chunk, 14, 2)};
  if (format.tag == kExtensible) {
    // cbSize, valid bits and the channel mask come before the sub-format;
    // the valid bits lie left-aligned in the container, which alone counts.
    if (chunk.size() < 40 || chunk.substr(26, 14) != kSubFormatTail) return std::nullopt;
    format.tag = static_cast<std::uint16_t>(Little(chunk, 24, 2));
  }
  return format;
}

std::optional<SampleFormat> SampleFormatOf(const Format& format, std::uint32_t container) {
  if (format.tag == kFloat) {
    if (format.bits == 32 && container == 4) return SampleFormat::kFloat32LE;
    if (format.bits == 64 && container == 8) return SampleFormat::kFloat32LE;  // narrowed below
    return std::nullopt;
  }
  if (format.tag != kPcm || format.bits == 0 || (format.bits + 7) / 8 != container) return std::nullopt;
  switch (container) {
    case 1: return SampleFormat::kU8;
    case 2: return SampleFormat::kS16LE;
    case 3: return SampleFormat::kS24LE;
    case 4: return SampleFormat::kS32LE;
    default: return std::nullopt;
  }
}

std::string NarrowDoubles(std::string_view data) {
  std::string out(data.size() / 2, '\0');
  for (std::size_t i = 0; i + 8 <= data.size(); i += 8) {
    const std::uint64_t bits = std::uint64_t{Little(data, i + 4, 4)} << 32 | Little(data, i, 4);
    const auto narrowed = std::bit_cast<std::uint32_t>(static_cast<float>(std::bit_cast<double>(bits)));
    for (int b = 0; b < 4; ++b) out[i / 2 + b] = static_cast<char>(narrowed >> (8 * b));
  }
  return out;
}

}  // namespace

std::optional<WaveSound> DecodeWave(std::string_view bytes) {
  if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") return std::nullopt;
  // The RIFF size is not trusted (streamed files leave it 0 or all ones): the
  // chunks run to the end of the bytes, and a chunk cut short ends them.
  std::optional<Format> format;
  std::optional<std::string_view> data;
  std::size_t at = 12;
  while (bytes.size() - at >= 8) {
    const std::string_view id = bytes.substr(at, 4);
    const std::size_t size = std::min<std::size_t>(Little(bytes, at + 4, 4), bytes.size() - at - 8);
    const std::string_view body = bytes.substr(at + 8, size);
    if (id == "fmt " && !format) {
      format = ReadFormat(body);
      if (!format) return std::nullopt;
    } else if (id == "data" && !data) {
      data = body;
    }
    at += 8 + size;
    if (size % 2 == 1 && at < bytes.size()) ++at;  // the pad byte after an odd chunk
  }
  if (!format || !data || format->channels == 0 || format->channels > kMaxWaveChannels || format->rate == 0 ||
      format->rate > kMaxWaveRate || format->blockAlign == 0 || format->blockAlign % format->channels != 0) {
    return std::nullopt;
  }
  const std::optional<SampleFormat> sampleFormat = SampleFormatOf(*format, format->blockAlign / format->channels);
  if (!sampleFormat) return std::nullopt;
  const std::string_view frames = data->substr(0, data->size() - data->size() % format->blockAlign);
  if (frames.empty()) return std::nullopt;
  WaveSound sound{*sampleFormat, format->rate, format->channels, {}};
  sound.samples = format->bits == 64 ? NarrowDoubles(frames) : std::string(frames);
  return sound;
}

}  // namespace quillmont
