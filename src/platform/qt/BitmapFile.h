#pragma once
// Pictures loaded from bitmap files in the current folder, with the two
// messages a player sees when one is missing or broken.
#include <stdexcept>
#include <string>

#include "platform/PixelBuffer.h"

namespace quillmont {

class BitmapError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws BitmapError: "Cannot open file <name>" when the file cannot be
// opened, "Bitmap image is not valid" when it opens but holds no BMP.
// Decoded pictures are kept per file and reused while the file's size and
// time stamp stay the same, so a move never waits for the disk.
PixelBuffer LoadBitmapFile(const std::string& fileName);

}  // namespace quillmont
