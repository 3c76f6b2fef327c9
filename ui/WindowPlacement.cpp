// SPDX-License-Identifier: MIT
#include "ui/WindowPlacement.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace brelmont {

Placement PlaceBeside(const QRect& main, const QRect& available, const QSize& preferred, const QSize& minimum,
                      int gap) {
    const QSize wanted = preferred.boundedTo(available.size());
    const int least = std::min(minimum.width(), wanted.width());
    const int height = wanted.height();
    const int top = std::clamp(main.top(), available.top(), available.bottom() + 1 - height);
    const int rightRoom = available.right() - main.right() - gap;
    const int leftRoom = main.left() - available.left() - gap;

    Placement place{QRect(), main.topLeft()};
    if (rightRoom >= least) {
        const int width = std::min(wanted.width(), rightRoom);
        place.window = QRect(main.right() + 1 + gap, top, width, height);
    } else if (leftRoom >= least) {
        const int width = std::min(wanted.width(), leftRoom);
        place.window = QRect(main.left() - gap - width, top, width, height);
    } else if (available.width() - main.width() - gap >= least) {
        const int width = std::min(wanted.width(), available.width() - main.width() - gap);
        if (rightRoom >= leftRoom) {
            place.window = QRect(available.right() + 1 - width, top, width, height);
            place.mainTopLeft.setX(place.window.left() - gap - main.width());
        } else {
            place.window = QRect(available.left(), top, width, height);
            place.mainTopLeft.setX(place.window.right() + 1 + gap);
        }
    } else {
        const int width = wanted.width();
        const int left = rightRoom >= leftRoom ? available.right() + 1 - width : available.left();
        place.window = QRect(left, top, width, height);
    }
    place.window = place.window.intersected(available);
    return place;
}

void ShowBeside(QWidget& window, QWidget& main, const QSize& preferred) {
    const QScreen* screen = main.screen();
    if (screen == nullptr) {
        return;
    }
    // A window never shown has no frame yet; the window manager will give it one like the main window's.
    const QSize frame = main.frameGeometry().size() - main.size();
    const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize()) + frame;
    const Placement place =
        PlaceBeside(main.frameGeometry(), screen->availableGeometry(), preferred + frame, least, 8);
    if (place.mainTopLeft != main.frameGeometry().topLeft()) {
        main.move(place.mainTopLeft);
    }
    window.resize(place.window.size() - frame);
    window.move(place.window.topLeft());
}

} // namespace brelmont
