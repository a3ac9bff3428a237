// Any bytes as a wave file: the reader never reads past them, and what it
// returns is whole frames of a format a sound server takes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/WaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmont;
  const auto sound = DecodeWave(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!sound) return 0;
  static constexpr std::size_t kBytes[] = {1, 2, 3, 4, 4};
  const std::size_t frame = kBytes[static_cast<int>(sound->format)] * sound->channels;
  if (sound->channels == 0 || sound->channels > kMaxWaveChannels || sound->rate == 0 || sound->rate > kMaxWaveRate ||
      sound->samples.empty() || sound->samples.size() % frame != 0 || sound->samples.size() > size) {
    std::abort();
  }
  return 0;
}
