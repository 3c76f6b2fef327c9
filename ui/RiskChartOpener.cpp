// SPDX-License-Identifier: MIT
#include "ui/RiskChartOpener.h"

#include "base/Exception.h"
#include "helpdelivery/display/HelpSystemQt.h"
#include "ui/Dialogs.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QLineEdit>
#include <QMenu>
#include <QWidget>
#include <memory>

#ifndef BRELMONT_MODULES_FROM_PROGRAM
#error "the loader needs the installed modules' folder, seen from the program's"
#endif

namespace brelmont {

namespace {

// Beside the program in the build tree, in the package's own library folder once installed; never from a
// search path, so that no other file of that name is ever loaded in its place.
QString FindRiskChartModule() {
    const QString folder = QCoreApplication::applicationDirPath();
    const QLatin1StringView name(kRiskChartModuleName);
    for (const QString& candidate :
         {folder + u'/' + name, folder + u'/' + QLatin1String(BRELMONT_MODULES_FROM_PROGRAM) + u'/' + name}) {
        if (QFileInfo(candidate).isFile()) {
            return QFileInfo(candidate).absoluteFilePath();
        }
    }
    return {};
}

RiskChartEntry LoadRiskChartEntry() {
    const QString path = FindRiskChartModule();
    if (path.isEmpty()) {
        throw Exception(std::string("Не удалось открыть график риска: не найден файл ") +
                        kRiskChartModuleName);
    }
    // Never unloaded: its windows and their code live as long as the program.
    auto* module = new QLibrary(path);
    const auto entry = reinterpret_cast<RiskChartEntry>(module->resolve(kRiskChartEntryName));
    if (entry == nullptr) {
        const std::string reason = module->errorString().toStdString();
        delete module;
        throw Exception("Не удалось открыть график риска: " + reason);
    }
    return entry;
}

} // namespace

IRiskChartWindow* CreateRiskChartFromModule() {
    static RiskChartEntry entry = nullptr;
    if (entry == nullptr) {
        entry = LoadRiskChartEntry();
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
