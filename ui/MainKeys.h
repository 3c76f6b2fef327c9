// SPDX-License-Identifier: MIT
// The main window without a mouse. Enter in a field runs the calculation that field belongs to (the stake
// field's own, the others' "Вычислить всё", after which the new stake takes the focus); while the command
// panel is open Up and Down walk its two entries with the pointer's hover look and hint, and Enter runs the
// highlighted one; six shortcuts stand in for the toolbar buttons. Everything ends in the window's own
// handlers, so a key does exactly what the pointer does. TMain creates one for itself.
#pragma once

#include <QKeySequence>
#include <QObject>
#include <array>

namespace brelmont {

class TMain;

// A toolbar button's keyboard stand-in; the button's tooltip names the keys.
struct ToolbarShortcut {
    const char* button; // design name
    QKeySequence keys;
};

// Start, clear, help, site, about, exit, in toolbar order.
const std::array<ToolbarShortcut, 6>& ToolbarShortcuts();

class TMainKeys : public QObject {
public:
    explicit TMainKeys(TMain& window);

    // The command panel entry the keys have highlighted: 0 none, 1 "Вычислить вероятности", 2 "Вычислить
    // всё".
    int Highlighted() const { return fHighlighted; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Start();
    void Highlight(int entry);
    bool PanelKey(int key);
    bool FieldEnter(QObject* watched);

    TMain& fWindow;
    int fHighlighted = 0;
    bool fDialogShown = false; // a dialog opened since the last Enter in a field
};

} // namespace brelmont
