// SPDX-License-Identifier: MIT
// Typing into another application's window: SendKeys turns a key string into synthetic keyboard events for
// the window that has the keyboard focus, and ActivateWindow brings a top-level window with a given title, or
// title beginning, to the front. The help display calls ActivateWindow("Справка Windows") and then
// SendKeys("{enter}", false).
//
// Both work through the current KeyPlatform (sendkeys/KeyPlatform.h). The program installs the real one once,
// after its application object exists:
//
//     static brelmont::X11KeyPlatform keys;   // sendkeys/x11/X11KeyPlatform.h, target Brelmont::sendkeys_x11
//     brelmont::SetKeyPlatform(&keys);
//
// Key strings: "+", "^" and "%" hold Shift, Control and Alt for the next key; "(" ... ")" keeps them held for
// a group of keys; "~" is Enter; "{NAME}" is a named key (see KeyNameTable, any letter case), "{c}" a single
// character (how "+^%~(){}" are typed), "{NAME n}" or "{c n}" the key n times; every other character is typed
// with the shift state the keyboard layout needs for it. Texts are bytes: a key string is read up to its
// first NUL byte, one byte per character.
#pragma once

#include "sendkeys/KeyPlatform.h"
#include "sendkeys/KeyTables.h"

#include <string_view>

namespace brelmont {

// Sends the keys that the string describes and, when wait is true, dispatches the program's own pending
// keyboard messages after every event. Answers true when the string was read to its end (also when keys in it
// were rejected with a message box captioned "SendKeys"), false for an empty string or a "{" that is never
// closed. Raises EConvertError "'%s' is not a valid integer value" for a repeat count that is not an integer.
// Whatever way it ends, it first releases every Shift, Control or Alt that it pressed and did not release.
bool SendKeys(std::string_view keys, bool Wait);

// Finds a top-level window whose title equals the text or, failing that, the first one in the platform's
// window order whose title (its first 79 characters) begins with it, ASCII letters compared without regard to
// case and every other byte as itself; activates and restores it. Answers false when none is found or the
// platform fails.
bool ActivateWindow(std::string_view title);

// The window of the last ActivateWindow search, 0 when it found none. Written only by ActivateWindow.
extern WindowHandle FoundWindow;

} // namespace brelmont
