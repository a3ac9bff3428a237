#pragma once
// Pictures loaded from bitmap files of the program's folder, with the two
// messages a player sees when one is missing or broken.
#include <stdexcept>
#include <string>

#include "platform/PixelBuffer.h"
#include "platform/ProgramFolder.h"

namespace quillmont {

class BitmapError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws BitmapError: "Cannot open file <name>" when the file cannot be
// opened (missing, no regular file, over kMaxAssetBytes), "Bitmap image is
// not valid" when it opens but holds no BMP. Decoded pictures are kept per
// file and reused while its bytes stay the same, so a move decodes nothing.
PixelBuffer LoadBitmapFile(const ProgramFolder& folder, const std::string& fileName);

}  // namespace quillmont
