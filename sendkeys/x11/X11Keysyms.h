// SPDX-License-Identifier: MIT
// Between the program's virtual keys and X key symbols: the symbol each virtual key stands for on X, and
// back.
#pragma once

#include <X11/X.h>
#include <cstdint>

namespace brelmont {

// The X key symbol of a virtual key; NoSymbol for a key that X has no symbol for.
KeySym KeysymOfVirtualKey(unsigned key);

// The virtual key whose symbol is the one a key gives without modifiers; 0 when none is.
std::uint8_t VirtualKeyOfKeysym(KeySym symbol);

} // namespace brelmont
