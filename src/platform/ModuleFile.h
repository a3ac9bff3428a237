#pragma once
// A shared library of the program's own, checked before it is loaded into
// the process: loading runs its code with the player's rights, and the
// system's loader maps whatever the file claims, so a file cut short faults
// at its first touch and a FIFO blocks the loader for good.
#include <link.h>

#include <functional>
#include <string>
#include <vector>

namespace quillmont {

class ModuleFile {
 public:
  // Opens the file without blocking and keeps it open when it may be
  // loaded: a regular file that, like its folder, belongs to the player or
  // to root and that nobody else may write, with an ELF header for this
  // system and machine whose segments all lie inside the file and do not
  // overlap, whose dynamic section and its tables lie inside them, and
  // which keeps the stack unexecutable.
  explicit ModuleFile(const std::string& path);
  // The file `name` of the folder open as `folder`.
  ModuleFile(int folder, const std::string& name);
  ~ModuleFile();
  ModuleFile(const ModuleFile&) = delete;
  ModuleFile& operator=(const ModuleFile&) = delete;

  bool Usable() const { return fd_ >= 0; }
  // Why it may not be loaded, as the end of a sentence that starts with the
  // path: "is not a regular file".
  const std::string& Problem() const { return problem_; }
  // The name under which the loader opens the very file that was checked,
  // whatever has been renamed into its place since.
  std::string LoadName() const;

 private:
  bool Refuse(std::string problem);
  void Open(int folder, const std::string& name);
  bool CheckOwner(int folder);
  bool CheckHeader(long long size);
  bool CheckSegments(const std::vector<ElfW(Phdr)>& segments);
  bool CheckDynamicEntries(const std::vector<ElfW(Dyn)>& entries,
                           const std::function<long long(ElfW(Addr), unsigned long long)>& inFile);

  int fd_ = -1;
  std::string problem_;
};

}  // namespace quillmont
