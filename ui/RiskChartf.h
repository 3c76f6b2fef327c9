// SPDX-License-Identifier: MIT
// TRiskChart, the risk chart window: how the four drawdown chances and the growth of the bank change with the
// stake, for the probability and odds typed in the main window. Solid curves are the program's own figures
// (the Kelly engine run at each stake); dashed curves are the exact chances for whole bets, computed off the
// user-interface thread and dropped when a newer edit arrives. Marks stand at the Kelly stake, at half of it
// and at the typed stake. Its controls come from RiskChartf.ui; the figures from stakecalc/RiskCurves.
// The program loads it from a module on first use (RiskChartWindow.h).
#pragma once

#include "stakecalc/RiskCurves.h"
#include "ui/RiskChartWindow.h"

#include <QWidget>
#include <array>
#include <atomic>
#include <memory>
#include <vector>

class QChart;
class QGraphicsSimpleTextItem;
class QChartView;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace Ui {
class TRiskChart;
}

namespace brelmont {

// The step between the stake axis's ticks for an axis from 0 to `span`: 1, 2, 2,5 or 5 times a power of ten,
// at least four steps. Domain: span > 0; anything else gives 1.
double RoundTickStep(double span);

class TRiskChart : public QWidget, public IRiskChartWindow {
    Q_OBJECT

public:
    explicit TRiskChart(QWidget* parent = nullptr);
    ~TRiskChart() override;

    Ui::TRiskChart& Controls() { return *ui; }
    QChart& Chart() { return *fChart; }
    QChartView& View() { return *fView; }
    const ChartReading& Reading() const { return fReading; }

    // Reads the main window's three input texts and redraws the program's curves at once; the exact curves
    // follow from a worker, and any still being computed for older texts are dropped.
    void SetFieldTexts(const QString& probability, const QString& odds, const QString& stake) override;
    QWidget& Widget() override { return *this; }

    // The formula series by level (0: "40% от банка" .. 3: "90% от банка"), their exact counterparts, the
    // growth series and the marks' vertical lines.
    QLineSeries& FormulaSeries(int level) { return *fFormula[static_cast<std::size_t>(level)]; }
    QLineSeries& ExactSeries(int level) { return *fExact[static_cast<std::size_t>(level)]; }
    QLineSeries& GrowthSeries() { return *fGrowth; }

    // True while exact figures for the current texts are still being computed.
    bool ExactPending() const { return fPending; }

    // Writes the chart as PNG or SVG, chosen by the file's suffix. Raises EInOutError when it cannot be
    // written.
    void SaveTo(const QString& path);
    void SaveButtonClick();
    // The bet a saved picture shows: probability, odds and stake; empty while nothing is drawn.
    QString PictureTitle() const;

    // Where a mark's name is drawn on the chart (0: Kelly, 1: half, 2: typed), empty when it has none.
    QRectF MarkLabelRect(int mark) const;

signals:
    // Every exact figure for the current texts has arrived.
    void ExactReady();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct ExactPoint {
        int slot = 0; // < 0: a mark (−1 Kelly, −2 half, −3 typed); >= 0: a curve point
        double stake = 0;
        std::array<RuinBounds, 4> bounds{};
    };
    struct Mark {
        QString name;
        QString shortName; // on the chart
        double stake = 0;
        std::optional<std::array<double, 4>> formula;
        std::optional<std::array<double, 4>> exact;
        double exactSpread = 0; // percentage points either side, when the work ran out before the width
    };

    void BuildChart();
    void ShowSentence(const QString& sentence);
    void RedrawFormula();
    void StartExact();
    void TakeExact(const ExactPoint& point);
    void RedrawExact();
    void RedrawMarks();
    void ShowPoint(const QString& series, const QPointF& point, bool state);
    void HidePoint();
    void PlaceMarkLabels();
    void FitAxisTitles();

    std::unique_ptr<Ui::TRiskChart> ui;
    QChart* fChart = nullptr;
    QChartView* fView = nullptr;
    QValueAxis* fStakeAxis = nullptr;
    QValueAxis* fChanceAxis = nullptr;
    QValueAxis* fGrowthAxis = nullptr;
    std::array<QLineSeries*, 4> fFormula{};
    std::array<QLineSeries*, 4> fExact{};
    QLineSeries* fGrowth = nullptr;
    std::array<QLineSeries*, 3> fMarkLines{};
    std::array<QGraphicsSimpleTextItem*, 3> fMarkLabels{};
    QScatterSeries* fMarkDots = nullptr;

    ChartReading fReading;
    std::vector<Mark> fMarks;
    std::vector<std::pair<double, std::array<double, 4>>> fExactPoints;
    std::shared_ptr<std::atomic<bool>> fCancel;
    int fGeneration = 0;
    bool fPending = false;
};

} // namespace brelmont
