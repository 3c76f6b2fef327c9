// SPDX-License-Identifier: MIT
// What the window manager calls the active window, read straight from the X server (kept apart from the
// test code because Xlib's macros clash with the test framework's names).
#pragma once

#include <string>

namespace brelmont::testing {

struct ActiveWindow {
    std::string windowClass;
    std::string title;
};

ActiveWindow Active();

} // namespace brelmont::testing
