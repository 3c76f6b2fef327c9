// SPDX-License-Identifier: MIT
#include "ui/Fonts.h"

#include <QFont>

namespace brelmont {

void InstallFontSubstitutes() {
    QFont::insertSubstitution("Arial", "Liberation Sans");
    QFont::insertSubstitution("Times New Roman", "Liberation Serif");
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
}

} // namespace brelmont
