// SPDX-License-Identifier: MIT
// The risk chart window as the main window knows it. The window itself, and Qt Charts behind it, live in a
// module that the program loads the first time the chart is asked for: a start that never shows the chart
// does not load those libraries, which would otherwise add a good part to the program's memory at start.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace brelmont {

class IRiskChartWindow {
public:
    virtual ~IRiskChartWindow() = default;

    // The window, deleted when it closes.
    virtual QWidget& Widget() = 0;
    // Reads the main window's three input texts and redraws.
    virtual void SetFieldTexts(const QString& probability, const QString& odds, const QString& stake) = 0;
};

// Makes a new chart window, owned by nothing until it is shown and closed.
using RiskChartFactory = std::function<IRiskChartWindow*()>;

// The module's file name and its one entry, `IRiskChartWindow* entry(const char* applicationTitle)`: the
// module keeps its own copy of the program's process-wide settings, so the title of its error boxes comes in.
inline constexpr const char* kRiskChartModuleName = "brelmont-riskchart.so";
inline constexpr const char* kRiskChartEntryName = "brelmont_create_risk_chart";
using RiskChartEntry = IRiskChartWindow* (*)(const char* applicationTitle);

// Loads the module, once, from beside the program or from its installed folder, and makes a window with it.
// Raises Exception, with the loader's reason, when the module cannot be found or loaded.
IRiskChartWindow* CreateRiskChartFromModule();

} // namespace brelmont
