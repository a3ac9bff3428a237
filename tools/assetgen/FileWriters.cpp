#include "FileWriters.h"

#include <array>
#include <fstream>
#include <stdexcept>

namespace assetgen {
namespace {

void Put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}
void Put32BigEndian(std::string& s, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((v >> shift) & 0xFF);
}
std::uint8_t Byte(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

std::uint32_t Crc32(const std::string& data) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t c = 0xFFFFFFFFu;
  for (unsigned char b : data) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void Chunk(std::string& png, const char* type, const std::string& data) {
  Put32BigEndian(png, static_cast<std::uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  png += body;
  Put32BigEndian(png, Crc32(body));
}

}  // namespace

std::string EncodeBmp(const Canvas& canvas) {
  const int w = canvas.Width(), h = canvas.Height();
  const int rowBytes = (w * 3 + 3) / 4 * 4;
  const auto imageSize = static_cast<std::uint32_t>(rowBytes * h);
  std::string s = "BM";
  Put32(s, 54 + imageSize);
  Put32(s, 0);
  Put32(s, 54);
  Put32(s, 40);
  Put32(s, static_cast<std::uint32_t>(w));
  Put32(s, static_cast<std::uint32_t>(h));
  Put16(s, 1);
  Put16(s, 24);
  Put32(s, 0);  // BI_RGB
  Put32(s, imageSize);
  Put32(s, 3780);  // 96 dpi
  Put32(s, 3780);
  Put32(s, 0);
  Put32(s, 0);
  for (int y = h - 1; y >= 0; --y) {
    int written = 0;
    for (int x = 0; x < w; ++x, written += 3) {
      const Colour& c = canvas.At(x, y);  // flattened on white where transparent
      s += static_cast<char>(Byte(c.b * c.a + 255 * (1 - c.a)));
      s += static_cast<char>(Byte(c.g * c.a + 255 * (1 - c.a)));
      s += static_cast<char>(Byte(c.r * c.a + 255 * (1 - c.a)));
    }
    for (; written < rowBytes; ++written) s += '\0';
  }
  return s;
}

std::string EncodePng(const Canvas& canvas) {
  const int w = canvas.Width(), h = canvas.Height();
  std::string raw;
  for (int y = 0; y < h; ++y) {
    raw += '\0';  // filter: none
    for (int x = 0; x < w; ++x) {
      const Colour& c = canvas.At(x, y);
      raw += static_cast<char>(Byte(c.r));
      raw += static_cast<char>(Byte(c.g));
      raw += static_cast<char>(Byte(c.b));
      raw += static_cast<char>(Byte(c.a * 255));
    }
  }
  std::string z = "\x78\x01";
  for (std::size_t pos = 0; pos < raw.size() || pos == 0;) {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
    z += static_cast<char>(pos + n >= raw.size() ? 1 : 0);
    Put16(z, static_cast<unsigned>(n));
    Put16(z, static_cast<unsigned>(~n & 0xFFFF));
    z += raw.substr(pos, n);
    pos += n;
    if (n == 0) break;
  }
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  Put32BigEndian(z, (b << 16) | a);

  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  Put32BigEndian(header, static_cast<std::uint32_t>(w));
  Put32BigEndian(header, static_cast<std::uint32_t>(h));
  header += std::string("\x08\x06\x00\x00\x00", 5);
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", "");
  return png;
}

std::string EncodeWav(const std::vector<double>& samples, int sampleRate) {
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::string s = "RIFF";
  Put32(s, 36 + dataBytes);
  s += "WAVEfmt ";
  Put32(s, 16);
  Put16(s, 1);  // PCM
  Put16(s, 1);  // mono
  Put32(s, static_cast<std::uint32_t>(sampleRate));
  Put32(s, static_cast<std::uint32_t>(sampleRate * 2));
  Put16(s, 2);
  Put16(s, 16);
  s += "data";
  Put32(s, dataBytes);
  for (double v : samples) {
    const long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767);
    Put16(s, static_cast<unsigned>(static_cast<std::uint16_t>(static_cast<std::int16_t>(q))));
  }
  return s;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace assetgen
