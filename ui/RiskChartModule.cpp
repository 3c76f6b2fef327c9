// SPDX-License-Identifier: MIT
// The risk chart module's entry. The module carries its own copies of the core's process-wide settings: the
// decimal separator is read afresh from the same locale, the title of error boxes comes from the program, and
// Qt's Russian catalogue is installed unless it is already.
#include "stakecalc/NumberText.h"
#include "ui/Dialogs.h"
#include "ui/RiskChartf.h"
#include "ui/ToolkitTranslation.h"

#include <string_view>
#include <type_traits>

extern "C" __attribute__((visibility("default"))) brelmont::IRiskChartWindow*
brelmont_create_risk_chart(const char* applicationTitle) {
    brelmont::SetApplicationTitle(applicationTitle != nullptr ? applicationTitle : "");
    brelmont::RefreshDecimalSeparator();
    // The program has installed it already; a module that may be loaded by another host says the same words.
    brelmont::InstallToolkitTranslation();
    return new brelmont::TRiskChart();
}

static_assert(std::string_view(brelmont::kRiskChartEntryName) == "brelmont_create_risk_chart");
static_assert(std::is_same_v<decltype(&brelmont_create_risk_chart), brelmont::RiskChartEntry>);
