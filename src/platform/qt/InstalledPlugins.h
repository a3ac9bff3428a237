#pragma once
// Only Qt's own installed plugins are ever loaded into the program: not a
// qt.conf or a plugin folder (platforms/, imageformats/) beside the
// executable, where anybody who may write the program's folder could put
// code of their own.

namespace quillmont {

// Before the application object is made. argv0 is what Qt falls back on to
// find the executable's folder when /proc cannot tell it.
void UseOnlyInstalledQtPlugins(const char* argv0);

}  // namespace quillmont
