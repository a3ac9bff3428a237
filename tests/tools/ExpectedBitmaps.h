#pragma once
// The bitmap files the program opens by name, and the size each must have.
#include <array>

namespace quillmont::testing {

struct ExpectedBitmap {
  const char* name;
  int width, height;
};

inline constexpr std::array<ExpectedBitmap, 10> kExpectedBitmaps{{
    {"ok.bmp", 39, 39},      {"nok.bmp", 39, 39},      {"newgame.bmp", 75, 25}, {"dnewgame.bmp", 75, 25},
    {"gallery.bmp", 75, 25}, {"dgallery.bmp", 75, 25}, {"rules.bmp", 75, 25},   {"drules.bmp", 75, 25},
    {"exit.bmp", 75, 25},    {"dexit.bmp", 75, 25},
}};

}  // namespace quillmont::testing
