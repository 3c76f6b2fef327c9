// SPDX-License-Identifier: MIT
#include "ui/Fonts.h"

#include <QFont>
#include <QWidget>

namespace brelmont {

void InstallFontSubstitutes() {
    QFont::insertSubstitution("Arial", "Liberation Sans");
    QFont::insertSubstitution("Times New Roman", "Liberation Serif");
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
}

namespace {

void Convert(QWidget& widget) {
    if (!widget.testAttribute(Qt::WA_SetFont)) {
        return;
    }
    QFont font = widget.font();
    if (font.pointSize() > 0) {
        font.setPixelSize(font.pointSize());
        widget.setFont(font);
    }
}

} // namespace

void UsePixelSizes(QWidget& root) {
    Convert(root);
    for (QWidget* child : root.findChildren<QWidget*>()) {
        Convert(*child);
    }
}

} // namespace brelmont
