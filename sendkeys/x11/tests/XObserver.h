// SPDX-License-Identifier: MIT
// An X connection of the test's own, to look at the server's view independently of the platform under test.
// Kept apart so that the X headers' macros never meet the toolkit's headers.
#pragma once

#include <cstdint>

struct _XDisplay;

namespace brelmont {

class Observer {
public:
    Observer();
    ~Observer();
    Observer(const Observer&) = delete;
    Observer& operator=(const Observer&) = delete;

    std::uintptr_t Focus() const;
    // The root window's _NET_ACTIVE_WINDOW, 0 when it has none.
    std::uintptr_t ActiveWindow() const;
    // The window manager's view: minimised (WM_STATE iconic or _NET_WM_STATE_HIDDEN), maximised both ways.
    bool Minimised(std::uintptr_t window) const;
    bool Maximised(std::uintptr_t window) const;
    // How many keys the server holds down.
    int KeysDown() const;

private:
    bool HasState(std::uintptr_t window, const char* state) const;

    ::_XDisplay* display_;
};

} // namespace brelmont
