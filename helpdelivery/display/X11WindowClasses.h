// SPDX-License-Identifier: MIT
// The duplicate test's window search on X11: the WM_CLASS class names of the top-level windows, taken from
// the window manager's client list, or from the root window's children when no window manager runs.
#pragma once

#include <functional>
#include <string_view>

namespace brelmont {

// Calls `visit` with each class name until it returns false. Does nothing without an X display.
void EnumX11TopLevelWindowClasses(const std::function<bool(std::string_view)>& visit);

} // namespace brelmont
