// SPDX-License-Identifier: MIT
// Fonts of the window designs. The designs name the classic families (Arial, Times New Roman, MS Sans Serif)
// and give every size as a character height in pixels, written in the design's point-size field; these two
// helpers map the families onto the installed metric-compatible ones and turn the sizes into pixel sizes.
// Called by the start-up (substitutes) and by each window after building its controls (pixel sizes).
#pragma once

class QWidget;

namespace brelmont {

// Maps Arial and MS Sans Serif to Liberation Sans and Times New Roman to Liberation Serif, which keep the
// same widths, so texts fit the controls they were laid out for.
void InstallFontSubstitutes();

// For `root` and every widget under it that sets a font of its own: the design's size becomes a pixel size.
void UsePixelSizes(QWidget& root);

} // namespace brelmont
