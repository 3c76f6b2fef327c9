// SPDX-License-Identifier: MIT
#include "ui/MainKeys.h"

#include "ui/Mainf.h"
#include "ui_Mainf.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QShortcut>

namespace brelmont {

const std::array<ToolbarShortcut, 6>& ToolbarShortcuts() {
    // F10 opens a window's menu on every desktop, and the command panel is this window's menu; the rest are
    // the usual keys for a new (empty) form, help, going to a place, information and quitting. F1 stays the
    // keyword help and Escape the panel's close.
    static const std::array<ToolbarShortcut, 6> shortcuts{
        {{"Btn1", QKeySequence(Qt::Key_F10)},
         {"ImageBtn2", QKeySequence(Qt::CTRL | Qt::Key_N)},
         {"ImageBtn6", QKeySequence(Qt::SHIFT | Qt::Key_F1)},
         {"ImageBtn3", QKeySequence(Qt::CTRL | Qt::Key_G)},
         {"ImageBtn4", QKeySequence(Qt::CTRL | Qt::Key_I)},
         {"ImageBtn5", QKeySequence(Qt::CTRL | Qt::Key_Q)}}};
    return shortcuts;
}

TMainKeys::TMainKeys(TMain& window) : QObject(&window), fWindow(window) {
    Ui::TMain& ui = window.Controls();
    const auto bind = [&window](const QKeySequence& keys, auto action) {
        auto* shortcut = new QShortcut(keys, &window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, &window, action);
    };
    const auto& keys = ToolbarShortcuts();
    bind(keys[0].keys, [this] { Start(); });
    // The other buttons close the panel as the pointer on its way to them does.
    // After a clear the next typing is a new probability.
    bind(keys[1].keys, [&window, &ui] {
        window.FormClick();
        window.ImageBtn2Click();
        ui.pole1->setFocus(Qt::ShortcutFocusReason);
    });
    bind(keys[2].keys, [&window] {
        window.FormClick();
        window.ImageBtn6Click();
    });
    // The site button is disabled and lies over the toolbar's site link, which is what a click there opens.
    bind(keys[3].keys, [&window, &ui] {
        window.FormClick();
        ui.UrlLabel2->OpenURL();
    });
    bind(keys[4].keys, [&window] {
        window.FormClick();
        window.ImageBtn4Click();
    });
    bind(keys[5].keys, [&window] { window.ImageBtn5Click(); });

    // Whatever hides the panel also drops the keyboard's highlight.
    ui.menuz->installEventFilter(this);
    qApp->installEventFilter(this);
}

void TMainKeys::Start() {
    fWindow.Btn1Click();
    Highlight(1);
}

void TMainKeys::Highlight(int entry) {
    if (entry == fHighlighted) {
        return;
    }
    if (fHighlighted == 1) {
        fWindow.Label15MouseLeave();
    } else if (fHighlighted == 2) {
        fWindow.Label16MouseLeave();
    }
    fHighlighted = entry;
    if (entry == 1) {
        fWindow.Label15MouseMove();
    } else if (entry == 2) {
        fWindow.Label16MouseMove();
    }
}

bool TMainKeys::PanelKey(int key) {
    switch (key) {
    case Qt::Key_Down:
        Highlight(fHighlighted == 1 ? 2 : 1);
        return true;
    case Qt::Key_Up:
        Highlight(fHighlighted == 2 ? 1 : 2);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const int entry = fHighlighted;
        if (entry == 0) {
            return false;
        }
        Highlight(0);
        entry == 1 ? fWindow.Label15Click() : fWindow.Label16Click();
        return true;
    }
    default:
        return false;
    }
}

bool TMainKeys::FieldEnter(QObject* watched) {
    Ui::TMain& ui = fWindow.Controls();
    if (watched == ui.pole1 || watched == ui.pole2) {
        fDialogShown = false;
        fWindow.Label16Click();
        // A screen reader says nothing of a field that changes away from the focus: the focus goes to the new
        // stake, selected, so it is read out at once (and a sighted user sees it marked). A message means the
        // calculation did not get that far, or has its own say; the focus then stays for the correction.
        if (!fDialogShown && !ui.pole3->text().isEmpty()) {
            ui.pole3->setFocus(Qt::OtherFocusReason);
            ui.pole3->selectAll();
        }
        return true;
    }
    if (watched == ui.pole3) {
        fWindow.Label15Click();
        return true;
    }
    return false;
}

bool TMainKeys::eventFilter(QObject* watched, QEvent* event) {
    Ui::TMain& ui = fWindow.Controls();
    if (watched == ui.menuz && event->type() == QEvent::Hide) {
        Highlight(0);
        return false;
    }
    if (event->type() == QEvent::Show && qobject_cast<QDialog*>(watched) != nullptr) {
        fDialogShown = true;
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    // A key travels from the focused control up its parents; take it at its first stop only.
    QWidget* first = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &fWindow;
    if (watched != first || first->window() != &fWindow) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier) {
        return false;
    }
    if (ui.menuz->isVisible() && PanelKey(key->key())) {
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        return FieldEnter(watched);
    }
    return false;
}

} // namespace brelmont
