// SPDX-License-Identifier: MIT
// What screen readers learn about the program's own controls. Qt describes an image button as a bare
// widget and a URL label as static text; these interfaces make them a push button and a link, named from
// their accessibleName (for a button without one: its tooltip before any shortcut in brackets; for a link:
// its caption), each with a press action that clicks it as the pointer would. A widget carrying the dynamic
// property "decorative" is a picture with nothing to say and is reported invisible, so readers skip it; a
// label carrying "commandEntry" is an entry of a pop-up command panel and is reported as a menu item. A
// top-level window made from a bare QWidget (the main window, the risk chart) is a frame named by its title;
// a bevelled panel is a panel and a bevel line a separator; windows, panels and dialogs leave their
// decorative pictures out of their children; a read-only line edit is read-only and not also editable.
#pragma once

class QString;
class QWidget;

namespace brelmont {

// Registers the interfaces with Qt's accessibility; once is enough, further calls do nothing.
void InstallAccessibleControls();

// The accessible name of an image button whose design gives none: "Справка (Shift+F1)" gives "Справка".
QString NameFromToolTip(const QString& toolTip);

// A left press and release at the middle of the widget, as the pointer makes them.
void ClickAtCentre(QWidget& widget);

} // namespace brelmont
