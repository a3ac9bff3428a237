// The best-players file shared by running copies of the program, kept
// for the player when the program's folder may not be written, and read
// safely whatever stands in its place.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/AtomicFile.h"
#include "support/AsOrdinaryUser.h"
#include "Entry.h"
#include "records/RecordsFile.h"
#include "records/RecordsStore.h"
#include "records/BestPlayers.h"
#include "records/GameOptions.h"

namespace quillmont {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class RecordsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("quillmont-store-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "program");
  }
  void TearDown() override {
    fs::permissions(root / "program", fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(root);
  }
  fs::path ProgramFile() const { return root / "program" / "QUILLMONT.REC"; }
  fs::path UserFile() const { return root / "data" / "quillmont" / "QUILLMONT.REC"; }
  RecordsStore Store() const { return RecordsStore(ProgramFile().string(), UserFile().string()); }
  TTabelaRecordes LoadTable() const {
    BestPlayers best(Store());
    best.Load();
    return best.Tabela();
  }
  static LockDeadline AtShutdown() { return std::chrono::steady_clock::now() + std::chrono::milliseconds(50); }

  // One running copy: its own best players over its own store.
  struct Copy {
    BestPlayers best;
    GameOptions options;
    // The game's end: ranked against the file and written, nameless.
    bool Rank(long double score, std::int32_t missed, TDataHora day) {
      return best.RankFinishedGame(options.category, TReal6::FromDouble(score), missed, day);
    }
    // OK in the gallery: the name given and written.
    void Name(const std::string& name) {
      options.Player = PlayerName(name);
      best.Name(options.Player);
      best.Save();
    }
  };
  Copy Open() const {
    Copy copy{BestPlayers(Store()), {}};
    copy.best.Load();
    return copy;
  }
  // Ranks one result in `table`, as the file holds it: its rank, and the
  // table as ranked.
  int RankInto(TTabelaRecordes& table, Category category, long double score, std::int32_t missed, TDataHora day) {
    { std::ofstream(ProgramFile(), std::ios::binary) << FormatRecords(table); }
    Copy copy = Open();
    copy.options.category = category;
    copy.Rank(score, missed, day);
    table = copy.best.Tabela();
    return copy.best.PosicaoRanking();
  }

  fs::path root;
};

TEST_F(RecordsStoreTest, TwoCopiesKeepEachOthersResultsAndNames) {
  Copy a = Open();
  Copy b = Open();
  // Each ranks a game and writes at once, with the empty name: a kill while
  // the name is typed loses only the name.
  EXPECT_TRUE(a.Rank(500, 3, 46000));
  EXPECT_EQ(ParseRecords(Read(ProgramFile())).At({0, 4, 2}, 1).Escore.ToLongDouble(), 500);
  EXPECT_EQ(ParseRecords(Read(ProgramFile())).At({0, 4, 2}, 1).Nome, "");
  b.Rank(900, 1, 46001);
  EXPECT_EQ(b.best.PosicaoRanking(), 1);
  // b now sees a's result below its own; a's row moves down when a writes.
  EXPECT_EQ(b.best.Tabela().At({0, 4, 2}, 2).Escore.ToLongDouble(), 500);

  a.Name("Ana");
  EXPECT_EQ(a.best.PosicaoRanking(), 2);  // the marked row follows the result
  b.Name("Bo\x1A\r\n");  // a control character never reaches the file
  a.best.Save();  // closing: nothing left to add, nothing lost
  b.best.Save(AtShutdown());

  const TTabelaRecordes onDisk = ParseRecords(Read(ProgramFile()));
  EXPECT_EQ(onDisk.At({0, 4, 2}, 1).Nome, "Bo");
  EXPECT_EQ(onDisk.At({0, 4, 2}, 1).Escore.ToLongDouble(), 900);
  EXPECT_EQ(onDisk.At({0, 4, 2}, 2).Nome, "Ana");
  EXPECT_EQ(onDisk.At({0, 4, 2}, 2).Perdidas, 3);
  EXPECT_EQ(onDisk.At({0, 4, 2}, 3), TRecorde{});
  EXPECT_EQ(Read(ProgramFile()).size(), 15120u);

  // Two equal results of two copies each keep their own name.
  Copy c = Open();
  Copy d = Open();
  c.Rank(700, 0, 46002);
  d.Rank(700, 0, 46002);
  EXPECT_EQ(d.best.PosicaoRanking(), 3);  // an equal score goes below
  d.Name("Dee");
  c.Name("Cy");
  const TTabelaRecordes both = ParseRecords(Read(ProgramFile()));
  EXPECT_EQ(both.At({0, 4, 2}, 2).Nome, "Cy");
  EXPECT_EQ(both.At({0, 4, 2}, 3).Nome, "Dee");
  EXPECT_EQ(both.At({0, 4, 2}, 4).Nome, "Ana");
}

// A full category: fourteen results far above and one of 1 at rank 15.
TEST_F(RecordsStoreTest, AResultIsRankedAndNamedAgainstTheFileAsItIsThen) {
  TTabelaRecordes table;
  for (int r = 1; r <= 14; ++r) {
    table.At({0, 4, 2}, r).Nome = "Top" + std::to_string(r);
    table.At({0, 4, 2}, r).Escore = TReal6::FromDouble(999999);
  }
  table.At({0, 4, 2}, 15).Nome = "Low";
  table.At({0, 4, 2}, 15).Escore = TReal6::FromDouble(1);
  { std::ofstream(ProgramFile(), std::ios::binary) << FormatRecords(table); }
  const auto line15 = [this] { return ParseRecords(Read(ProgramFile())).At({0, 4, 2}, 15); };

  // B's better result takes rank 15 first: A, which ends later with less,
  // is ranked against that file and enters nowhere.
  Copy a = Open();
  Copy b = Open();
  b.Rank(112032, 0, 46000);
  EXPECT_EQ(b.best.PosicaoRanking(), 15);
  a.Rank(50000, 2, 46000);
  EXPECT_EQ(a.best.PosicaoRanking(), kNoRank);
  EXPECT_FALSE(a.best.AwaitsName());
  b.Name("Bravo");
  EXPECT_EQ(line15().Nome, "Bravo");
  EXPECT_EQ(line15().Escore.ToLongDouble(), 112032);

  // The other way round: C's result enters and waits for its name while
  // D's better one pushes it out. C's name then goes nowhere, and touches
  // nobody else's result.
  Copy c = Open();
  Copy d = Open();
  c.Rank(200000, 0, 46001);
  EXPECT_EQ(c.best.PosicaoRanking(), 15);
  d.Rank(300000, 0, 46001);
  c.Name("Charlie");
  EXPECT_EQ(c.best.PosicaoRanking(), kNoRank);
  EXPECT_FALSE(c.best.AwaitsName());
  d.Name("Delta");
  EXPECT_EQ(line15().Nome, "Delta");
  EXPECT_EQ(Read(ProgramFile()).find("Charlie"), std::string::npos);

  // A category emptied by one copy is empty for the next result of another,
  // which started with the full table.
  Copy e = Open();
  a.best.ResetCategory(a.options.category);
  a.best.Save();
  e.Rank(5, 9, 46003);
  EXPECT_EQ(e.best.PosicaoRanking(), 1);
  EXPECT_EQ(ParseRecords(Read(ProgramFile())).At({0, 4, 2}, 1).Escore.ToLongDouble(), 5);
  // A reset by one copy while another names: nobody's name lands on an
  // empty entry.
  a.best.ResetCategory(a.options.category);
  a.best.Save();
  e.Name("Late");
  for (int r = 1; r <= kRanks; ++r) EXPECT_EQ(ParseRecords(Read(ProgramFile())).At({0, 4, 2}, r), TRecorde{});

}

// Another copy holds the lock (a slow disk, a copy stopped mid-write): the
// game is ranked against the table as last read and waits, and at shutdown
// its result and name go into a journal rather than over the other copy's
// write. The next write of any copy merges the journal and removes it; the
// same journal merged again (a copy killed between its rename and the
// removal) changes nothing, nor does a forged one.
TEST_F(RecordsStoreTest, ABusyLockLeavesAJournalThatIsMergedOnce) {
  Copy a = Open();
  Copy b = Open();
  b.Rank(400, 1, 46000);
  std::string journal;
  {
    const FileLock held(ProgramFile().string());
    EXPECT_FALSE(a.Rank(500, 3, 46001));
    EXPECT_EQ(a.best.PosicaoRanking(), 1);
    EXPECT_EQ(a.best.UnsavedCount(), 1u);
    a.best.Name(PlayerName("Alpha"));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(a.best.Save(AtShutdown()));
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(50));
    EXPECT_TRUE(a.best.UnsavedCount() == 0);
    EXPECT_EQ(ParseRecords(Read(ProgramFile())).At({0, 4, 2}, 1).Escore.ToLongDouble(), 400);  // untouched
    for (const auto& entry : fs::directory_iterator(root / "program")) {
      if (entry.path().filename().string().rfind(".QUILLMONT.REC.pending-", 0) == 0) journal = entry.path();
    }
    ASSERT_FALSE(journal.empty());
  }
  const std::string journalText = Read(journal);
  b.Name("Bo");
  EXPECT_FALSE(fs::exists(journal));
  const TTabelaRecordes merged = ParseRecords(Read(ProgramFile()));
  EXPECT_EQ(merged.At({0, 4, 2}, 1).Nome, "Alpha");
  EXPECT_EQ(merged.At({0, 4, 2}, 2).Nome, "Bo");
  EXPECT_EQ(merged.At({0, 4, 2}, 3), TRecorde{});
  { std::ofstream(journal, std::ios::binary) << journalText; }
  { std::ofstream(root / "program" / ".QUILLMONT.REC.pending-forged", std::ios::binary)
        << "QUILLMONT.REC journal 1\nR 9 4 2 1 zz\nX 0 4 2 1\nN 0 4 2 1 " << std::string(70000, '0') << "\n"; }
  Copy c = Open();  // start-up merges what lies beside the file
  EXPECT_EQ(c.best.Tabela(), merged);
  EXPECT_FALSE(fs::exists(journal));

  // A Reset in a journal removes only the entries its writer saw: merged
  // again after another copy ranked a result, it leaves that result.
  {
    const FileLock held(ProgramFile().string());
    c.best.ResetCategory(c.options.category);
    EXPECT_TRUE(c.best.Save(AtShutdown()));
  }
  std::string reset;
  for (const auto& entry : fs::directory_iterator(root / "program")) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(".QUILLMONT.REC.pending-", 0) == 0 && name != ".QUILLMONT.REC.pending-forged") {
      reset = Read(entry.path());
    }
  }
  Copy d = Open();
  EXPECT_EQ(d.best.Tabela().At({0, 4, 2}, 1), TRecorde{});
  d.Rank(300, 0, 46002);
  { std::ofstream(root / "program" / ".QUILLMONT.REC.pending-again1", std::ios::binary) << reset; }
  EXPECT_EQ(Open().best.Tabela().At({0, 4, 2}, 1).Escore.ToLongDouble(), 300);
}

// Within one run: the name goes to the ranked result while it awaits one; a
// Reset during name entry leaves nothing to name, and no empty entry gets it.
// The program's folder renamed and another put in its place while the game
// runs: the result still lands in the folder the game started from.
TEST_F(RecordsStoreTest, AProgramFolderReplacedUnderTheGameKeepsItsWrites) {
  const int folder = ::open((root / "program").c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(folder, 0);
  Copy copy{BestPlayers(RecordsStore(ProgramFile().string(), UserFile().string(), folder)), {}};
  copy.best.Load();
  fs::rename(root / "program", root / "moved");
  fs::create_directories(root / "program");
  EXPECT_TRUE(copy.Rank(500, 3, 46000));
  EXPECT_FALSE(fs::exists(ProgramFile()));
  EXPECT_EQ(ParseRecords(Read(root / "moved" / "QUILLMONT.REC")).At({0, 4, 2}, 1).Escore.ToLongDouble(), 500);
  ::close(folder);
  fs::remove_all(root / "moved");
}

TEST(BestPlayers, TheNameGoesToTheRankedResultAndNowhereAfterAReset) {
  BestPlayers best(RecordsStore("", ""));  // no file: the table lives in memory
  const PlayerName ana("Ana");
  const auto rank = [&best](long double score) { best.RankFinishedGame({}, TReal6::FromDouble(score), 3, 46000); };
  rank(500);
  EXPECT_TRUE(best.AwaitsName());
  best.Name(ana);
  EXPECT_EQ(best.Tabela().At({0, 4, 2}, 1).Nome, "Ana");
  EXPECT_FALSE(best.AwaitsName());

  rank(900);
  best.ResetCategory({});
  EXPECT_FALSE(best.AwaitsName());
  const std::size_t changes = best.UnsavedCount();
  best.Name(ana);
  EXPECT_EQ(best.Tabela(), TTabelaRecordes{});
  EXPECT_EQ(best.UnsavedCount(), changes);
}

TEST_F(RecordsStoreTest, AnUnwritableProgramFileIsKeptForThePlayer) {
  TTabelaRecordes old;
  old.At({1, 5, 3}, 1).Nome = "Old";
  old.At({1, 5, 3}, 1).Escore = TReal6::FromDouble(1234);
  const std::string oldBytes = FormatRecords(old) + "a line past the table\r\n";
  { std::ofstream(ProgramFile(), std::ios::binary) << oldBytes; }
  // Started while the file could be written.
  Copy early = Open();
  // Stale temporaries of killed writes are cleared at start; the player's
  // own files beside the table stay, whatever their names.
  { std::ofstream(root / "program" / ".QUILLMONT.REC.tmp-a1B2c3") << "half"; }
  for (const char* own : {"QUILLMONT.REC.a1B2c3", "QUILLMONT.REC.backup", "QUILLMONT.REC.old123"}) {
    std::ofstream(root / "program" / own) << "mine";
  }
  // No write bit: read-only even for root, and never replaced.
  fs::permissions(ProgramFile(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  Copy a = Open();
  EXPECT_FALSE(fs::exists(root / "program" / ".QUILLMONT.REC.tmp-a1B2c3"));
  for (const char* own : {"QUILLMONT.REC.a1B2c3", "QUILLMONT.REC.backup", "QUILLMONT.REC.old123"}) {
    EXPECT_EQ(Read(root / "program" / own), "mine");
  }
  EXPECT_EQ(a.best.Tabela(), old);
  a.options.category = Category(1, 5, 3);
  a.Rank(2000, 0, 46000);
  EXPECT_EQ(a.best.Path(), UserFile().string());
  EXPECT_EQ(Read(ProgramFile()), oldBytes);
  const TTabelaRecordes mine = ParseRecords(Read(UserFile()));
  EXPECT_EQ(mine.At({1, 5, 3}, 2), old.At({1, 5, 3}, 1));  // started as a copy of the program's table
  EXPECT_EQ(mine.At({1, 5, 3}, 1).Escore.ToLongDouble(), 2000);

  // From then on the player's copy is the table, even once the program's
  // file could be written again: for a copy started now, and for one that
  // started before it existed.
  fs::permissions(ProgramFile(), fs::perms::owner_write, fs::perm_options::add);
  Copy b = Open();
  EXPECT_EQ(b.best.Path(), UserFile().string());
  EXPECT_EQ(b.best.Tabela(), mine);
  early.options.category = Category(1, 5, 3);
  early.Rank(1500, 0, 46000);
  EXPECT_EQ(early.best.PosicaoRanking(), 2);
  EXPECT_EQ(Read(ProgramFile()), oldBytes);
  EXPECT_EQ(ParseRecords(Read(UserFile())).At({1, 5, 3}, 2).Escore.ToLongDouble(), 1500);

  // Neither place writable: the failure names the player's file and the
  // change waits for the next write.
  fs::remove_all(root / "data");
  { std::ofstream(root / "data") << "a file where a folder should be"; }
  fs::permissions(ProgramFile(), fs::perms::owner_write, fs::perm_options::remove);
  Copy c = Open();
  try {
    c.Rank(3000, 0, 46000);
    ADD_FAILURE() << "the write should fail";
  } catch (const FileWriteError& error) {
    EXPECT_EQ(error.what(), UserFile().string());
  }
  EXPECT_EQ(c.best.UnsavedCount(), 1u);
  EXPECT_EQ(Read(ProgramFile()), oldBytes);
}

// A file that exists but cannot be read holds results nobody may lose: it
// is never written over, and this run's results go to the player's copy.
TEST_F(RecordsStoreTest, AnUnreadableFileIsNeverWrittenOver) {
  TTabelaRecordes old;
  old.Line(0).Nome = "Kept";
  old.Line(0).Escore = TReal6::FromDouble(4321);
  const std::string oldBytes = FormatRecords(old);
  { std::ofstream(ProgramFile(), std::ios::binary) << oldBytes; }
  fs::permissions(root, fs::perms::all);
  fs::permissions(root / "program", fs::perms::all);
  ASSERT_EQ(::chown(ProgramFile().c_str(), testing::kNobody, testing::kNobody), 0);
  fs::permissions(ProgramFile(), fs::perms::owner_write);  // mode 0200
  testing::AsOrdinaryUser([this] {
    Copy a = Open();
    EXPECT_EQ(a.best.Tabela(), TTabelaRecordes{});
    a.Rank(100, 0, 46000);
    EXPECT_EQ(a.best.PosicaoRanking(), 1);
    a.best.Save(AtShutdown());
  });
  EXPECT_EQ(Read(ProgramFile()), oldBytes);
  EXPECT_EQ(ParseRecords(Read(UserFile())).Line(0).Escore.ToLongDouble(), 100);
}

TEST_F(RecordsStoreTest, ReadsNeitherHangOnAFifoNorSwallowADevice) {
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(::mkfifo(ProgramFile().c_str(), 0644), 0);
  EXPECT_EQ(LoadTable(), TTabelaRecordes{});  // a FIFO with no writer would block a plain open
  fs::remove(ProgramFile());
  fs::create_symlink("/dev/zero", ProgramFile());
  EXPECT_EQ(LoadTable(), TTabelaRecordes{});
  fs::remove(ProgramFile());
  // 2 GB, mostly a hole: only the first MiB is read.
  TTabelaRecordes table;
  table.Line(0).Nome = "Big";
  table.Line(0).Escore = TReal6::FromDouble(77);
  { std::ofstream(ProgramFile(), std::ios::binary) << FormatRecords(table); }
  fs::resize_file(ProgramFile(), std::uintmax_t{2} << 30);
  EXPECT_EQ(ReadFileContents(ProgramFile().string()).bytes.size(), kMaxReadBytes);
  EXPECT_EQ(LoadTable(), table);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

TEST_F(RecordsStoreTest, OneInsertionTiesBelowRank15Dropped) {
  TTabelaRecordes t;
  EXPECT_EQ(RankInto(t, {0, 4, 2}, 500, 3, 45292), 1);
  EXPECT_EQ(t.At({0, 4, 2}, 1).Escore.ToLongDouble(), 500);
  EXPECT_EQ(t.At({0, 4, 2}, 1).Perdidas, 3);
  EXPECT_EQ(t.At({0, 4, 2}, 1).Data, 45292.0);
  for (int r = 2; r <= 15; ++r) EXPECT_EQ(t.At({0, 4, 2}, r), TRecorde{});

  TTabelaRecordes u;
  const long double scores[] = {900, 700, 700, 500};
  for (int r = 1; r <= 4; ++r) u.At({2, 6, 3}, r) = Entry("R" + std::to_string(r), scores[r - 1], r, 1);
  EXPECT_EQ(RankInto(u, {2, 6, 3}, 700, 0, 2), 4);
  EXPECT_EQ(u.At({2, 6, 3}, 3).Nome, "R3");
  EXPECT_EQ(u.At({2, 6, 3}, 4).Nome, "");
  EXPECT_EQ(u.At({2, 6, 3}, 5).Nome, "R4");

  TTabelaRecordes full;
  for (int r = 1; r <= 15; ++r) full.At({1, 5, 2}, r) = Entry("F" + std::to_string(r), 1000 - 50 * r, 0, 1);
  ASSERT_EQ(full.At({1, 5, 2}, 14).Escore.ToLongDouble(), 300);
  full.At({1, 5, 2}, 15) = Entry("F15", 300, 0, 1);
  const TTabelaRecordes before = full;
  EXPECT_EQ(RankInto(full, {1, 5, 2}, 300, 0, 2), kNoRank);
  EXPECT_EQ(full, before);
  EXPECT_EQ(RankInto(full, {1, 5, 2}, 301, 0, 2), 14);  // above the 300 at 14 and 15
  EXPECT_EQ(full.At({1, 5, 2}, 15).Nome, "F14");

  TTabelaRecordes empty;
  EXPECT_EQ(RankInto(empty, {0, 4, 2}, -8735, 2, 1), kNoRank);
  EXPECT_EQ(RankInto(empty, {0, 4, 2}, 0, 2, 1), kNoRank);
  EXPECT_EQ(empty, TTabelaRecordes{});
  // Other categories are untouched.
  EXPECT_EQ(t.At({0, 4, 3}, 1), TRecorde{});
}

}  // namespace
}  // namespace quillmont
