// SPDX-License-Identifier: MIT
// The window "Несколько ставок" as the main window knows it. The window itself, its table and the
// several-bets core behind it live in a module that the program loads the first time the window is asked for,
// so that a start without it loads nothing more.
#pragma once

#include <functional>

class QWidget;

namespace brelmont {

class ISeveralBetsWindow {
public:
    virtual ~ISeveralBetsWindow() = default;

    // The window, deleted when it closes.
    virtual QWidget& Widget() = 0;
};

// Makes a new window, owned by nothing until it is shown and closed.
using SeveralBetsFactory = std::function<ISeveralBetsWindow*()>;

// The module's file name and its one entry, `ISeveralBetsWindow* entry(const char* applicationTitle)`: the
// module keeps its own copy of the program's process-wide settings, so the title of its error boxes comes in.
inline constexpr const char* kSeveralBetsModuleName = "brelmont-several.so";
inline constexpr const char* kSeveralBetsEntryName = "brelmont_create_several_bets";
using SeveralBetsEntry = ISeveralBetsWindow* (*)(const char* applicationTitle);

// Loads the module, once, and makes a window with it. Raises Exception, with the loader's reason, when the
// module cannot be found or loaded.
ISeveralBetsWindow* CreateSeveralBetsFromModule();

} // namespace brelmont
