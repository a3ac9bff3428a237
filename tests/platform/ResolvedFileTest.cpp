#include "platform/ResolvedFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace quillmont {
namespace {

namespace fs = std::filesystem;

// The folder a resolution ended in, as a path, and the name in it.
std::string Where(const std::string& path, bool create = false) {
  const ResolvedFile file(path, create);
  if (!file.Ok()) return file.Problem();
  return fs::read_symlink("/proc/self/fd/" + std::to_string(file.Folder())).string() + " : " + file.Name();
}

TEST(ResolvedFile, FollowsOnlyLinksNobodyElseCouldHaveChanged) {
  const fs::path base = fs::temp_directory_path() / ("qm-resolve-" + std::to_string(::getpid()));
  fs::remove_all(base);
  fs::create_directories(base / "own" / "target");
  fs::create_directories(base / "open");
  fs::create_directories(base / "sticky");
  ::chmod(base.c_str(), 0755);
  ::chmod((base / "open").c_str(), 0777);
  ::chmod((base / "sticky").c_str(), 01777);
  const std::string target = (base / "own" / "target").string();
  fs::create_directory_symlink(target, base / "own" / "folder");         // own link, own folder
  fs::create_directory_symlink("target", base / "own" / "relative");     // the same, relative
  fs::create_symlink(target + "/real.ini", base / "own" / "file.ini");  // the player's own last link
  fs::create_directory_symlink(target, base / "open" / "folder");        // own link, folder others may write
  fs::create_directory_symlink(target, base / "sticky" / "folder");      // own link, sticky folder
  fs::create_symlink("loop", base / "own" / "loop");

  const std::string refused = "is reached through a link that another user may change";
  EXPECT_EQ(Where((base / "own" / "folder" / "a.ini").string()), target + " : a.ini");
  EXPECT_EQ(Where((base / "own" / "relative" / "a.ini").string()), target + " : a.ini");
  EXPECT_EQ(Where((base / "own" / "file.ini").string()), target + " : real.ini");
  EXPECT_EQ(Where((base / "sticky" / "folder" / "a.ini").string()), target + " : a.ini");
  EXPECT_EQ(Where((base / "open" / "folder" / "a.ini").string()), refused);
  EXPECT_EQ(Where((base / "own" / "loop").string()), refused);
  EXPECT_EQ(Where((base / "own" / "missing" / "a.ini").string()), "lies in a folder that cannot be reached");
  EXPECT_EQ(Where((base / "own" / "made" / "deeper" / "a.ini").string(), true), (base / "own" / "made" / "deeper").string() + " : a.ini");
  struct stat made {};
  ::stat((base / "own" / "made").c_str(), &made);
  EXPECT_EQ(made.st_mode & 07777, 0700u);

  // A link of another user's, in the middle or at the end, even in a
  // folder of the player's.
  if (::geteuid() == 0) {
    fs::create_directory_symlink(target, base / "own" / "foreign");
    fs::create_symlink(target + "/real.ini", base / "own" / "foreign.ini");
    ASSERT_EQ(::lchown((base / "own" / "foreign").c_str(), 12345, 12345), 0);
    ASSERT_EQ(::lchown((base / "own" / "foreign.ini").c_str(), 12345, 12345), 0);
    EXPECT_EQ(Where((base / "own" / "foreign" / "a.ini").string()), refused);
    EXPECT_EQ(Where((base / "own" / "foreign.ini").string()), refused);
  }
  fs::remove_all(base);
}

}  // namespace
}  // namespace quillmont
