// SPDX-License-Identifier: MIT
// The toolkit's own words in Russian. Qt draws some texts itself: the edit fields' context menus
// ("Копировать", "Выделить всё"), the file dialog, the message boxes' buttons and its error messages
// ("Невозможно создать…"). They follow the session's language, so a program that speaks only Russian would
// show English ones in an English session. Every program of the package (the calculator, the help viewer, and
// through the calculator the risk chart module) installs Qt's Russian catalogue at start, whatever the
// session's locale. Needs only Qt Core, so any of them can link it.
#pragma once

#include <QString>

namespace brelmont {

// Installs Qt's Russian catalogue (qt_ru.qm from Debian's qt6-translations-l10n, which names qtbase_ru.qm and
// the other modules' catalogues) into the running application, and makes Russian the default locale for the
// toolkit's own formatting. Call once the application object exists; further calls do nothing. Returns false
// when there is no application yet or the catalogue is not installed: Qt's English texts then stay.
bool InstallToolkitTranslation();

// Where the catalogue is looked for: Qt's translations folder.
QString ToolkitTranslationFolder();

} // namespace brelmont
