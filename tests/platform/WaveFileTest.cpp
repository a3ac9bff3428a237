// Wave files read from crafted bytes: every sample layout a sound server
// takes, chunks in any order, and bytes that are no such file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/ProgramFolder.h"
#include "platform/WaveFile.h"

namespace quillmont {
namespace {

std::string Le(std::uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
  return out;
}
std::string Chunk(const std::string& id, const std::string& body) {
  return id + Le(static_cast<std::uint32_t>(body.size()), 4) + body + (body.size() % 2 ? std::string(1, '\0') : "");
}
std::string Fmt(int tag, int channels, int rate, int blockAlign, int bits) {
  return Chunk("fmt ", Le(tag, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * blockAlign, 4) + Le(blockAlign, 2) +
                           Le(bits, 2));
}
std::string Extensible(int subTag, int channels, int blockAlign, int bits, int validBits) {
  return Chunk("fmt ", Le(0xFFFE, 2) + Le(channels, 2) + Le(48000, 4) + Le(48000 * blockAlign, 4) +
                           Le(blockAlign, 2) + Le(bits, 2) + Le(22, 2) + Le(validBits, 2) + Le(3, 4) + Le(subTag, 2) +
                           std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14));
}
std::string Riff(const std::string& chunks) { return "RIFF" + Le(4 + chunks.size(), 4) + "WAVE" + chunks; }

TEST(WaveFile, DecodesEveryLayoutAndRefusesWhatIsNoWaveFile) {
  const std::string pcm = "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c";
  // Chunks in any order, an odd one padded, the data cut short of a frame.
  auto sound = DecodeWave(Riff(Chunk("LIST", "odd") + Chunk("data", pcm + "\xff") + Fmt(1, 2, 22050, 4, 16)));
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->format, SampleFormat::kS16LE);
  EXPECT_EQ(sound->rate, 22050u);
  EXPECT_EQ(sound->channels, 2u);
  EXPECT_EQ(sound->samples, pcm);
  // A data chunk that claims more than the file holds keeps its whole frames.
  sound = DecodeWave(Riff(Fmt(1, 3, 8000, 9, 24)) + "data" + Le(0xFFFFFFFF, 4) + pcm + "\x0d");
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->format, SampleFormat::kS24LE);
  EXPECT_EQ(sound->samples, pcm.substr(0, 9));
  const struct {
    std::string format;
    SampleFormat expected;
  } layouts[] = {
      {Fmt(1, 1, 8000, 1, 8), SampleFormat::kU8},          {Fmt(1, 6, 96000, 24, 32), SampleFormat::kS32LE},
      {Fmt(1, 1, 8000, 2, 12), SampleFormat::kS16LE},      {Fmt(3, 1, 44100, 4, 32), SampleFormat::kFloat32LE},
      {Extensible(1, 1, 4, 32, 24), SampleFormat::kS32LE}, {Extensible(3, 2, 8, 32, 32), SampleFormat::kFloat32LE},
  };
  for (const auto& layout : layouts) {
    sound = DecodeWave(Riff(layout.format + Chunk("data", pcm + pcm)));
    ASSERT_TRUE(sound) << static_cast<int>(layout.expected);
    EXPECT_EQ(sound->format, layout.expected);
  }
  // 64-bit floats narrowed: 0.5 and -2.
  sound = DecodeWave(Riff(Fmt(3, 1, 8000, 8, 64) +
                          Chunk("data", Le(0, 4) + Le(0x3FE00000, 4) + Le(0, 4) + Le(0xC0000000, 4))));
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->format, SampleFormat::kFloat32LE);
  EXPECT_EQ(sound->samples, Le(0x3F000000, 4) + Le(0xC0000000, 4));

  const std::string data = Chunk("data", pcm);
  for (const std::string& bad : {
           std::string(), std::string("RIFF"), Riff(data), Riff(Fmt(1, 1, 8000, 2, 16)),
           "RIFX" + Riff(Fmt(1, 1, 8000, 2, 16) + data).substr(4), Riff(Chunk("fmt ", "short") + data),
           Riff(Fmt(1, 0, 8000, 2, 16) + data), Riff(Fmt(1, 33, 8000, 66, 16) + data),
           Riff(Fmt(1, 1, 0, 2, 16) + data), Riff(Fmt(1, 1, 400000, 2, 16) + data),
           Riff(Fmt(1, 1, 8000, 3, 16) + data), Riff(Fmt(1, 2, 8000, 3, 8) + data), Riff(Fmt(1, 1, 8000, 8, 64) + data),
           Riff(Fmt(3, 1, 8000, 2, 16) + data), Riff(Fmt(2, 1, 8000, 2, 16) + data),
           Riff(Extensible(1, 1, 2, 16, 16).replace(40, 1, "\x01") + data), Riff(Fmt(1, 2, 8000, 4, 16) + Chunk("data", "\x01\x02")),
       }) {
    EXPECT_FALSE(DecodeWave(bad)) << ::testing::PrintToString(bad);
  }
  // Cut anywhere, a file is read or refused, never read past its end.
  const std::string whole = Riff(Chunk("LIST", "abc") + Extensible(1, 2, 6, 24, 24) + Chunk("data", pcm));
  for (std::size_t size = 0; size <= whole.size(); ++size) {
    const auto cut = DecodeWave(std::string(whole, 0, size));
    if (cut) {
      EXPECT_EQ(cut->samples, pcm.substr(0, cut->samples.size()));
    }
  }
}

TEST(ProgramFolder, ReadsOnlyRegularFilesUpToTheLimitWithoutBlocking) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("wavefile-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const ProgramFolder program(folder.string());
  std::string problem = "stale";
  EXPECT_FALSE(program.Read("missing.wav", kMaxAssetBytes, &problem));
  EXPECT_EQ(problem, "");  // simply missing: nothing to say
  ASSERT_EQ(::mkfifo((folder / "fifo.wav").c_str(), 0600), 0);
  EXPECT_FALSE(program.Read("fifo.wav", kMaxAssetBytes, &problem));
  EXPECT_EQ(problem, "is not a regular file");
  for (const std::size_t size : {kMaxAssetBytes, kMaxAssetBytes + 1}) {
    std::ofstream(folder / "big.wav", std::ios::binary) << std::string(size, 'w');
    const auto bytes = program.Read("big.wav", kMaxAssetBytes, &problem);
    EXPECT_EQ(bytes.has_value(), size == kMaxAssetBytes);
    EXPECT_EQ(problem, bytes ? "" : "is larger than 4 MiB");
    if (bytes) {
      EXPECT_EQ(bytes->size(), size);
    }
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace quillmont
