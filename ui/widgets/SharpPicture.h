// SPDX-License-Identifier: MIT
// Pictures that stay sharp on scaled screens. A label of a window design that shows a picture may carry the
// dynamic property "picture2x", the path of the same picture drawn at twice the size; on a screen of device
// pixel ratio 1.5 or more the label shows that one (brought to the screen's exact pixels) instead of the
// 1x picture blown up, and it chooses again when its window moves to another screen.
#pragma once

#include <QPixmap>
#include <QString>

class QWidget;

namespace brelmont {

// The smallest device pixel ratio at which the 2x pictures are used.
inline constexpr qreal kSharpRatio = 1.5;

// The picture to show at `ratio`: `picture1x` below kSharpRatio, else the 2x picture at `path2x` scaled to
// the 1x picture's logical size times `ratio` (unchanged at 2), with that device pixel ratio. A 2x picture
// that cannot be read leaves the 1x one.
QPixmap PictureForRatio(const QPixmap& picture1x, const QString& path2x, qreal ratio);

// Lets every label in `window` that carries "picture2x" follow its screen's pixel ratio.
void UseSharpPictures(QWidget& window);

} // namespace brelmont
