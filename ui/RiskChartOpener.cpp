// SPDX-License-Identifier: MIT
#include "ui/RiskChartOpener.h"

#include "base/Exception.h"
#include "helpdelivery/display/HelpSystemQt.h"
#include "ui/Dialogs.h"
#include "ui/ModuleLoader.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QWidget>
#include <memory>

namespace brelmont {

IRiskChartWindow* CreateRiskChartFromModule() {
    static RiskChartEntry entry = nullptr;
    if (entry == nullptr) {
        entry = reinterpret_cast<RiskChartEntry>(
            LoadModuleEntry(kRiskChartModuleName, kRiskChartEntryName, "Не удалось открыть график риска"));
    }
    return entry(ApplicationTitle().c_str());
}

RiskChartOpener::RiskChartOpener(QWidget& mainWindow, std::array<QLineEdit*, 3> inputs,
                                 const std::vector<QLineEdit*>& results)
    : QObject(&mainWindow), fMain(mainWindow), fInputs(inputs) {
    fAction = new QAction(QStringLiteral("Показать график риска"), &mainWindow);
    fAction->setObjectName(QStringLiteral("RiskChartAction"));
    fAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    fAction->setShortcutContext(Qt::WindowShortcut);
    mainWindow.addAction(fAction);
    connect(fAction, &QAction::triggered, this, [this] { Guarded([this] { Open(); }); });
    for (QLineEdit* field : results) {
        field->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(field, &QLineEdit::customContextMenuRequested, this, [this, field](const QPoint& at) {
            std::unique_ptr<QMenu> menu(BuildMenu(*field));
            menu->exec(field->mapToGlobal(at));
        });
    }
}

QMenu* RiskChartOpener::BuildMenu(QLineEdit& field) {
    QMenu* menu = field.createStandardContextMenu();
    menu->addSeparator();
    menu->addAction(fAction);
    for (QAction* entry : fMoreEntries) {
        menu->addAction(entry);
    }
    return menu;
}

void RiskChartOpener::Open() {
    if (fWidget == nullptr) {
        fWindow = fFactory();
        fWidget = &fWindow->Widget();
        fWidget->setAttribute(Qt::WA_DeleteOnClose);
        GiveHelp(*fWidget);
        FollowInputs();
        Place();
    }
    fWidget->show();
    fWidget->raise();
    fWidget->activateWindow();
}

// Beside the main window at the design's size where the screen has room, and on the screen always.
void RiskChartOpener::Place() {
    ShowBeside(*fWidget, fMain, fWidget->size());
}

// F1 is answered by the program's help system, which sees every window's keys; the module's window only
// needs its settings, which name the chart's own index entry so that the help opens at the chart.
void RiskChartOpener::GiveHelp(QWidget& window) {
    try {
        HelpSettings& help = WidgetHelp(&window);
        help.HelpFile = std::string(kHelpFileName);
        help.SetHelpKeyword(kRiskChartHelpKeyword);
    } catch (const EHelpSystemException&) {
        // A window without a help system behind it (the window tests) has no help to give.
    }
}

void RiskChartOpener::FollowInputs() {
    const auto update = [this] {
        Guarded([this] {
            if (IRiskChartWindow* window = Window()) {
                window->SetFieldTexts(fInputs[0]->text(), fInputs[1]->text(), fInputs[2]->text());
            }
        });
    };
    for (QLineEdit* input : fInputs) {
        connect(input, &QLineEdit::textChanged, fWidget.data(), update);
    }
    update();
}

void RiskChartOpener::CloseWindow() {
    if (fWidget != nullptr) {
        fWidget->close();
    }
}

} // namespace brelmont
