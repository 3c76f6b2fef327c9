// SPDX-License-Identifier: MIT
// Fonts of the window designs. The designs name the classic families (Arial, Times New Roman, MS Sans Serif);
// this maps them onto the installed metric-compatible ones. Called once by the start-up. (The designs' sizes
// are pixel heights; the build turns them into pixel sizes, see PixelFonts.cmake.)
#pragma once

namespace brelmont {

// Maps Arial and MS Sans Serif to Liberation Sans and Times New Roman to Liberation Serif, which keep the
// same widths, so texts fit the controls they were laid out for.
void InstallFontSubstitutes();

} // namespace brelmont
