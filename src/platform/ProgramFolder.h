#pragma once
#include <string>

namespace quillmont {

// The folder of the running executable, links resolved, with its trailing
// "/": the program's folder, where its bitmaps, sounds and records lie.
std::string ExecutableDirectory();
// Makes the folder current; false when that fails. Never throws.
bool MakeCurrentDirectory(const std::string& folder);

}  // namespace quillmont
