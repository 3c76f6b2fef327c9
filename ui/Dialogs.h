// SPDX-License-Identifier: MIT
// The program-wide dialog rules every window follows: the application title, the plain message dialog the
// calculation commands report through, the error box that ends a failed event handler, showing a window
// modally, the guard that keeps errors from crossing the toolkit's frames, and the keyboard's way to a
// context menu. Used by TMain, TAbout and the
// start-up in app/.
#pragma once

#include <exception>
#include <initializer_list>
#include <string>

class QDialog;
class QWidget;

namespace brelmont {

// The modal result a window ends with when it is closed rather than answered.
inline constexpr int mrCancel = 2;

// The title rule: the file name without its folder, cut at its first ".", every character after the first
// lower-cased. "/opt/x/BRELMONT.bin" gives "Brelmont".
std::string ApplicationTitleFor(const std::string& executablePath);

// The title of this run; set once at start-up from the executable's path.
const std::string& ApplicationTitle();
void SetApplicationTitle(const std::string& title);

// The error box's text: the message, with "." appended when it is not empty and its last byte sorts after
// ".".
std::string ErrorBoxText(const std::string& message);

// A modal dialog captioned with the application title, no icon, the text wrapped to at most half the screen
// width, one "OK" answering Enter and Escape, centred on the screen. Returns when it closes.
void ShowMessage(const std::string& text);

// Gives a message-like dialog the message dialog's frame: the application title, no icon, `contents` above
// one centred "OK" that accepts it, a fixed size, centred on the screen. The contents are children of
// `dialog`.
void BuildMessageDialog(QDialog& dialog, std::initializer_list<QWidget*> contents);

// Places a top-level window in the middle of its screen: its whole frame once the window manager has drawn
// one, its client area until then.
void CentreOnScreen(QWidget& window);

// The error box: application title, stop icon, one OK; every other window is disabled while it is open and
// the window that was active is active again afterwards.
void ShowErrorBox(const std::string& message);

// Shows the error held by `error` the way an unhandled handler error is shown: EAbort shows nothing.
void ShowHandlerError(std::exception_ptr error);

// Runs one event handler; whatever it raises goes to the error box and the program continues.
template <class Handler> void Guarded(Handler&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        ShowHandlerError(std::current_exception());
    }
}

// Makes Shift+F10 open the focused control's context menu, as the Menu key does, in every window of the
// application: most desktops' programs answer both and many keyboards have no Menu key. Once is enough;
// further calls do nothing. Call once the application object exists.
void InstallContextMenuKey();

// Shows `dialog` modally and returns its modal result. Raises EInvalidOperation("Cannot make a visible window
// modal") when it is already visible.
int ShowModal(QDialog& dialog);

} // namespace brelmont
