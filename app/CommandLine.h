// SPDX-License-Identifier: MIT
// The program's command line, read before any window or display connection exists: --help and --version,
// the calculator for scripts (--probability, --odds, --stake, --json), the batch mode (--batch FILE) and the
// check that a window can be opened at all. Qt's own options (-platform, -display, -style, ...) are left for
// the application object. The calculation itself is the stake calculator's (stakecalc/Script.h).
#pragma once

#include <optional>

namespace brelmont {

// Does what the command line asks when that needs no window and returns the exit status: 0 done, 1 a
// calculation or a batch line failed or no display is there for the window, 2 a bad command line or a
// file that cannot be read or written. Returns nothing when the program should open its window.
std::optional<int> RunCommandLine(int argc, char** argv);

// True when the window "Несколько ставок" should open beside the main window at start (--several, as the
// desktop's launcher action starts it).
bool OpensSeveralBets(int argc, char** argv);

} // namespace brelmont
