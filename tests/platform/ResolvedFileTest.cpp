#include "platform/ResolvedFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/ProfileFile.h"

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

// Another local user owns the folder where the player keeps the settings
// (through a link of the player's own) and keeps swapping the settings
// file with a link to a private file of the player's. However the swaps
// fall between the player's writes, the private file never lands there.
TEST(ResolvedFile, AFileSwappedForALinkNeverLeaksWhatTheLinkPointsTo) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
  constexpr uid_t kPlayer = 65534, kOther = 54329;
  const fs::path base = fs::temp_directory_path() / ("qm-race-" + std::to_string(::getpid()));
  fs::remove_all(base);
  fs::create_directories(base / "player" / "config");
  fs::create_directories(base / "shared");
  ::chmod(base.c_str(), 0755);
  std::ofstream(base / "player" / "secret.txt") << "SECRET\n";
  ::chmod((base / "player" / "secret.txt").c_str(), 0600);
  fs::create_symlink(base / "shared" / "QUILLMONT.INI", base / "player" / "config" / "QUILLMONT.INI");
  std::ofstream(base / "shared" / "QUILLMONT.INI") << "[Quillmont]\nMute=0\n";
  fs::create_symlink(base / "player" / "secret.txt", base / "shared" / "swap");
  for (const char* path : {"player", "player/config", "player/secret.txt", "player/config/QUILLMONT.INI",
                           "shared/QUILLMONT.INI"}) {
    ASSERT_EQ(::lchown((base / path).c_str(), kPlayer, kPlayer), 0);
  }
  for (const char* path : {"shared", "shared/swap"}) ASSERT_EQ(::lchown((base / path).c_str(), kOther, kOther), 0);
  ::chmod((base / "shared").c_str(), 0777);

  const pid_t other = ::fork();
  ASSERT_GE(other, 0);
  if (other == 0) {
    if (::setgid(kOther) != 0 || ::setuid(kOther) != 0) ::_exit(1);
    const std::string file = (base / "shared" / "QUILLMONT.INI").string(), swap = (base / "shared" / "swap").string();
    // At uneven times, so that the swaps fall anywhere between the player's steps.
    for (unsigned n = 1;; n = n * 1103515245u + 12345u) {
      ::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, swap.c_str(), RENAME_EXCHANGE);
      for (volatile unsigned spin = (n >> 16) % 4096; spin > 0; spin = spin - 1) {
      }
    }
  }
  // The swaps have begun.
  for (int wait = 0; wait < 100000 && !fs::is_symlink(base / "shared" / "QUILLMONT.INI"); ++wait) ::usleep(10);
  const struct Stop {
    pid_t pid;
    ~Stop() {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
  } stopOther{other};
  const pid_t player = ::fork();
  ASSERT_GE(player, 0);
  if (player == 0) {
    if (::setgid(kPlayer) != 0 || ::setuid(kPlayer) != 0) ::_exit(1);
    ProfileFile settings((base / "player" / "config" / "QUILLMONT.INI").string());
    for (int click = 0; click < 1000; ++click) {
      try {
        settings.WriteString("Quillmont", "Mute", click % 2 ? "1" : "0");
      } catch (const ProfileWriteError&) {  // a link in the file's place: not written this time
      }
    }
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(player, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (const auto& entry : fs::directory_iterator(base / "shared")) {
    if (entry.is_symlink() || !entry.is_regular_file()) continue;
    std::ifstream in(entry.path());
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(bytes.find("SECRET"), std::string::npos) << entry.path() << " holds the player's private file";
  }
  fs::remove_all(base);
}

}  // namespace
}  // namespace quillmont
