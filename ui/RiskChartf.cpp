// SPDX-License-Identifier: MIT
#include "ui/RiskChartf.h"

#include "base/Exception.h"
#include "stakecalc/KellyEngine.h"
#include "ui/Dialogs.h"
#include "ui/FileFolders.h"
#include "ui_RiskChartf.h"

#include <QChart>
#include <QChartView>
#include <QFutureWatcher>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPromise>
#include <QScatterSeries>
#include <QScopeGuard>
#include <QSvgGenerator>
#include <QToolTip>
#include <QValueAxis>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>
#include <tuple>

namespace brelmont {

namespace {

// Points of each formula curve: finer than the chart's pixels at any usual window width.
constexpr int kFormulaPoints = 240;
// Exact figures: each curve point within 0,05 percentage points (a fifth of a pixel on a 500-pixel axis),
// each mark within 0,01 as its label shows them.
constexpr int kExactPoints = 32;
// The work is capped so that a bet with a vanishing edge (a level thousands of losses away, where the work
// grows without bound) still ends within seconds of worker time; such a figure is the middle of the bracket
// it reached, and a mark says how wide that is.
constexpr RuinLimits kCurveLimits{5e-4, 5'000'000};
constexpr RuinLimits kMarkLimits{1e-4, 30'000'000};

const std::array<const char*, 4> kLevelNames{"40% от банка", "60% от банка", "80% от банка", "90% от банка"};
const std::array<QColor, 4> kLevelColours{QColor(0x1f, 0x77, 0xb4), QColor(0xe0, 0x7b, 0x00),
                                          QColor(0x2c, 0xa0, 0x2c), QColor(0xc6, 0x28, 0x28)};
const QColor kGrowthColour(0x55, 0x3c, 0x9a);
const char* const kChanceTitle = "Вероятность потерять долю банка, %";
const char* const kChanceTitleShort = "Вероятность потери, %";
const char* const kGrowthTitle = "Ожидаемый рост банка за ставку, %";
const char* const kGrowthTitleShort = "Рост за ставку, %";

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

QString Percent(double v) {
    return Text(PercentText(v)) + QStringLiteral(" %");
}

QString Chances(const std::array<double, 4>& c) {
    return Text(PercentText(c[0])) + QStringLiteral(" / ") + Text(PercentText(c[1])) + QStringLiteral(" / ") +
           Text(PercentText(c[2])) + QStringLiteral(" / ") + Text(PercentText(c[3])) + QStringLiteral(" %");
}

// The exact figure shown for a bracket: its middle, within half the bracket of the truth.
std::array<double, 4> Middles(const std::array<RuinBounds, 4>& bounds) {
    std::array<double, 4> m{};
    for (std::size_t i = 0; i < 4; ++i) {
        m[i] = 100 * (bounds[i].lower + bounds[i].upper) / 2;
    }
    return m;
}

// Curve stakes in an order that fills the whole curve coarsely first, so a slow stake never leaves a gap.
std::vector<int> CoarseFirst(int count) {
    std::vector<int> order;
    std::vector<bool> taken(static_cast<std::size_t>(count) + 1, false);
    for (int step = count; step >= 1; step /= 2) {
        for (int i = step; i <= count; i += step) {
            if (!taken[static_cast<std::size_t>(i)]) {
                taken[static_cast<std::size_t>(i)] = true;
                order.push_back(i);
            }
        }
    }
    for (int i = 1; i <= count; ++i) {
        if (!taken[static_cast<std::size_t>(i)]) {
            order.push_back(i);
        }
    }
    return order;
}

} // namespace

// Steps of 1, 2, 2,5 or 5 times a power of ten, the largest that gives at least four intervals.
double RoundTickStep(double span) {
    if (!(span > 0) || !std::isfinite(span)) {
        return 1;
    }
    const double power = std::pow(10.0, std::floor(std::log10(span)));
    for (const double step : {5.0, 2.5, 2.0, 1.0, 0.5}) {
        if (span / (step * power) >= 4 - 1e-9) {
            return step * power;
        }
    }
    return power / 4;
}

namespace {

QPen CurvePen(const QColor& colour, Qt::PenStyle style, qreal width) {
    QPen pen(colour, width, style);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

} // namespace

TRiskChart::TRiskChart(QWidget* parent) : QWidget(parent), ui(new Ui::TRiskChart) {
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    BuildChart();
    connect(ui->SaveButton, &QPushButton::clicked, this, &TRiskChart::SaveButtonClick);
    ShowSentence(QString());
}

TRiskChart::~TRiskChart() {
    if (fCancel) {
        fCancel->store(true);
    }
}

void TRiskChart::closeEvent(QCloseEvent* event) {
    // The program may end right after this window closes; the worker must not keep it waiting.
    if (fCancel) {
        fCancel->store(true);
    }
    QWidget::closeEvent(event);
}

void TRiskChart::BuildChart() {
    fChart = new QChart();
    fChart->setLocalizeNumbers(true);
    fChart->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    fChart->setAnimationOptions(QChart::NoAnimation);
    fChart->legend()->setAlignment(Qt::AlignBottom);
    fChart->setMargins(QMargins(4, 4, 4, 4));
    // The chart's own frame only takes room from the plot, which a small screen needs whole.
    fChart->setBackgroundRoundness(0);
    fChart->layout()->setContentsMargins(0, 0, 0, 0);

    fStakeAxis = new QValueAxis(fChart);
    fStakeAxis->setTitleText(QStringLiteral("Ставка, % от банка"));
    fStakeAxis->setLabelFormat(QStringLiteral("%.3g"));
    fStakeAxis->setTickType(QValueAxis::TicksDynamic);
    fStakeAxis->setTickAnchor(0);
    fChanceAxis = new QValueAxis(fChart);
    fChanceAxis->setTitleText(QString::fromUtf8(kChanceTitle));
    fChanceAxis->setRange(0, 100);
    fChanceAxis->setTickCount(11);
    fChanceAxis->setLabelFormat(QStringLiteral("%.0f"));
    fGrowthAxis = new QValueAxis(fChart);
    fGrowthAxis->setTitleText(QString::fromUtf8(kGrowthTitle));
    fGrowthAxis->setLabelFormat(QStringLiteral("%.3g"));
    fGrowthAxis->setLinePenColor(kGrowthColour);
    fGrowthAxis->setLabelsColor(kGrowthColour);
    fGrowthAxis->setTitleBrush(kGrowthColour);
    fGrowthAxis->setGridLineVisible(false);
    fChart->addAxis(fStakeAxis, Qt::AlignBottom);
    fChart->addAxis(fChanceAxis, Qt::AlignLeft);
    fChart->addAxis(fGrowthAxis, Qt::AlignRight);

    const auto add = [this](QXYSeries* series, QValueAxis* y) {
        fChart->addSeries(series);
        series->attachAxis(fStakeAxis);
        series->attachAxis(y);
    };
    for (std::size_t i = 0; i < 4; ++i) {
        fFormula[i] = new QLineSeries(fChart);
        fFormula[i]->setName(QString::fromUtf8(kLevelNames[i]));
        fFormula[i]->setPen(CurvePen(kLevelColours[i], Qt::SolidLine, 2));
        add(fFormula[i], fChanceAxis);
        fExact[i] = new QLineSeries(fChart);
        fExact[i]->setName(QStringLiteral("%1, точно").arg(QString::fromUtf8(kLevelNames[i])));
        fExact[i]->setPen(CurvePen(kLevelColours[i], Qt::DashLine, 2));
        add(fExact[i], fChanceAxis);
    }
    fGrowth = new QLineSeries(fChart);
    fGrowth->setName(QStringLiteral("Рост банка"));
    fGrowth->setPen(CurvePen(kGrowthColour, Qt::SolidLine, 2.5));
    add(fGrowth, fGrowthAxis);
    for (std::size_t m = 0; m < fMarkLines.size(); ++m) {
        fMarkLines[m] = new QLineSeries(fChart);
        fMarkLines[m]->setPen(CurvePen(QColor(0x60, 0x60, 0x60), Qt::DashDotLine, 1));
        add(fMarkLines[m], fChanceAxis);
        fMarkLabels[m] = new QGraphicsSimpleTextItem(fChart);
        fMarkLabels[m]->setBrush(QColor(0x30, 0x30, 0x30));
        fMarkLabels[m]->setZValue(10);
    }
    fMarkDots = new QScatterSeries(fChart);
    fMarkDots->setMarkerSize(7);
    fMarkDots->setColor(Qt::black);
    fMarkDots->setBorderColor(Qt::white);
    add(fMarkDots, fChanceAxis);
    // The legend names each level once, by its colour; the dashes and the marks are named in the texts
    // under the chart and on the marks themselves.
    std::vector<QAbstractSeries*> unnamed{fMarkDots, fMarkLines[0], fMarkLines[1], fMarkLines[2]};
    unnamed.insert(unnamed.end(), fExact.begin(), fExact.end());
    for (QAbstractSeries* series : unnamed) {
        for (QLegendMarker* marker : fChart->legend()->markers(series)) {
            marker->setVisible(false);
        }
    }

    for (std::size_t i = 0; i < 4; ++i) {
        connect(fFormula[i], &QLineSeries::hovered, this, [this, i](const QPointF& p, bool state) {
            ShowPoint(QStringLiteral("%1 по формуле").arg(QString::fromUtf8(kLevelNames[i])), p, state);
        });
        connect(fExact[i], &QLineSeries::hovered, this, [this, i](const QPointF& p, bool state) {
            ShowPoint(QStringLiteral("%1 точно").arg(QString::fromUtf8(kLevelNames[i])), p, state);
        });
    }
    connect(fGrowth, &QLineSeries::hovered, this,
            [this](const QPointF& p, bool state) { ShowPoint(QStringLiteral("Рост за ставку"), p, state); });

    connect(fChart, &QChart::plotAreaChanged, this, [this] {
        FitAxisTitles();
        PlaceMarkLabels();
    });

    fView = new QChartView(fChart, ui->ChartHolder);
    fView->installEventFilter(this);
    fView->setRenderHint(QPainter::Antialiasing);
    fView->setAccessibleName(QStringLiteral("График риска"));
    fView->setAccessibleDescription(
        QStringLiteral("Ось X: %1. Левая ось: %2. Правая ось: %3.")
            .arg(fStakeAxis->titleText(), fChanceAxis->titleText(), fGrowthAxis->titleText()));
    ui->ChartLayout->addWidget(fView);
}

void TRiskChart::ShowSentence(const QString& sentence) {
    const bool drawing = sentence.isEmpty();
    ui->Sentence->setText(sentence);
    ui->Sentence->setVisible(!drawing);
    ui->ChartHolder->setVisible(drawing);
    ui->SaveButton->setEnabled(drawing);
    if (!drawing) {
        ui->MarkTexts->clear();
        ui->PointInfo->clear();
    }
}

void TRiskChart::SetFieldTexts(const QString& probability, const QString& odds, const QString& stake) {
    fReading = ReadChartFields(probability.toStdString(), odds.toStdString(), stake.toStdString());
    if (fCancel) {
        fCancel->store(true);
    }
    ++fGeneration;
    fPending = false;
    if (!fReading.ok) {
        ShowSentence(Text(fReading.sentence));
        fMarks.clear();
        fExactPoints.clear();
        emit ExactReady();
        return;
    }
    ShowSentence(QString());
    fMarks.clear();
    fMarks.push_back({QStringLiteral("Ставка Келли"), QStringLiteral("Келли"), fReading.kelly, {}, {}});
    fMarks.push_back(
        {QStringLiteral("Половина ставки Келли"), QStringLiteral("½ Келли"), fReading.kelly / 2, {}, {}});
    if (fReading.stake) {
        fMarks.push_back(
            {QStringLiteral("Ваша ставка"), QStringLiteral("Ваша ставка"), *fReading.stake, {}, {}});
    }
    for (Mark& mark : fMarks) {
        mark.formula = FormulaChances(fReading.p, fReading.k, mark.stake);
    }
    fExactPoints.clear();
    RedrawFormula();
    RedrawExact();
    RedrawMarks();
    StartExact();
}

void TRiskChart::RedrawFormula() {
    const FormulaCurves curves = ComputeFormulaCurves(fReading, kFormulaPoints);
    const double end = StakeAxisEnd(fReading);
    fStakeAxis->setRange(0, end);
    fStakeAxis->setTickInterval(RoundTickStep(end));
    for (std::size_t i = 0; i < 4; ++i) {
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(curves.chances[i].size()));
        for (const CurvePoint& p : curves.chances[i]) {
            points.append(QPointF(p.stake, p.value));
        }
        fFormula[i]->replace(points);
    }
    QList<QPointF> growth;
    double top = 0;
    double bottom = 0;
    for (const CurvePoint& p : curves.growth) {
        growth.append(QPointF(p.stake, p.value));
        top = std::max(top, p.value);
        bottom = std::min(bottom, p.value);
    }
    fGrowth->replace(growth);
    // Zero growth sits level with the bottom of the chance axis; a steep fall past twice Kelly is cut off
    // rather than squashing the peak.
    bottom = std::max(bottom, -top);
    fGrowthAxis->setRange(bottom, top * 1.1);
    fGrowthAxis->applyNiceNumbers();
}

void TRiskChart::StartExact() {
    fCancel = std::make_shared<std::atomic<bool>>(false);
    fPending = true;
    const int generation = fGeneration;
    const double p = fReading.p;
    const double k = fReading.k;
    const double end = StakeAxisEnd(fReading);
    std::vector<std::pair<int, double>> work;
    for (std::size_t m = 0; m < fMarks.size(); ++m) {
        work.emplace_back(-1 - static_cast<int>(m), fMarks[m].stake);
    }
    for (const int i : CoarseFirst(kExactPoints)) {
        const double stake = end * i / kExactPoints;
        if (stake < 100) {
            work.emplace_back(i, stake);
        }
    }

    auto* watcher = new QFutureWatcher<ExactPoint>(this);
    connect(watcher, &QFutureWatcher<ExactPoint>::resultReadyAt, this,
            [this, watcher, generation](int index) {
                if (generation == fGeneration) {
                    TakeExact(watcher->resultAt(index));
                }
            });
    connect(watcher, &QFutureWatcher<ExactPoint>::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation == fGeneration) {
            fPending = false;
            emit ExactReady();
        }
    });
    watcher->setFuture(QtConcurrent::run([p, k, work, cancel = fCancel](QPromise<ExactPoint>& promise) {
        for (const auto& [slot, stake] : work) {
            if (cancel->load()) {
                return;
            }
            try {
                const RuinLimits& limits = slot < 0 ? kMarkLimits : kCurveLimits;
                promise.addResult(ExactPoint{slot, stake, ExactChances(p, k, stake, limits, cancel.get())});
            } catch (const EAbort&) {
                return;
            } catch (const std::exception&) {
                // A stake outside the computation's domain has no exact point; the curve goes round it.
            }
        }
    }));
}

void TRiskChart::TakeExact(const ExactPoint& point) {
    const std::array<double, 4> chances = Middles(point.bounds);
    if (point.slot < 0) {
        Mark& mark = fMarks[static_cast<std::size_t>(-1 - point.slot)];
        mark.exact = chances;
        mark.exactSpread = 0;
        for (const RuinBounds& b : point.bounds) {
            if (!b.converged) {
                mark.exactSpread = std::max(mark.exactSpread, 100 * (b.upper - b.lower) / 2);
            }
        }
        RedrawMarks();
    } else {
        fExactPoints.emplace_back(point.stake, chances);
        RedrawExact();
    }
}

void TRiskChart::RedrawExact() {
    std::sort(fExactPoints.begin(), fExactPoints.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < 4; ++i) {
        QList<QPointF> points;
        if (!fExactPoints.empty()) {
            points.append(QPointF(0, 0)); // no stake, no fall
        }
        for (const auto& [stake, chances] : fExactPoints) {
            points.append(QPointF(stake, chances[i]));
        }
        fExact[i]->replace(points);
    }
}

void TRiskChart::RedrawMarks() {
    QStringList lines;
    QList<QPointF> dots;
    for (std::size_t m = 0; m < fMarks.size(); ++m) {
        const Mark& mark = fMarks[m];
        QString line = mark.name + QStringLiteral(" ") + Percent(mark.stake) +
                       QStringLiteral(": по формуле ") +
                       (mark.formula ? Chances(*mark.formula) : QStringLiteral("не вычисляется"));
        line += QStringLiteral("; точно для целых ставок ") +
                (mark.exact ? Chances(*mark.exact) : QStringLiteral("считается…"));
        if (mark.exact && mark.exactSpread > 0) {
            line += QStringLiteral(" (± ") + Text(PercentText(std::max(mark.exactSpread, 0.01))) +
                    QStringLiteral(" п. п.: перевес так мал, что точнее за разумное время не сосчитать)");
        }
        lines.append(line);
        fMarkLines[m]->setName(mark.shortName + QStringLiteral(" ") + Percent(mark.stake));
        fMarkLines[m]->replace(QList<QPointF>{QPointF(mark.stake, 0), QPointF(mark.stake, 100)});
        fMarkLabels[m]->setText(fMarkLines[m]->name());
        if (mark.formula) {
            for (const double c : *mark.formula) {
                dots.append(QPointF(mark.stake, c));
            }
        }
    }
    for (std::size_t m = fMarks.size(); m < fMarkLines.size(); ++m) {
        fMarkLines[m]->clear();
        fMarkLines[m]->setName(QString());
        fMarkLabels[m]->setText(QString());
    }
    fMarkDots->replace(dots);
    lines.append(
        QStringLiteral("Вероятности потерять 40 / 60 / 80 / 90 % банка. Сплошные линии — формула "
                       "программы, она считает капитал непрерывным; пунктир — точные значения для "
                       "целых ставок. Фиолетовая линия — ожидаемый рост банка за ставку (правая ось)."));
    if (!fReading.stakeNote.empty()) {
        lines.append(Text(fReading.stakeNote));
    }
    ui->MarkTexts->setText(lines.join(QLatin1Char('\n')));
    PlaceMarkLabels();
}

// The marks' names stand above the plot, where no curve runs; names that would touch go on rows of their
// own, and the chart's top margin grows to hold the rows.
void TRiskChart::PlaceMarkLabels() {
    const QRectF plot = fChart->plotArea();
    std::vector<std::size_t> order;
    for (std::size_t m = 0; m < fMarkLabels.size(); ++m) {
        fMarkLabels[m]->setVisible(!fMarkLabels[m]->text().isEmpty() && fReading.ok);
        if (fMarkLabels[m]->isVisible()) {
            order.push_back(m);
        }
    }
    std::sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return fMarkLines[a]->at(0).x() < fMarkLines[b]->at(0).x();
    });
    const qreal lineHeight = fMarkLabels[0]->boundingRect().height() + 1;
    const qreal chartWidth = fChart->size().width();
    std::vector<qreal> rowEnds;
    std::vector<std::pair<std::size_t, QPointF>> places;
    for (const std::size_t m : order) {
        const qreal width = fMarkLabels[m]->boundingRect().width();
        const qreal x = fChart->mapToPosition(QPointF(fMarkLines[m]->at(0).x(), 100), fMarkLines[m]).x();
        const qreal left = std::clamp(x - width / 2, 0.0, std::max(0.0, chartWidth - width));
        std::size_t row = 0;
        while (row < rowEnds.size() && rowEnds[row] + 6 > left) {
            ++row;
        }
        if (row == rowEnds.size()) {
            rowEnds.push_back(0);
        }
        rowEnds[row] = left + width;
        places.emplace_back(m, QPointF(left, static_cast<qreal>(row)));
    }
    const int rows = static_cast<int>(rowEnds.size());
    const int top = 4 + static_cast<int>(std::ceil(lineHeight * rows));
    if (fChart->margins().top() != top) {
        // The plot moves down, and this runs again from its signal.
        fChart->setMargins(QMargins(4, top, 4, 4));
        fChart->layout()->activate();
        return;
    }
    for (const auto& [m, at] : places) {
        const qreal y = plot.top() - lineHeight * (rows - at.y()) - 2;
        fMarkLabels[m]->setPos(at.x(), y);
    }
}

// A vertical axis's title is cut when it is longer than the plot is high, as on a small screen at a large
// scale; the short form says the same in fewer words.
void TRiskChart::FitAxisTitles() {
    const qreal room = fChart->plotArea().height();
    for (const auto& [axis, full, brief] : {std::tuple{fChanceAxis, kChanceTitle, kChanceTitleShort},
                                            std::tuple{fGrowthAxis, kGrowthTitle, kGrowthTitleShort}}) {
        const QString wanted =
            QFontMetricsF(axis->titleFont()).horizontalAdvance(QString::fromUtf8(full)) <= room
                ? QString::fromUtf8(full)
                : QString::fromUtf8(brief);
        if (axis->titleText() != wanted) {
            axis->setTitleText(wanted);
        }
    }
}

QRectF TRiskChart::MarkLabelRect(int mark) const {
    const QGraphicsSimpleTextItem& label = *fMarkLabels[static_cast<std::size_t>(mark)];
    return label.isVisible() ? label.sceneBoundingRect() : QRectF();
}

void TRiskChart::HidePoint() {
    ui->PointInfo->clear();
    QToolTip::hideText();
}

bool TRiskChart::eventFilter(QObject* watched, QEvent* event) {
    if (watched == fView && event->type() == QEvent::Leave) {
        HidePoint();
    }
    return QWidget::eventFilter(watched, event);
}

void TRiskChart::ShowPoint(const QString& series, const QPointF& point, bool state) {
    if (!state) {
        HidePoint();
        return;
    }
    const QString text = series + QStringLiteral(" при ставке ") + Percent(point.x()) + QStringLiteral(": ") +
                         Percent(point.y());
    ui->PointInfo->setText(text);
    QToolTip::showText(QCursor::pos(), text, fView);
}

QString TRiskChart::PictureTitle() const {
    if (!fReading.ok) {
        return {};
    }
    QString title = QStringLiteral("Вероятность события %1, коэффициент %2, ")
                        .arg(Percent(fReading.p), Text(PercentText(fReading.k)));
    if (fReading.stake) {
        title += QStringLiteral("ставка %1 (ставка Келли %2)")
                     .arg(Percent(*fReading.stake), Percent(fReading.kelly));
    } else {
        title += QStringLiteral("ставка Келли %1").arg(Percent(fReading.kelly));
    }
    return title;
}

void TRiskChart::SaveTo(const QString& path) {
    // A picture leaves the program without the main window beside it, so it names its bet itself; the window
    // leaves the room to the plot.
    fChart->setTitle(PictureTitle());
    fChart->layout()->activate();
    const auto untitle = qScopeGuard([this] { fChart->setTitle(QString()); });
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(fView->size());
        svg.setViewBox(QRect(QPoint(0, 0), fView->size()));
        svg.setTitle(windowTitle());
        QPainter painter;
        if (!painter.begin(&svg)) {
            throw EInOutError("Не удалось записать файл «" + path.toStdString() + "»", 0);
        }
        fView->render(&painter);
        painter.end();
        return;
    }
    if (!fView->grab().save(path, "PNG")) {
        throw EInOutError("Не удалось записать файл «" + path.toStdString() + "»", 0);
    }
}

void TRiskChart::SaveButtonClick() {
    Guarded([this] {
        QString filter;
        const QString path = AskSaveFileName(
            this, QStringLiteral("Сохранить график"), QStringLiteral("график-риска.png"),
            QStringLiteral("Рисунок PNG (*.png);;Рисунок SVG (*.svg)"), &filter, FileKind::Picture);
        if (path.isEmpty()) {
            return;
        }
        QString target = path;
        if (!target.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) &&
            !target.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
            target +=
                filter.contains(QStringLiteral("svg")) ? QStringLiteral(".svg") : QStringLiteral(".png");
        }
        if (const QString refusal = RefusalFor(target); !refusal.isEmpty()) {
            throw Exception(refusal.toStdString());
        }
        SaveTo(target);
    });
}

} // namespace brelmont
