// SPDX-License-Identifier: MIT
// Whether a program can show windows at all, asked before its application object exists: the toolkit ends
// the process (abort, with advice in English) when the X display it is told to use does not answer, so the
// programs ask first and say it in one plain line instead.
#pragma once

#include <optional>
#include <string>

namespace brelmont {

// What stands in the way of opening windows, in Russian, or nothing when windows can be opened or the
// toolkit will not use X at all (another platform chosen with QT_QPA_PLATFORM or -platform, or a Wayland
// session without an X display). Reads the toolkit's -platform and -display options from `argv`.
std::optional<std::string> DisplayProblem(int argc, char** argv);

} // namespace brelmont
