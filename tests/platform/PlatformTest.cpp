// The pen, the clocks and the atomic writes.
#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include <filesystem>

#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/ConfigLocation.h"
#include "support/FakeClock.h"
#include "platform/Pen.h"
#include "platform/TextFormats.h"

namespace quillmont {
namespace {

int Count(const PixelBuffer& b, Rgb c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.At(x, y) == c;
  return n;
}

TEST(Pen, LinesCoverTheirStartAndNotTheirEnd) {
  const Rgb ink = MakeRgb(9, 8, 7);
  PixelBuffer b(10, 10);
  Pen pen(b);
  pen.SetColor(ink);
  pen.MoveTo(2, 3);
  pen.LineTo(6, 3);  // horizontal: x 2..5
  EXPECT_EQ(Count(b, ink), 4);
  EXPECT_EQ(b.At(2, 3), ink);
  EXPECT_EQ(b.At(5, 3), ink);
  EXPECT_EQ(b.At(6, 3), 0u);
  pen.LineTo(6, 0);  // vertical upwards from where the last line ended: y 3..1
  EXPECT_EQ(b.At(6, 3), ink);
  EXPECT_EQ(b.At(6, 1), ink);
  EXPECT_EQ(b.At(6, 0), 0u);

  PixelBuffer d(10, 10);
  Pen diagonal(d);
  diagonal.SetColor(ink);
  diagonal.MoveTo(0, 9);
  diagonal.LineTo(9, 0);  // 45 degrees up: (k, 9 - k) for k = 0..8
  EXPECT_EQ(Count(d, ink), 9);
  for (int k = 0; k < 9; ++k) EXPECT_EQ(d.At(k, 9 - k), ink);
  diagonal.MoveTo(9, 9);
  diagonal.LineTo(0, 0);
  EXPECT_EQ(d.At(9, 9), ink);
  EXPECT_EQ(d.At(1, 1), ink);
  EXPECT_EQ(d.At(0, 0), 0u);
}

TEST(Pen, ClipsToTheBufferOnEverySide) {
  const Rgb ink = MakeRgb(1, 1, 1);
  PixelBuffer b(5, 5);
  Pen pen(b);
  pen.SetColor(ink);
  pen.MoveTo(-3, 2);
  pen.LineTo(9, 2);
  pen.MoveTo(2, -4);
  pen.LineTo(2, 8);
  pen.MoveTo(-2, -2);
  pen.LineTo(8, 8);
  EXPECT_EQ(Count(b, ink), 5 + 4 + 4);  // the three cross at (2, 2)
  pen.MoveTo(100, 100);
  pen.LineTo(200, 100);  // wholly outside: nothing, no crash
  EXPECT_EQ(Count(b, ink), 13);
}

TEST(FakeClock, AdvancesAcrossMidnight) {
  FakeClock clock;
  clock.SetTimeOfDay(23, 59, 59, 900);
  clock.AdvanceMilliseconds(250);
  const CivilTime t = clock.LocalTime();
  EXPECT_EQ(t.day, 2);
  EXPECT_EQ(MillisecondsOfDay(t), 150);
}

// The wall-clock date agrees with the C library's in every year: run again
// under libfaketime at 2300-01-01 and 9999-12-31, past the year 2262 where
// nanoseconds since 1970 overflow 64 bits.
TEST(SystemClock, ReadsTheDateOfEveryYear) {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  ::localtime_r(&now, &tm);
  const CivilTime t = SystemClock().LocalTime();
  EXPECT_EQ(t.year, tm.tm_year + 1900);
  EXPECT_EQ(t.month, tm.tm_mon + 1);
  EXPECT_EQ(t.day, tm.tm_mday);
}

TEST(AtomicFile, ReplacesWholeOrLeavesTheOldFile) {
  const auto folder = std::filesystem::temp_directory_path() / ("qm-atomic-" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "file.txt").string();
  WriteFileAtomically(path, "first");
  ::chmod(path.c_str(), 0600);
  WriteFileAtomically(path, "second");
  EXPECT_EQ(ReadFileContents(path).bytes, "second");
  struct stat info {};
  ::stat(path.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0600u);  // the old file's permissions stay
  ::chmod(path.c_str(), 06755);           // but never execute, setuid or setgid
  WriteFileAtomically(path, "second");
  ::stat(path.c_str(), &info);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
  // A target that is a folder cannot be replaced: the error names the path,
  // nothing is left behind.
  std::filesystem::create_directories(folder / "dir");
  EXPECT_THROW(
      try { WriteFileAtomically((folder / "dir").string(), "x"); } catch (const FileWriteError& e) {
        EXPECT_EQ(std::string(e.what()), (folder / "dir").string());
        throw;
      },
      FileWriteError);
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) entries += entry.exists();
  EXPECT_EQ(entries, 2);
  EXPECT_EQ(ReadFileContents((folder / "missing").string()).status, FileContents::Status::kMissing);
  // Folders made for the player's files are 0700; one already there keeps its mode.
  ::chmod(folder.c_str(), 0755);
  ASSERT_TRUE(ResolvedFile((folder / "quillmont/data/-").string(), true).Ok());
  for (const char* made : {"", "quillmont", "quillmont/data"}) {
    ::stat((folder / made).c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, *made ? 0700u : 0755u) << made;
  }
  // A file without write bits is never replaced, root or not.
  ::chmod(path.c_str(), 0444);
  EXPECT_THROW(WriteFileAtomically(path, "third"), FileWriteError);
  EXPECT_EQ(ReadFileContents(path).bytes, "second");
  std::filesystem::remove_all(folder);
}

// A player's link stays a link and its target follows the game; a link of
// anybody else's, or one in the lock file's place, is never followed.
TEST(AtomicFile, LinksLocksAndModesAreThePlayers) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("qm-links-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder / "dotfiles");
  const std::string link = (folder / "QUILLMONT.INI").string();
  const std::string target = (folder / "dotfiles" / "quillmont.ini").string();
  fs::create_symlink("dotfiles/quillmont.ini", link);  // relative, pointing at nothing yet
  ASSERT_EQ(ResolvedFile(link).Path(), folder.string() + "/dotfiles/quillmont.ini");
  WriteFileAtomically(link, "one");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFileContents(link).bytes, "one");
  // A new file takes 0666 less the umask; a replaced one keeps its mode.
  const mode_t mask = ::umask(022);
  ::umask(mask);
  struct stat info {};
  ::stat(target.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0666u & ~mask);
  ::chmod(target.c_str(), 0640);
  { const FileLock lock(target); }
  WriteFileAtomically(link, "two");
  ::stat(target.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_TRUE(fs::exists(target + ".lock"));  // beside the target, not the link
  EXPECT_FALSE(fs::exists(link + ".lock"));

  // A link that leads to a FIFO, and a link of another user, are not written.
  ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
  fs::create_symlink("fifo", folder / "to-fifo");
  EXPECT_THROW(WriteFileAtomically((folder / "to-fifo").string(), "x"), FileWriteError);
  EXPECT_TRUE(fs::is_fifo(folder / "fifo"));
  if (::geteuid() == 0) {
    ASSERT_EQ(::lchown(link.c_str(), 65534, 65534), 0);
    EXPECT_THROW(WriteFileAtomically(link, "three"), FileWriteError);
    EXPECT_EQ(ReadFileContents(target).bytes, "two");
  }

  // A lock file that is a dangling link creates nothing where it points.
  const std::string records = (folder / "QUILLMONT.REC").string();
  fs::create_symlink(folder / "elsewhere", records + ".lock");
  EXPECT_EQ(FileLock(records).Status(), FileLock::State::kUnavailable);
  EXPECT_FALSE(fs::exists(folder / "elsewhere"));

  // A byte-order mark is skipped and told.
  WriteFileAtomically(records, "\xEF\xBB\xBF[Quillmont]");
  const FileContents marked = ReadFileContents(records);
  EXPECT_TRUE(marked.byteOrderMark);
  EXPECT_EQ(marked.bytes, "[Quillmont]");
  fs::remove_all(folder);
}

TEST(TextFormats, Utf8BecomesLatin1AsTheNameBoxTakesIt) {
  EXPECT_EQ(Utf8ToLatin1("\xC5\x81ukasz Zo\xC3\xAB \xE6\x97\xA5\xF0\x9F\x98\x80!"), "ukasz Zo\xEB !");
  EXPECT_EQ(Utf8ToLatin1("a\xEB\xC3"), "a");  // stray and cut-off bytes are left out
  EXPECT_EQ(Latin1ToUtf8("ukasz Zo\xEB !\xFF\x7F"), "ukasz Zo\xC3\xAB !\xC3\xBF\x7F");
}

TEST(ConfigLocation, WithoutHomeTheUserDatabaseGivesTheHomeFolder) {
  const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  const std::string xdg = std::getenv("XDG_CONFIG_HOME") != nullptr ? std::getenv("XDG_CONFIG_HOME") : "";
  ::unsetenv("HOME");
  ::unsetenv("XDG_CONFIG_HOME");
  const std::string expected = std::string(::getpwuid(::getuid())->pw_dir) + "/.config/QUILLMONT.INI";
  const std::string path = SettingsFilePath("QUILLMONT.INI");
  ::setenv("HOME", home.c_str(), 1);
  if (!xdg.empty()) ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
  EXPECT_EQ(path, expected);
  EXPECT_NE(path, "/.config/QUILLMONT.INI");
}

TEST(TextFormats, WholeNumbersWithSeparators) {
  EXPECT_EQ(FormatWholeNumber(0, ","), "0");
  EXPECT_EQ(FormatWholeNumber(-0.0L, ","), "0");
  EXPECT_EQ(FormatWholeNumber(999, ","), "999");
  EXPECT_EQ(FormatWholeNumber(12345, ","), "12,345");
  EXPECT_EQ(FormatWholeNumber(-8735, ","), "-8,735");
  EXPECT_EQ(FormatWholeNumber(1234567, ","), "1,234,567");
  EXPECT_EQ(FormatWholeNumber(-100000, "."), "-100.000");
  EXPECT_EQ(FormatWholeNumber(1234567, "\u202f"), "1\u202f234\u202f567");
  EXPECT_EQ(FormatWholeNumber(2.5L, ","), "2");  // halves to even
}

TEST(TextFormats, ShortDates) {
  EXPECT_EQ(FormatShortDate(2024, 1, 2, ""), "1/2/24");
  EXPECT_EQ(FormatShortDate(2024, 1, 2, "dd.MM.yyyy"), "02.01.2024");
  EXPECT_EQ(FormatShortDate(2009, 11, 30, "yyyy-MM-dd"), "2009-11-30");
  EXPECT_EQ(FormatShortDate(2024, 3, 4, "d 'de' M"), "4 de 3");
}

}  // namespace
}  // namespace quillmont
