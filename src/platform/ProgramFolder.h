#pragma once
// The program's own folder, where its bitmaps, sounds, sound module and
// records lie. It is opened once at start and every file of it is read
// through that descriptor, so a folder renamed or replaced while the game
// runs cannot redirect what the program reads or loads.
#include <cstddef>
#include <optional>
#include <string>

namespace quillmont {

// Pictures and sounds of ours are a few kilobytes; a larger file is refused
// before it is read or decoded.
inline constexpr std::size_t kMaxAssetBytes = std::size_t{4} << 20;

class ProgramFolder {
 public:
  // The running executable's folder (/proc/self/exe, links resolved). Where
  // /proc is missing, a packaged copy's folder, compiled in, when that holds
  // the system-install mark; never the current folder, which may be anybody's.
  static ProgramFolder OfExecutable();
  // The given folder (tests, and the packaged copy above).
  explicit ProgramFolder(const std::string& path);
  ~ProgramFolder();
  ProgramFolder(ProgramFolder&& other) noexcept;
  ProgramFolder& operator=(ProgramFolder&&) = delete;
  ProgramFolder(const ProgramFolder&) = delete;

  // False when no folder could be found or opened; Problem() says why.
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Problem() const { return problem_; }
  // With its trailing "/"; empty when not open.
  const std::string& Path() const { return path_; }
  int Descriptor() const { return fd_; }
  // True when the folder holds the mark "system-install" that the Debian
  // package installs: the folder then belongs to the system, and nothing of
  // a player's is written into it.
  bool IsSystemInstall() const;
  // The bytes of a regular file of the folder (never through a link, never
  // blocking on a FIFO), or nullopt when it is missing, something else, over
  // `cap` bytes, or cannot be read. `problem`, when given, then says why as
  // the end of a sentence that starts with the name ("is larger than 4
  // MiB"), unless the file is simply missing or unreadable.
  std::optional<std::string> Read(const std::string& name, std::size_t cap = kMaxAssetBytes,
                                  std::string* problem = nullptr) const;

 private:
  ProgramFolder() = default;
  int fd_ = -1;
  std::string path_;
  std::string problem_;
};

// The folder of the running executable, links resolved, with its trailing
// "/"; empty without /proc.
std::string ExecutableDirectory();
// Makes the folder current; false when that fails. Never throws.
bool MakeCurrentDirectory(const std::string& folder);

}  // namespace quillmont
