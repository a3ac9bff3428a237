#include "platform/ModuleFile.h"

#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/AtomicFile.h"

namespace quillmont {
namespace {

constexpr unsigned char kHostClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
constexpr unsigned char kHostData = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;
// Far more program headers than any library has; the header's count is not
// trusted with an allocation of any size.
constexpr unsigned kMaxSegments = 256;

// Code that anybody but the player and root may replace is not run.
bool Trusted(const struct stat& st) {
  return (st.st_uid == ::geteuid() || st.st_uid == 0) && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool ReadAt(int fd, void* to, std::size_t size, off_t at) {
  auto* bytes = static_cast<char*>(to);
  while (size > 0) {
    const ssize_t n = ::pread(fd, bytes, size, at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
    at += n;
  }
  return true;
}

}  // namespace

ModuleFile::ModuleFile(const std::string& path) {
  // Not through a link, which could lead out of the checked folder; not
  // blocking, so that a FIFO in the module's place returns at once.
  fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd_ < 0) {
    const int error = errno;
    Refuse(error == ELOOP ? "is not a regular file" : std::string("cannot be opened: ") + std::strerror(error));
    return;
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    Refuse("is not a regular file");
    return;
  }
  if (!Trusted(st)) {
    Refuse("may be replaced by other users");
    return;
  }
  if (!CheckOwner(FolderOf(path))) return;
  CheckHeader(static_cast<long long>(st.st_size));
}

ModuleFile::~ModuleFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::string ModuleFile::LoadName() const { return "/proc/self/fd/" + std::to_string(fd_); }

bool ModuleFile::Refuse(std::string problem) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  problem_ = std::move(problem);
  return false;
}

bool ModuleFile::CheckOwner(const std::string& folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0 || !Trusted(st)) {
    return Refuse("lies in a folder that other users may change");
  }
  return true;
}

bool ModuleFile::CheckHeader(long long size) {
  ElfW(Ehdr) header{};
  if (!ReadAt(fd_, &header, sizeof header, 0) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
      header.e_ident[EI_CLASS] != kHostClass || header.e_ident[EI_DATA] != kHostData ||
      header.e_ident[EI_VERSION] != EV_CURRENT || header.e_type != ET_DYN ||
      header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_phnum == 0 || header.e_phnum > kMaxSegments) {
    return Refuse("is not a library for this system");
  }
  std::vector<ElfW(Phdr)> segments(header.e_phnum);
  const auto tableSize = static_cast<long long>(segments.size() * sizeof(ElfW(Phdr)));
  if (header.e_phoff > static_cast<unsigned long long>(size) ||
      tableSize > size - static_cast<long long>(header.e_phoff) ||
      !ReadAt(fd_, segments.data(), static_cast<std::size_t>(tableSize), static_cast<off_t>(header.e_phoff))) {
    return Refuse("is cut short");
  }
  for (const ElfW(Phdr)& segment : segments) {
    // The loader maps p_filesz bytes from p_offset: past the end of the
    // file the first touch is a bus error.
    const auto end = static_cast<unsigned long long>(size);
    if (segment.p_offset > end || segment.p_filesz > end - segment.p_offset) return Refuse("is cut short");
    if (segment.p_type == PT_LOAD && segment.p_filesz > segment.p_memsz) {
      return Refuse("is not a library for this system");
    }
  }
  return true;
}

}  // namespace quillmont
