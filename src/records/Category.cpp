#include "records/Category.h"

namespace quillmont {

std::string Category::Title() const {
  return std::string(kSettingNames[static_cast<std::size_t>(numFits_ - 2)]) + " - " +
         kLevelNames[static_cast<std::size_t>(numColors_ - 4)] + " - " + kBoardNames[board_] + " board";
}

}  // namespace quillmont
