#include "platform/ModuleFile.h"

#include <gtest/gtest.h>
#include <link.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace quillmont {
namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The sample library with one change made to its program headers.
std::string Changed(std::string bytes, const std::function<void(ElfW(Ehdr)&, ElfW(Phdr)*)>& change) {
  ElfW(Ehdr) header;
  std::memcpy(&header, bytes.data(), sizeof header);
  std::vector<ElfW(Phdr)> segments(header.e_phnum);
  std::memcpy(segments.data(), bytes.data() + header.e_phoff, segments.size() * sizeof(ElfW(Phdr)));
  change(header, segments.data());
  std::memcpy(bytes.data(), &header, sizeof header);
  std::memcpy(bytes.data() + header.e_phoff, segments.data(), segments.size() * sizeof(ElfW(Phdr)));
  return bytes;
}

ElfW(Phdr)& Find(ElfW(Ehdr)& header, ElfW(Phdr)* segments, unsigned type, int which = 0) {
  for (int i = 0; i < header.e_phnum; ++i) {
    if (segments[i].p_type == type && which-- == 0) return segments[i];
  }
  throw std::runtime_error("no such segment");
}

std::string Check(const std::string& folder, const std::string& bytes) {
  const std::string path = folder + "/sample.so";
  std::filesystem::remove(path);
  std::ofstream(path, std::ios::binary) << bytes;
  std::filesystem::permissions(path, std::filesystem::perms(0755));
  const ModuleFile file(path);
  return file.Usable() ? "usable" : file.Problem();
}

// Each of these made the loader crash or assert, or gave the process an
// executable stack; every library really loaded here must still pass.
TEST(ModuleFile, RefusesHeadersTheLoaderWouldTrustBlindly) {
  const std::string folder = std::filesystem::temp_directory_path() / ("qm-module-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
  const std::string sample = Read(QUILLMONT_ELF_SAMPLE);
  ASSERT_FALSE(sample.empty());
  EXPECT_EQ(Check(folder, sample), "usable");

  using Change = std::function<void(ElfW(Ehdr)&, ElfW(Phdr)*)>;
  const std::pair<Change, std::string> cases[] = {
      {[](ElfW(Ehdr)& h, ElfW(Phdr)*) { h.e_machine = h.e_machine == EM_AARCH64 ? EM_X86_64 : EM_AARCH64; },
       "is not a library for this system"},
      {[](ElfW(Ehdr)& h, ElfW(Phdr)* s) { Find(h, s, PT_LOAD, 1).p_vaddr = Find(h, s, PT_LOAD, 0).p_vaddr; },
       "has overlapping segments"},
      {[](ElfW(Ehdr)& h, ElfW(Phdr)* s) { Find(h, s, PT_DYNAMIC).p_vaddr += 0x40000000; },
       "has a dynamic section outside its segments"},
      {[](ElfW(Ehdr)& h, ElfW(Phdr)* s) { Find(h, s, PT_GNU_STACK).p_flags |= PF_X; }, "asks for an executable stack"},
      {[](ElfW(Ehdr)& h, ElfW(Phdr)* s) { Find(h, s, PT_GNU_STACK).p_type = PT_NULL; },
       "asks for an executable stack"},
  };
  for (const auto& [change, problem] : cases) EXPECT_EQ(Check(folder, Changed(sample, change)), problem);

  // A string table far beyond the file.
  std::string strings = sample;
  Changed(sample, [&strings](ElfW(Ehdr)& h, ElfW(Phdr)* s) {
    const ElfW(Phdr)& dynamic = Find(h, s, PT_DYNAMIC);
    for (std::size_t at = dynamic.p_offset; at < dynamic.p_offset + dynamic.p_filesz; at += sizeof(ElfW(Dyn))) {
      ElfW(Dyn) entry;
      std::memcpy(&entry, strings.data() + at, sizeof entry);
      if (entry.d_tag != DT_STRTAB) continue;
      entry.d_un.d_ptr += 0x40000000;
      std::memcpy(strings.data() + at, &entry, sizeof entry);
    }
  });
  EXPECT_EQ(Check(folder, strings), "has dynamic entries outside the file");

  ::dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void*) {
        if (info->dlpi_name != nullptr && info->dlpi_name[0] == '/') {
          const ModuleFile loaded(std::filesystem::canonical(info->dlpi_name));
          EXPECT_TRUE(loaded.Usable()) << info->dlpi_name << " " << loaded.Problem();
        }
        return 0;
      },
      nullptr);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace quillmont
