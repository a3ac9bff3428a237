#pragma once
// The three file formats the program reads: BMP, PNG and WAV, written byte
// by byte so that nothing but our own code is involved.
#include <string>
#include <vector>

#include "Raster.h"

namespace assetgen {

// 24-bit uncompressed, bottom-up rows padded to four bytes.
std::string EncodeBmp(const Canvas& canvas);
// 8-bit RGBA, deflate in stored blocks (no compression needed at these sizes).
std::string EncodePng(const Canvas& canvas);
// 16-bit PCM mono; samples in -1..1.
std::string EncodeWav(const std::vector<double>& samples, int sampleRate);

void WriteBytes(const std::string& path, const std::string& bytes);

}  // namespace assetgen
