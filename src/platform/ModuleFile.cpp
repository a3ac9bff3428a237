#include "platform/ModuleFile.h"

#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

#include "platform/AtomicFile.h"

namespace quillmont {
namespace {

constexpr unsigned char kHostClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
constexpr unsigned char kHostData = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;
#if defined(__x86_64__)
constexpr unsigned kHostMachine = EM_X86_64;
#elif defined(__i386__)
constexpr unsigned kHostMachine = EM_386;
#elif defined(__aarch64__)
constexpr unsigned kHostMachine = EM_AARCH64;
#elif defined(__arm__)
constexpr unsigned kHostMachine = EM_ARM;
#elif defined(__riscv)
constexpr unsigned kHostMachine = EM_RISCV;
#elif defined(__powerpc64__)
constexpr unsigned kHostMachine = EM_PPC64;
#elif defined(__s390x__)
constexpr unsigned kHostMachine = EM_S390;
#elif defined(__mips__)
constexpr unsigned kHostMachine = EM_MIPS;
#elif defined(__loongarch__)
constexpr unsigned kHostMachine = EM_LOONGARCH;
#else
#error "the ELF machine of this processor is not known here"
#endif
// Far more program headers than any library has; the header's count is not
// trusted with an allocation of any size.
constexpr unsigned kMaxSegments = 256;
// A library's dynamic section holds a few dozen entries.
constexpr std::size_t kMaxDynamicBytes = 64 * 1024;

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
  const int folder = ::open(FolderOf(path).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  Open(folder, path.substr(path.rfind('/') + 1));
  if (folder >= 0) ::close(folder);
}

ModuleFile::ModuleFile(int folder, const std::string& name) { Open(folder, name); }

void ModuleFile::Open(int folder, const std::string& name) {
  // Not through a link, which could lead out of the checked folder; not
  // blocking, so that a FIFO in the module's place returns at once.
  fd_ = ::openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
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
  if (!CheckOwner(folder)) return;
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

bool ModuleFile::CheckOwner(int folder) {
  struct stat st {};
  if (::fstat(folder, &st) != 0 || !Trusted(st)) {
    return Refuse("lies in a folder that other users may change");
  }
  return true;
}

bool ModuleFile::CheckHeader(long long size) {
  ElfW(Ehdr) header{};
  if (!ReadAt(fd_, &header, sizeof header, 0) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
      header.e_ident[EI_CLASS] != kHostClass || header.e_ident[EI_DATA] != kHostData ||
      header.e_ident[EI_VERSION] != EV_CURRENT || header.e_type != ET_DYN ||
      header.e_machine != kHostMachine ||
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
  }
  return CheckSegments(segments);
}

// What the loader trusts without looking: loadable segments in ascending,
// disjoint order, a dynamic section inside them whose tables lie in the
// file, and a stack that stays unexecutable (glibc makes the stack
// executable for a library without PT_GNU_STACK, too).
bool ModuleFile::CheckSegments(const std::vector<ElfW(Phdr)>& segments) {
  std::vector<ElfW(Phdr)> loads;
  const ElfW(Phdr)* dynamic = nullptr;
  bool stackSaysNoExecute = false;
  for (const ElfW(Phdr)& segment : segments) {
    if (segment.p_type == PT_LOAD) {
      if (segment.p_filesz > segment.p_memsz || segment.p_memsz > ~segment.p_vaddr) {
        return Refuse("is not a library for this system");
      }
      if (!loads.empty() && loads.back().p_vaddr + loads.back().p_memsz > segment.p_vaddr) {
        return Refuse("has overlapping segments");
      }
      loads.push_back(segment);
    } else if (segment.p_type == PT_DYNAMIC) {
      dynamic = &segment;
    } else if (segment.p_type == PT_GNU_STACK) {
      stackSaysNoExecute = (segment.p_flags & PF_X) == 0;
    }
  }
  if (!stackSaysNoExecute) return Refuse("asks for an executable stack");
  if (loads.empty() || dynamic == nullptr) return Refuse("is not a library for this system");
  // The address range [address, address + length) as bytes of the file.
  const auto inFile = [&loads](ElfW(Addr) address, unsigned long long length) {
    for (const ElfW(Phdr)& load : loads) {
      if (address >= load.p_vaddr && address - load.p_vaddr <= load.p_filesz &&
          length <= load.p_filesz - (address - load.p_vaddr)) {
        return static_cast<long long>(load.p_offset + (address - load.p_vaddr));
      }
    }
    return -1LL;
  };
  if (dynamic->p_filesz > kMaxDynamicBytes || dynamic->p_filesz != dynamic->p_memsz ||
      inFile(dynamic->p_vaddr, dynamic->p_filesz) != static_cast<long long>(dynamic->p_offset)) {
    return Refuse("has a dynamic section outside its segments");
  }
  std::vector<ElfW(Dyn)> entries(dynamic->p_filesz / sizeof(ElfW(Dyn)));
  if (!ReadAt(fd_, entries.data(), entries.size() * sizeof(ElfW(Dyn)), static_cast<off_t>(dynamic->p_offset))) {
    return Refuse("is cut short");
  }
  return CheckDynamicEntries(entries, inFile);
}

bool ModuleFile::CheckDynamicEntries(const std::vector<ElfW(Dyn)>& entries,
                                     const std::function<long long(ElfW(Addr), unsigned long long)>& inFile) {
  const auto value = [&entries](ElfW(Sxword) tag) -> std::optional<unsigned long long> {
    for (const ElfW(Dyn)& entry : entries) {
      if (entry.d_tag == DT_NULL) break;
      if (entry.d_tag == tag) return entry.d_un.d_val;
    }
    return std::nullopt;
  };
  // Tables with their sizes, and single addresses (size 1), that the loader
  // reads or calls while it maps the library.
  struct Table {
    ElfW(Sxword) address;
    ElfW(Sxword) size;
  };
  static constexpr Table kTables[] = {
      {DT_STRTAB, DT_STRSZ},   {DT_RELA, DT_RELASZ},           {DT_REL, DT_RELSZ},
      {DT_JMPREL, DT_PLTRELSZ}, {DT_INIT_ARRAY, DT_INIT_ARRAYSZ}, {DT_FINI_ARRAY, DT_FINI_ARRAYSZ},
      {DT_SYMTAB, DT_NULL},    {DT_HASH, DT_NULL},             {DT_GNU_HASH, DT_NULL},
      {DT_VERSYM, DT_NULL},    {DT_VERDEF, DT_NULL},           {DT_VERNEED, DT_NULL},
      {DT_INIT, DT_NULL},      {DT_FINI, DT_NULL},             {DT_PLTGOT, DT_NULL},
  };
  bool ended = false;
  for (const ElfW(Dyn)& entry : entries) ended = ended || entry.d_tag == DT_NULL;
  if (!ended) return Refuse("has a dynamic section outside its segments");
  for (const Table& table : kTables) {
    const auto address = value(table.address);
    if (!address) continue;
    const unsigned long long length = table.size == DT_NULL ? 1 : value(table.size).value_or(0);
    if (inFile(*address, length) < 0) return Refuse("has dynamic entries outside the file");
  }
  // Names are offsets into the string table.
  const unsigned long long strings = value(DT_STRSZ).value_or(0);
  for (const ElfW(Dyn)& entry : entries) {
    if (entry.d_tag == DT_NULL) break;
    const bool name = entry.d_tag == DT_NEEDED || entry.d_tag == DT_SONAME || entry.d_tag == DT_RPATH ||
                      entry.d_tag == DT_RUNPATH;
    if (name && entry.d_un.d_val >= strings) return Refuse("has dynamic entries outside the file");
  }
  return true;
}

}  // namespace quillmont
