// The two text conversions are exact both ways: scores are whole numbers,
// written digit for digit and read back by strtold; dates are written
// with 15 significant digits, and every whole day number (the program never
// stores a time of day here) has far fewer, so strtod gives the same double.
// The windows put the C library under the user's locale, which may have a
// decimal comma: no conversion here may follow it, so writing uses to_chars
// and reading the "_l" functions with a locale of their own.
#include "records/RecordsFile.h"

#include "records/PlayerName.h"

#include <locale.h>
#include <stdlib.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <exception>
#include <limits>
#include <system_error>

namespace quillmont {
namespace {

constexpr char kEndOfFile = 0x1A;

// Made once: newlocale is not cheap, and the "C" locale never changes.
locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  return c;
}

// Rounded to nearest like printf's "%.14E", whose digits it matches.
std::string FormatDate(double value) {
  char text[64];
  const char* end = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, 14).ptr;
  const std::string_view digits(text, end - text);  // d.dddddddddddddde+xx
  const std::string sign = value < 0 ? "-" : " ";
  const std::size_t e = digits.find('e');
  if (e == std::string_view::npos) return sign + std::string(digits);  // inf or nan: never stored
  const std::string_view exponent = digits.substr(e + 2);
  return sign + std::string(digits.substr(0, e)) + 'E' + digits[e + 1] + std::string(4 - exponent.size(), '0') +
         std::string(exponent);
}

// text right-aligned in width characters; longer text takes the room it needs.
void AppendRightAligned(std::string& out, std::string_view text, std::size_t width) {
  if (text.size() < width) out.append(width - text.size(), ' ');
  out += text;
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {
    const std::size_t end = bytes_.find(kEndOfFile);
    if (end != std::string_view::npos) bytes_ = bytes_.substr(0, end);
  }

  std::string Name() {
    std::string name;
    while (name.size() < kMaxNameLength && pos_ < bytes_.size() && !AtLineEnd()) name += bytes_[pos_++];
    return name;
  }

  std::string_view Token(std::size_t longest) {
    while (pos_ < bytes_.size() && static_cast<unsigned char>(bytes_[pos_]) <= 32) ++pos_;
    const std::size_t start = pos_;
    while (pos_ < bytes_.size() && pos_ - start < longest && static_cast<unsigned char>(bytes_[pos_]) > 32) ++pos_;
    return bytes_.substr(start, pos_ - start);
  }

  // A line ends in CR LF as written, or in LF alone where a tool on Linux
  // dropped the CRs.
  void SkipLine() {
    while (pos_ < bytes_.size() && !AtLineEnd()) ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\r') ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
  }

 private:
  bool AtLineEnd() const { return bytes_[pos_] == '\r' || bytes_[pos_] == '\n'; }

  std::string_view bytes_;
  std::size_t pos_ = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the number at the start of t (sign, digits, optional "." and
// digits, optional exponent), or npos when t holds anything else. A token that
// stops inside the exponent ("1.5E", "1.5E+") is a number cut short, not junk:
// the part before the "E" counts.
std::size_t RealLength(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
  }
  if (digits == 0) return t.empty() ? 0 : std::string_view::npos;
  const std::size_t mantissaEnd = i;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < t.size() && IsDigit(t[i])) ++i, ++expDigits;
    if (expDigits == 0) return i == t.size() ? mantissaEnd : std::string_view::npos;
  }
  return i == t.size() ? i : std::string_view::npos;
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if ((a[i] | 0x20) != b[i]) return false;
  }
  return true;
}

// "inf", "infinity" and "nan" name no day and no score: they are treated as
// values out of range rather than as junk.
bool NamesNonFinite(std::string_view t) {
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) t.remove_prefix(1);
  return SameLetters(t, "inf") || SameLetters(t, "infinity") || SameLetters(t, "nan");
}

// A field that is out of range or is not a number at all: its line's entry
// is emptied.
struct BadField : std::exception {};

long double ReadReal(std::string_view token) {
  if (NamesNonFinite(token)) throw BadField();
  const std::size_t length = RealLength(token);
  if (length == std::string_view::npos) throw BadField();
  if (length == 0) return 0;  // nothing left to read
  const std::string text(token.substr(0, length));
  errno = 0;
  // strtold keeps an underflow (tiny to 0 or a denormal), from_chars would not.
  const long double value = strtold_l(text.c_str(), nullptr, CLocale());
  if (errno == ERANGE && std::isinf(value)) throw BadField();
  return value;
}

std::int32_t ReadInteger(std::string_view token) {
  std::size_t i = 0;
  if (token.empty()) return 0;  // nothing left to read
  if (token[0] == '+' || token[0] == '-') ++i;
  if (i == token.size()) throw BadField();
  for (std::size_t j = i; j < token.size(); ++j) {
    if (!IsDigit(token[j])) throw BadField();
  }
  std::int32_t value = 0;
  // from_chars takes no "+" sign.
  const char* first = token.data() + (token[0] == '+' ? 1 : 0);
  const auto [end, error] = std::from_chars(first, token.data() + token.size(), value);
  if (error != std::errc{} || end != token.data() + token.size()) throw BadField();  // beyond 32 bits
  return value;
}

std::string Trimmed(const std::string& name) {
  std::size_t first = 0, last = name.size();
  while (first < last && static_cast<unsigned char>(name[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(name[last - 1]) <= 32) --last;
  return name.substr(first, last - first);
}

}  // namespace

std::string FormatRecords(const TTabelaRecordes& table) {
  std::string out;
  out.reserve(TTabelaRecordes::kEntries * 56);
  char number[64];  // a score is below 2^127: at most 39 digits and a sign
  for (int i = 0; i < TTabelaRecordes::kEntries; ++i) {
    const TRecorde& entry = table.Line(i);
    const std::string name = PlayerName(entry.Nome).Text();
    out.append(kMaxNameLength - name.size(), ' ');
    out += name;
    // Printed from the float itself: a score read from a foreign file may be
    // far beyond any integer type.
    long double score = std::nearbyint(entry.Escore.ToLongDouble());
    if (score == 0) score = 0;  // no "-0"
    const char* end = std::to_chars(number, number + sizeof number, score, std::chars_format::fixed, 0).ptr;
    out += ' ';
    AppendRightAligned(out, std::string_view(number, end - number), 7);
    out += ' ';
    out.append(number, std::to_chars(number, number + sizeof number, entry.Perdidas).ptr);
    out += ' ';
    out += FormatDate(entry.Data);
    out += "\r\n";
  }
  return out;
}

TTabelaRecordes ParseRecords(std::string_view bytes) {
  TTabelaRecordes table;
  Reader reader(bytes);
  for (int i = 0; i < TTabelaRecordes::kEntries; ++i) {
    TRecorde entry;
    try {
      const std::string name = reader.Name();
      const std::string_view scoreField = reader.Token(64);
      // A file that ends before the score holds a name and no result:
      // that line's entry stays empty.
      if (scoreField.empty()) throw BadField();
      const long double score = ReadReal(scoreField);
      entry.Escore = TReal6::FromDouble(score);  // throws at 2^127 and above
      entry.Perdidas = ReadInteger(reader.Token(32));
      const long double date = ReadReal(reader.Token(64));
      // A day no calendar shows (1E19, -5E6) is as unreadable as junk.
      if (std::fabs(date) > std::numeric_limits<double>::max() || !IsPossibleDate(static_cast<double>(date))) {
        throw BadField();
      }
      entry.Data = static_cast<double>(date);
      entry.Nome = Trimmed(PlayerName(name).Text());
    } catch (const std::exception&) {
      entry = TRecorde{};  // only this line's entry is lost
    }
    reader.SkipLine();
    table.Line(i) = entry;
  }
  return table;
}

}  // namespace quillmont
