#include "PixelFont.h"

#include <array>
#include <map>

namespace assetgen {
namespace {

using Glyph = std::array<const char*, 9>;

const std::map<char, Glyph>& Glyphs() {
  static const std::map<char, Glyph> glyphs{
      {'N', {"X...X", "XX..X", "X.X.X", "X..XX", "X...X", "X...X", "X...X", ".....", "....."}},
      {'G', {".XXXX", "X....", "X....", "X..XX", "X...X", "X...X", ".XXX.", ".....", "....."}},
      {'R', {"XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X", ".....", "....."}},
      {'E', {"XXXXX", "X....", "X....", "XXXX.", "X....", "X....", "XXXXX", ".....", "....."}},
      {'a', {".....", ".....", ".XXX.", "....X", ".XXXX", "X...X", ".XXXX", ".....", "....."}},
      {'e', {".....", ".....", ".XXX.", "X...X", "XXXXX", "X....", ".XXX.", ".....", "....."}},
      {'i', {"..X..", ".....", ".XX..", "..X..", "..X..", "..X..", ".XXX.", ".....", "....."}},
      {'l', {".XX..", "..X..", "..X..", "..X..", "..X..", "..X..", ".XXX.", ".....", "....."}},
      {'r', {".....", ".....", "X.XX.", "XX..X", "X....", "X....", "X....", ".....", "....."}},
      {'s', {".....", ".....", ".XXXX", "X....", ".XXX.", "....X", "XXXX.", ".....", "....."}},
      {'t', {"..X..", "..X..", "XXXX.", "..X..", "..X..", "..X.X", "...X.", ".....", "....."}},
      {'u', {".....", ".....", "X...X", "X...X", "X...X", "X..XX", ".XX.X", ".....", "....."}},
      {'w', {".....", ".....", "X...X", "X...X", "X.X.X", "X.X.X", ".X.X.", ".....", "....."}},
      {'x', {".....", ".....", "X...X", ".X.X.", "..X..", ".X.X.", "X...X", ".....", "....."}},
      {'y', {".....", ".....", "X...X", "X...X", "X...X", ".XXXX", "....X", "X...X", ".XXX."}},
  };
  return glyphs;
}

constexpr int kAdvance = 7;  // 5 columns, one more for the bold stroke, one space

}  // namespace

int BoldTextWidth(const std::string& text) { return text.empty() ? 0 : static_cast<int>(text.size()) * kAdvance - 1; }

void DrawBoldText(Canvas& canvas, int left, int top, const std::string& text, Colour colour) {
  int x = left;
  for (char ch : text) {
    const auto found = Glyphs().find(ch);
    if (found != Glyphs().end()) {
      for (int row = 0; row < kTextHeight; ++row)
        for (int col = 0; col < 5; ++col)
          if (found->second[static_cast<std::size_t>(row)][col] == 'X') {
            canvas.Set(x + col, top + row, colour);
            canvas.Set(x + col + 1, top + row, colour);
          }
    }
    x += kAdvance;
  }
}

}  // namespace assetgen
