#pragma once
// The options the program answers itself, before any window or display:
// --help and --version; Qt's own options are left to Qt.

namespace quillmont {

// What the command line asks for: -1 to go on and play, else the status to
// exit with (an unknown option with two dashes: the usage on standard
// error, 2).
int AnswerCommandLine(int argc, char** argv);

}  // namespace quillmont
