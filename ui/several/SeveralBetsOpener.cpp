// SPDX-License-Identifier: MIT
#include "ui/several/SeveralBetsOpener.h"

#include "ui/Dialogs.h"
#include "ui/ModuleLoader.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QWidget>
#include <QWindow>
#include <memory>

namespace brelmont {

ISeveralBetsWindow* CreateSeveralBetsFromModule() {
    static SeveralBetsEntry entry = nullptr;
    if (entry == nullptr) {
        entry = reinterpret_cast<SeveralBetsEntry>(LoadModuleEntry(
            kSeveralBetsModuleName, kSeveralBetsEntryName, "Не удалось открыть окно «Несколько ставок»"));
    }
    return entry(ApplicationTitle().c_str());
}

SeveralBetsOpener::SeveralBetsOpener(QWidget& mainWindow) : QObject(&mainWindow), fMain(mainWindow) {
    fAction = new QAction(QStringLiteral("Несколько ставок…"), &mainWindow);
    fAction->setObjectName(QStringLiteral("SeveralBetsAction"));
    fAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    fAction->setShortcutContext(Qt::WindowShortcut);
    mainWindow.addAction(fAction);
    connect(fAction, &QAction::triggered, this, [this] { Guarded([this] { Open(); }); });
}

void SeveralBetsOpener::Open() {
    if (fWidget == nullptr) {
        fWindow = fFactory();
        fWidget = &fWindow->Widget();
        fWidget->setAttribute(Qt::WA_DeleteOnClose);
        ShowBeside(*fWidget, fMain, fWidget->size());
        fWidget->show();
        // Once shown its frame is known where the platform tells it at once; placed again, the frame fits
        // too.
        ShowBeside(*fWidget, fMain, fWidget->size());
    }
    fWidget->show();
    fWidget->raise();
    fWidget->activateWindow();
}

void SeveralBetsOpener::OpenOnceActive() {
    if (fMain.isActiveWindow()) {
        Guarded([this] { Open(); });
        return;
    }
    QWindow* handle = fMain.windowHandle();
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(handle, &QWindow::activeChanged, this, [this, handle, connection] {
        if (handle->isActive()) {
            disconnect(*connection);
            Guarded([this] { Open(); });
        }
    });
}

void SeveralBetsOpener::CloseWindow() {
    if (fWidget != nullptr) {
        fWidget->close();
    }
}

} // namespace brelmont
