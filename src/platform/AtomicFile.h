#pragma once
// Files are replaced whole: written to a temporary file beside the target,
// flushed to disk, then renamed over it. A failure at any step leaves the
// old file as it was.
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quillmont {

class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;  // what(): the target's path
};

void WriteFileAtomically(const std::string& path, std::string_view bytes);
std::optional<std::string> ReadWholeFile(const std::string& path);
// mkdir -p; true when the folder exists afterwards.
bool EnsureDirectory(const std::string& folder);

}  // namespace quillmont
