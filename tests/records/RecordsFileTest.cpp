// The best-players file byte for byte, reading damaged files, and ranking.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "platform/TextFormats.h"
#include "Entry.h"
#include "records/RecordsFile.h"
#include "support/DecimalCommaLocale.h"

using namespace std::string_literals;

namespace quillmont {
namespace {

const std::string kEmptyLine = std::string(27, ' ') + "0 0  0.00000000000000E+0000\r\n";


TEST(RecordsFile, LinesAreLaidOutExactly) {
  TTabelaRecordes table;
  EXPECT_EQ(FormatRecords(table).size(), 15120u);
  EXPECT_EQ(FormatRecords(table).substr(0, 56), kEmptyLine);
  table.Line(0) = Entry("ABC", 12345, 6, 45292);
  table.Line(1) = Entry("  Bo ", 12345678, 0, 45292);
  table.Line(2) = Entry("Twenty Characters!!!", -8735, 12, 45293);
  table.Line(269) = Entry("Last", 1, 2147483647, 45292);
  const std::string text = FormatRecords(table);
  EXPECT_EQ(text.substr(0, 56), std::string(17, ' ') + "ABC" + "   12345 6  4.52920000000000E+0004\r\n");
  EXPECT_EQ(text.substr(56, 57), std::string(15, ' ') + "  Bo " + " 12345678 0  4.52920000000000E+0004\r\n");
  EXPECT_EQ(text.substr(113, 56), "Twenty Characters!!!   -8735 12  4.52930000000000E+0004\r\n"s.substr(0, 56));
  EXPECT_EQ(table.Line(1).Nome, "  Bo ");
  const TTabelaRecordes back = ParseRecords(text);
  EXPECT_EQ(back.Line(0), table.Line(0));
  EXPECT_EQ(back.Line(1).Nome, "Bo");
  EXPECT_EQ(back.Line(1).Escore.ToLongDouble(), 12345678);
  EXPECT_EQ(back.Line(2), table.Line(2));
  EXPECT_EQ(back.Line(269), table.Line(269));
  EXPECT_EQ(FormatRecords(back), FormatRecords(ParseRecords(FormatRecords(back))));
}

TEST(RecordsFile, RandomTablesRoundTripByteForByte) {
  std::uint64_t seed = 88172645463325252ull;
  const auto next = [&seed] {
    seed ^= seed << 13;
    seed ^= seed >> 7;
    seed ^= seed << 17;
    return seed;
  };
  for (int round = 0; round < 20; ++round) {
    TTabelaRecordes table;
    for (int i = 0; i < TTabelaRecordes::kEntries; ++i) {
      if (next() % 3 == 0) continue;
      std::string name;
      const int length = static_cast<int>(next() % 21);
      for (int k = 0; k < length; ++k) {
        const char c = static_cast<char>(33 + next() % 222);  // Latin-1, no blanks
        name += c == 127 ? '~' : c;                           // and no control character
      }
      table.Line(i) = Entry(name, static_cast<long double>(static_cast<std::int64_t>(next() % 2000000000) - 1000000),
                            static_cast<int>(next() % 127), 36000 + static_cast<double>(next() % 40000));
    }
    const std::string text = FormatRecords(table);
    EXPECT_EQ(ParseRecords(text), table);
    EXPECT_EQ(FormatRecords(ParseRecords(text)), text);
  }
}

// The windows put the C library under the user's locale; the file must not
// follow it: the same bytes are written, and read back, under a decimal comma.
TEST(RecordsFile, DecimalCommaLocaleChangesNoByte) {
  TTabelaRecordes table;
  table.Line(0) = Entry("ABC", 12345, 6, 45292);
  table.Line(1) = Entry("Twenty Characters!!!", -8735, 2147483647, 45293.5);
  table.Line(2) = Entry("Big", std::ldexp(1.0L, 100), -12, -693593);
  table.Line(3) = Entry("x", 12345678, 0, 1e-300);
  const std::string inC = FormatRecords(table);
  std::ifstream file(QUILLMONT_RECORDS_CORPUS "/played.rec", std::ios::binary);
  const std::string played{std::istreambuf_iterator<char>(file), {}};
  ASSERT_EQ(played.size(), 15120u);

  const testing::DecimalCommaLocale decimalComma;
  ASSERT_EQ(decimalComma.Failure(), "");
  EXPECT_EQ(FormatRecords(table), inC);
  EXPECT_EQ(ParseRecords(inC), table);
  EXPECT_EQ(FormatRecords(ParseRecords(played)), played);
  EXPECT_EQ(FormatWholeNumber(-1234567.5L, "."), "-1.234.568");
}

// Offset of 0-based line n.
std::size_t LineStart(const std::string& text, int n) {
  std::size_t pos = 0;
  for (int i = 0; i < n; ++i) pos = text.find("\r\n", pos) + 2;
  return pos;
}

TEST(RecordsFile, DamagedFilesLoseOnlyWhatIsDamaged) {
  TTabelaRecordes table;
  for (int i = 0; i < TTabelaRecordes::kEntries; ++i) table.Line(i) = Entry("P" + std::to_string(i), 1000 + i, i, 45000 + i);
  const std::string text = FormatRecords(table);

  // Cut in the middle of line 100, inside its score: the digits present stay.
  const std::size_t line100 = LineStart(text, 99);
  const TTabelaRecordes cut = ParseRecords(text.substr(0, line100 + 26));
  EXPECT_EQ(cut.Line(98), table.Line(98));
  EXPECT_EQ(cut.Line(99).Nome, "P99");
  EXPECT_EQ(cut.Line(99).Escore.ToLongDouble(), 10);  // "   10" of "   1099"
  EXPECT_EQ(cut.Line(99).Perdidas, 0);
  EXPECT_EQ(cut.Line(99).Data, 0.0);
  for (int i = 100; i < TTabelaRecordes::kEntries; ++i) EXPECT_EQ(cut.Line(i), TRecorde{}) << i;

  // A score beyond the 6-byte real on line 3 empties that entry only.
  std::string big = text;
  big.replace(LineStart(text, 2) + 21, 7, "   1E40");
  const TTabelaRecordes one = ParseRecords(big);
  EXPECT_EQ(one.Line(2), TRecorde{});
  EXPECT_EQ(one.Line(1), table.Line(1));
  EXPECT_EQ(one.Line(3), table.Line(3));

  // Tiles missed beyond 32 bits, a date beyond a double, a field that is no
  // number: the same rule.
  std::string more = text;
  more.replace(LineStart(more, 4) + 29, 1, "99999999999");
  const std::size_t date10 = LineStart(more, 10) + 32;  // "P10" misses 10: the date starts at 32
  more.replace(date10, 23, std::string(18, ' ') + "1E999");
  const TTabelaRecordes other = ParseRecords(more);
  EXPECT_EQ(other.Line(4), TRecorde{});
  EXPECT_EQ(other.Line(10), TRecorde{});
  EXPECT_EQ(other.Line(11), table.Line(11));
  std::string junk = text;
  junk.replace(LineStart(text, 5) + 21, 7, "  12ab3");
  junk.replace(LineStart(junk, 12) + 29, 1, "x");
  EXPECT_EQ(ParseRecords(junk).Line(5), TRecorde{});
  EXPECT_EQ(ParseRecords(junk).Line(12), TRecorde{});
  EXPECT_EQ(ParseRecords(junk).Line(6), table.Line(6));

  // A file ending after a name, before its score, holds no entry there.
  const TTabelaRecordes nameOnly = ParseRecords(text.substr(0, LineStart(text, 3) + 20));
  EXPECT_EQ(nameOnly.Line(2), table.Line(2));
  EXPECT_EQ(nameOnly.Line(3), TRecorde{});

  // A file ending inside a date's exponent keeps the digits before the "E".
  const std::size_t dateOf7 = LineStart(text, 6) + 31;
  EXPECT_EQ(text.substr(dateOf7, 23), " 4.50060000000000E+0004");
  EXPECT_EQ(ParseRecords(text.substr(0, dateOf7 + 17)).Line(6).Data, 4.5006);
  EXPECT_EQ(ParseRecords(text.substr(0, dateOf7 + 18)).Line(6).Data, 4.5006);  // "...E"
  EXPECT_EQ(ParseRecords(text.substr(0, dateOf7 + 19)).Line(6).Data, 4.5006);  // "...E+"
  EXPECT_EQ(ParseRecords(text.substr(0, dateOf7 + 21)).Line(6).Data, 4.5006);  // "...E+00"
  EXPECT_EQ(ParseRecords(text.substr(0, dateOf7 + 23)).Line(6).Data, 45006.0);

  // Infinity or not-a-number names no value: that entry only is emptied.
  std::string odd = text;
  odd.replace(LineStart(text, 7) + 31, 23, std::string(20, ' ') + "inf");
  odd.replace(LineStart(odd, 8) + 21, 7, "    NaN");
  const TTabelaRecordes oddRead = ParseRecords(odd);
  EXPECT_EQ(oddRead.Line(7), TRecorde{});
  EXPECT_EQ(oddRead.Line(8), TRecorde{});
  EXPECT_EQ(oddRead.Line(9), table.Line(9));

  // A day outside the years 1 to 9999 is no date: 1E19 once showed as
  // 6/4/01. The first and last days stay; a markup name is just a name.
  std::ifstream seed(QUILLMONT_RECORDS_CORPUS "/impossible-dates.rec", std::ios::binary);
  const TTabelaRecordes days = ParseRecords(std::string{std::istreambuf_iterator<char>(seed), {}});
  for (int i : {0, 1, 2, 5}) EXPECT_EQ(days.Line(i), TRecorde{}) << i;
  EXPECT_EQ(days.Line(3), Entry("Dee", 7000, 0, EncodeDate(9999, 12, 31)));
  EXPECT_EQ(days.Line(4), Entry("Eve", 6000, 0, EncodeDate(1, 1, 1)));
  EXPECT_EQ(days.Line(6), Entry("<img src=/dev/zero>", 4000, 3, 45292));

  // A score far beyond any integer type is written digit for digit.
  TTabelaRecordes huge;
  huge.Line(0) = Entry("Big", std::ldexp(1.0L, 100), 0, 1);
  const std::string hugeText = FormatRecords(huge);
  EXPECT_EQ(hugeText.substr(21, 32), "1267650600228229401496703205376 ");
  EXPECT_EQ(ParseRecords(hugeText), huge);
  EXPECT_EQ(FormatRecords(ParseRecords(hugeText)), hugeText);

  // 0x1A ends the file; lines after the 270th are ignored.
  std::string eof = text;
  eof[LineStart(text, 50)] = 0x1A;
  EXPECT_EQ(ParseRecords(eof).Line(50), TRecorde{});
  EXPECT_EQ(ParseRecords(eof).Line(49), table.Line(49));
  EXPECT_EQ(ParseRecords(text + "      Extra       5 5  4.52920000000000E+0004\r\n"), table);
  EXPECT_EQ(ParseRecords(""), TTabelaRecordes{});
  // A tool that dropped the CRs leaves LF alone: every line still reads,
  // and the table is written back with CR LF as before.
  std::string lf = text;
  std::erase(lf, '\r');
  EXPECT_EQ(FormatRecords(ParseRecords(lf)), text);
}

}  // namespace
}  // namespace quillmont
