// SPDX-License-Identifier: MIT
// SeveralBetsOpener ties the window "Несколько ставок" to the main window: an entry with its shortcut,
// offered in the result fields' context menu beside the risk chart's, one such window at a time, closing with
// the main window.
#pragma once

#include "ui/several/SeveralBetsWindow.h"

#include <QObject>
#include <QPointer>

class QAction;
class QWidget;

namespace brelmont {

class SeveralBetsOpener : public QObject {
    Q_OBJECT

public:
    // The windows come from the module unless a factory is set.
    explicit SeveralBetsOpener(QWidget& mainWindow);

    void SetFactory(SeveralBetsFactory factory) { fFactory = std::move(factory); }

    // Opens the window beside the main window, or brings the open one to the front. Raises what the factory
    // raises.
    void Open();
    // Opens the window as soon as the main window is active: by then the window manager has framed it, and
    // the new window can stand beside that frame. For a start that asks for the window at once.
    void OpenOnceActive();
    void CloseWindow();
    // The open window, or none.
    ISeveralBetsWindow* Window() const { return fWidget != nullptr ? fWindow : nullptr; }
    QAction& Action() { return *fAction; }

private:
    QWidget& fMain;
    QAction* fAction = nullptr;
    SeveralBetsFactory fFactory = CreateSeveralBetsFromModule;
    ISeveralBetsWindow* fWindow = nullptr;
    QPointer<QWidget> fWidget;
};

} // namespace brelmont
