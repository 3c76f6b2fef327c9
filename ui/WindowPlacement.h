// SPDX-License-Identifier: MIT
// Where a second window opens beside the main one. The rule works on frames in the screen's logical pixels,
// so that it holds at every scale: the window goes beside the main window on a side with room for it; when
// neither side has room but the screen holds both side by side, the main window moves aside just enough;
// otherwise the window covers the main window from the screen's edge with more room. It always lies within
// the available area.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace brelmont {

struct Placement {
    QRect window;       // the new window's frame
    QPoint mainTopLeft; // where the main window's frame goes (where it is, unless it moves aside)
};

// `preferred` and `minimum` are the new window's frame sizes; `gap` the space left between the two.
// Domain: a non-empty available area; the result is clipped to it whatever the sizes.
Placement PlaceBeside(const QRect& main, const QRect& available, const QSize& preferred, const QSize& minimum,
                      int gap);

// Applies PlaceBeside to real windows: `window` keeps `preferred` as its client size where the screen has
// room; frames are taken as wide as the main window's. Moves `main` when the rule says so.
void ShowBeside(QWidget& window, QWidget& main, const QSize& preferred);

} // namespace brelmont
