// SPDX-License-Identifier: MIT
// RiskChartOpener ties the risk chart window to the main window: a "Показать график риска" entry with its
// shortcut in the context menu of every result field, one chart window at a time, placed beside the main
// window, following the input fields as they are edited, answering F1 with the help's chart section and
// closing with the main window.
#pragma once

#include "ui/RiskChartWindow.h"

#include <QObject>
#include <QPointer>
#include <array>
#include <vector>

class QAction;
class QLineEdit;
class QMenu;
class QWidget;

namespace brelmont {

// The help index entry F1 opens in the chart window.
inline constexpr const char* kRiskChartHelpKeyword = "график риска";

class RiskChartOpener : public QObject {
    Q_OBJECT

public:
    // `inputs` are the probability, odds and stake fields; `results` the fields whose context menu offers
    // the chart. The windows come from the module unless a factory is set.
    RiskChartOpener(QWidget& mainWindow, std::array<QLineEdit*, 3> inputs,
                    const std::vector<QLineEdit*>& results);

    void SetFactory(RiskChartFactory factory) { fFactory = std::move(factory); }

    // Opens the chart window, or brings the open one to the front. Raises what the factory raises.
    void Open();
    void CloseWindow();
    // The open chart window, or none.
    IRiskChartWindow* Window() const { return fWidget != nullptr ? fWindow : nullptr; }
    QAction& Action() { return *fAction; }

    // The field's own context menu with the chart entry and the other windows' entries added; the caller
    // owns it.
    QMenu* BuildMenu(QLineEdit& field);
    // Offers another window's entry in the same menus, after the chart's.
    void AddMenuEntry(QAction& entry) { fMoreEntries.push_back(&entry); }

private:
    void FollowInputs();
    void GiveHelp(QWidget& window);
    void Place();

    QWidget& fMain;
    std::array<QLineEdit*, 3> fInputs;
    QAction* fAction = nullptr;
    std::vector<QAction*> fMoreEntries;
    RiskChartFactory fFactory = CreateRiskChartFromModule;
    IRiskChartWindow* fWindow = nullptr;
    QPointer<QWidget> fWidget;
};

} // namespace brelmont
