// The settings file's reading and writing rules.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <filesystem>

#include "platform/AtomicFile.h"
#include "platform/ProfileFile.h"
#include "support/AsOrdinaryUser.h"

namespace quillmont {
namespace {

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() / ("qm-profile-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::string Path() const { return (folder / "QUILLMONT.INI").string(); }
  void Write(const std::string& text) { WriteFileAtomically(Path(), text); }
  std::string Read() const {
    const FileContents contents = ReadFileContents(Path());
    return contents.status == FileContents::Status::kRead ? contents.bytes : "<none>";
  }

  std::filesystem::path folder;
};

TEST_F(ProfileFileTest, NamesMatchWithoutCaseAndBlanksAndQuotesDoNotCount) {
  Write("; comment\r\n[other]\r\nPlayer=No\r\n  [ quillMONT ]  \r\n  pLaYeR =  \"Ann Lee\"  \r\nBoard = 2\r\n");
  ProfileFile ini(Path());
  EXPECT_EQ(ini.ReadString("Quillmont", "Player", "x"), "Ann Lee");
  EXPECT_EQ(ini.ReadInteger("Quillmont", "board", 0), 2);
  EXPECT_EQ(ini.ReadString("Quillmont", "Missing", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("Nowhere", "Player", "dflt"), "dflt");
  Write("[Quillmont]\nPlayer='single'\nEmpty=\n");
  EXPECT_EQ(ini.ReadString("Quillmont", "Player", ""), "single");
  EXPECT_EQ(ini.ReadString("Quillmont", "Empty", "dflt"), "");
  // A second copy of a section is not looked at, neither by reads nor writes.
  Write("[Quillmont]\nBoard=1\n[Other]\n[QUILLMONT]\nBoard=2\nMute=1\n");
  EXPECT_EQ(ini.ReadInteger("Quillmont", "Board", 9), 1);
  EXPECT_EQ(ini.ReadInteger("Quillmont", "Mute", 9), 9);
  ini.WriteInteger("Quillmont", "Mute", 0);
  EXPECT_EQ(Read(), "[Quillmont]\nBoard=1\nMute=0\n[Other]\n[QUILLMONT]\nBoard=2\nMute=1\n");
  EXPECT_EQ(ini.ReadInteger("Quillmont", "Mute", 9), 0);
}

TEST_F(ProfileFileTest, TextIsReadUpTo1023Characters) {
  Write("[Quillmont]\nPlayer=" + std::string(1500, 'a') + "\n");
  EXPECT_EQ(ProfileFile(Path()).ReadString("Quillmont", "Player", "").size(), 1023u);
}

TEST_F(ProfileFileTest, IntegerRules) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {{"12", 12},     {" 12", 12},       {"+3", 3},      {"-4", -4},        {"$1", 1},
               {"0x1", 1},     {"0X1f", 31},      {"$FFFFFFFF", -1}, {"-$10", -16},  {"1a", 77},
               {"", 77},       {"abc", 77},       {"$", 77},      {"0x", 77},        {"2147483647", 2147483647},
               {"2147483648", 77}, {"-2147483648", INT32_MIN}, {"99999999999", 77}, {"1 2", 77}, {"+", 77}};
  for (const auto& c : cases) {
    Write(std::string("[Quillmont]\nColors=") + c.text + "\n");
    EXPECT_EQ(ProfileFile(Path()).ReadInteger("Quillmont", "Colors", 77), c.value) << '"' << c.text << '"';
  }
  std::filesystem::remove(Path());
  EXPECT_EQ(ProfileFile(Path()).ReadInteger("Quillmont", "Colors", 5), 5);
}

TEST_F(ProfileFileTest, WritesKeepEveryOtherLineAsItWas) {
  ProfileFile ini(Path());
  ini.WriteInteger("Quillmont", "Mute", 1);
  EXPECT_EQ(Read(), "[Quillmont]\nMute=1\n");
  ini.WriteString("Quillmont", "Player", "Bo");
  ini.WriteInteger("Quillmont", "MUTE", 0);
  EXPECT_EQ(Read(), "[Quillmont]\nMUTE=0\nPlayer=Bo\n");

  Write("; keep me\r\n[A]\r\nx = 1\r\n\r\n[Quillmont]\r\n  Board = 7 \r\n\r\n[B]\r\ny=2");
  ini.WriteInteger("Quillmont", "Board", 2);
  ini.WriteString("Quillmont", "Player", "Eve");
  ini.WriteString("C", "z", "3");
  EXPECT_EQ(Read(),
            "; keep me\r\n[A]\r\nx = 1\r\n\r\n[Quillmont]\r\nBoard=2\r\nPlayer=Eve\r\n\r\n[B]\r\ny=2\r\n[C]\r\nz=3\r\n");
}

TEST_F(ProfileFileTest, FailedWriteNamesTheFileAndKeepsTheOldOne) {
  const std::string blocker = (folder / "blocker").string();
  WriteFileAtomically(blocker, "x");
  ProfileFile below(blocker + "/QUILLMONT.INI");
  try {
    below.WriteInteger("Quillmont", "Mute", 1);
    FAIL() << "the write should fail";
  } catch (const ProfileWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + blocker + "/QUILLMONT.INI");
  }
  // A write cut short (here by a file-size limit, which binds even root)
  // leaves the old file whole and no temporary file behind.
  const std::string old = "[Quillmont]\r\nPlayer=Ann\r\n; note\r\n";
  Write(old);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 64;
  ::setrlimit(RLIMIT_FSIZE, &small);
  ProfileFile ini(Path());
  EXPECT_THROW(ini.WriteString("Quillmont", "Player", std::string(200, 'z')), ProfileWriteError);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(Read(), old);
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    entries += entry.path().extension() != ".lock";
  }
  EXPECT_EQ(entries, 2);  // the blocker and the settings file, beside the lock

  // A file that exists but cannot be read (mode 0200) is never written over:
  // its keys are unknown.
  std::filesystem::permissions(folder, std::filesystem::perms::all);
  ASSERT_EQ(::chown(Path().c_str(), testing::kNobody, testing::kNobody), 0);
  ::chmod(Path().c_str(), 0200);
  testing::AsOrdinaryUser([this] {
    ProfileFile unreadable(Path());
    EXPECT_EQ(unreadable.Read().status, FileContents::Status::kUnreadable);
    EXPECT_THROW(unreadable.WriteInteger("Quillmont", "Mute", 1), ProfileWriteError);
  });
  EXPECT_EQ(Read(), old);

  // The settings file's own folder is created when it is missing.
  ProfileFile nested((folder / "new" / "sub" / "QUILLMONT.INI").string());
  nested.WriteInteger("Quillmont", "Mute", 0);
  EXPECT_EQ(nested.ReadInteger("Quillmont", "Mute", 5), 0);
}

// Another copy holds the lock: a click's key waits instead of landing under
// that copy's write, and goes with the next write; at shutdown, once the wait
// is over, it goes into a journal that the next write merges and removes.
TEST_F(ProfileFileTest, AHeldLockIsNeverWrittenUnder) {
  Write("[Quillmont]\nMute=0\n");
  ProfileFile ini(Path());
  {
    const FileLock held(Path());
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(ini.WriteInteger("Quillmont", "Mute", 1));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(20));  // no wait
    EXPECT_TRUE(ini.HasPending());
    EXPECT_EQ(Read(), "[Quillmont]\nMute=0\n");
    EXPECT_TRUE(ini.WriteStrings("Quillmont", {{"Board", "2"}}, std::chrono::steady_clock::now()));
    EXPECT_FALSE(ini.HasPending());
    EXPECT_EQ(Read(), "[Quillmont]\nMute=0\n");
  }
  ProfileFile other(Path());
  EXPECT_TRUE(other.WriteString("Quillmont", "Player", "Bo"));
  EXPECT_EQ(Read(), "[Quillmont]\nMute=1\nBoard=2\nPlayer=Bo\n");
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    EXPECT_EQ(entry.path().filename().string().find(".pending-"), std::string::npos) << entry.path();
  }
}

// A file over the 1 MiB read cap is read for its keys and never written
// back cut short: the player's other sections past the cap stay.
TEST_F(ProfileFileTest, AFileLargerThanTheReadCapIsNeverRewritten) {
  const std::string big = "[Quillmont]\nBoard=2\n[Other]\n" + std::string(3 * kMaxReadBytes / 2, 'x') + "\nlast=1\n";
  Write(big);
  ProfileFile ini(Path());
  EXPECT_EQ(ini.ReadInteger("Quillmont", "Board", 0), 2);
  EXPECT_FALSE(ini.Read().whole);
  EXPECT_THROW(ini.WriteInteger("Quillmont", "Mute", 1), ProfileWriteError);
  EXPECT_EQ(ReadFileContents(Path()).bytes.size(), kMaxReadBytes);
  EXPECT_EQ(std::filesystem::file_size(Path()), big.size());
}

}  // namespace
}  // namespace quillmont
