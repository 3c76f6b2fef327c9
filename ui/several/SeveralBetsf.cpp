// SPDX-License-Identifier: MIT
#include "ui/several/SeveralBetsf.h"

#include "base/Exception.h"
#include "multibet/FairOdds.h"
#include "stakecalc/Commands.h"
#include "ui/Dialogs.h"
#include "ui/FileFolders.h"
#include "ui/several/BetsCsvFile.h"
#include "ui/several/BetsTableModel.h"
#include "ui_SeveralBetsf.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>

namespace brelmont {

namespace {

constexpr std::array<DevigMethod, 4> kMethods{DevigMethod::Multiplicative, DevigMethod::Additive,
                                              DevigMethod::Power, DevigMethod::Shin};
// The risk levels offered, as the share of the bank lost.
constexpr std::array<int, 4> kLostPercent{40, 60, 80, 90};

const char* const kComputing = "вычисляется…";

QString Percent(double fraction) {
    return NumberText(fraction * 100) + QStringLiteral(" %");
}

QString BracketText(const ChanceBracket& bracket) {
    if (bracket.upper <= 0) {
        return QStringLiteral("0 %");
    }
    if (bracket.lower >= 1) {
        return QStringLiteral("100 %");
    }
    return QStringLiteral("от %1 до %2").arg(NumberText(bracket.lower * 100), Percent(bracket.upper));
}

// A number typed into one of the controls, or the sentence saying why it cannot be used.
std::optional<double> ControlNumber(const QLineEdit& edit, const QString& what, double low, bool lowIncluded,
                                    double high, bool highIncluded, QString& sentence) {
    const QString text = edit.text().trimmed();
    double value = 0;
    try {
        value = FieldNumber(text.toStdString());
    } catch (const std::exception&) {
        sentence = QStringLiteral("%1: «%2» — не число.").arg(what, text);
        return std::nullopt;
    }
    const bool aboveLow = lowIncluded ? value >= low : value > low;
    const bool belowHigh = highIncluded ? value <= high : value < high;
    if (!std::isfinite(value) || !aboveLow || !belowHigh) {
        sentence =
            QStringLiteral("%1: «%2» должно быть %3 %4 и %5 %6.")
                .arg(what, text, lowIncluded ? QStringLiteral("не меньше") : QStringLiteral("больше"),
                     NumberText(low), highIncluded ? QStringLiteral("не больше") : QStringLiteral("меньше"),
                     NumberText(high));
        return std::nullopt;
    }
    return value;
}

struct ChanceWork {
    std::optional<StakePlan> plan; // found by the worker when the request holds a chosen risk
    std::optional<std::array<ChanceBracket, 4>> chances;
    std::string error;
};

// One worker thread: an edit cancels the work before it, which stops at its next look at the flag, so the
// work of quick edits queues behind it instead of taking a second core from the user interface.
struct OneThreadPool : QThreadPool {
    OneThreadPool() { setMaxThreadCount(1); }
};

QThreadPool& ChancesWorker() {
    static OneThreadPool pool;
    return pool;
}

} // namespace

TSeveralBets::TSeveralBets(QWidget* parent) : QWidget(parent), ui(new Ui::TSeveralBets) {
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    fModel = new BetsTableModel(this);
    ui->Table->setModel(fModel);
    Bind();
    fModel->insertRows(0, 3);
    ui->Table->setCurrentIndex(fModel->index(0, BetsTableModel::kName));
    // The bets are what a bettor types first.
    ui->Table->setFocus();
    Recompute();
}

TSeveralBets::~TSeveralBets() {
    CancelWork();
    // An editor still open commits its text while the table goes; nothing may be recomputed by then.
    fModel->disconnect(this);
    ui->Table->selectionModel()->disconnect(this);
}

void TSeveralBets::closeEvent(QCloseEvent* event) {
    // The program may end right after this window closes; the worker must not keep it waiting.
    CancelWork();
    QWidget::closeEvent(event);
}

void TSeveralBets::CancelWork() {
    if (fCancel) {
        fCancel->store(true);
    }
}

void TSeveralBets::Bind() {
    QHeaderView& header = *ui->Table->horizontalHeader();
    header.setSectionResizeMode(QHeaderView::Interactive);
    header.setSectionResizeMode(BetsTableModel::kName, QHeaderView::Stretch);
    // Fixed widths from the captions: measuring the contents on every edit would cost each keystroke.
    for (int column = BetsTableModel::kOdds; column < BetsTableModel::kColumnCount; ++column) {
        int width = 0;
        for (const QString& line :
             fModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().split(u'\n')) {
            width = std::max(width, header.fontMetrics().horizontalAdvance(line));
        }
        header.resizeSection(column, width + 16);
    }
    ui->Table->verticalHeader()->setDefaultSectionSize(ui->Table->fontMetrics().height() + 8);

    connect(fModel, &BetsTableModel::InputsChanged, this, [this] { Guarded([this] { Recompute(); }); });
    connect(ui->Table->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ShowCellError(); });
    const auto recompute = [this] { Guarded([this] { Recompute(); }); };
    connect(ui->Mode, &QComboBox::currentIndexChanged, this, recompute);
    connect(ui->RiskLevel, &QComboBox::currentIndexChanged, this, recompute);
    connect(ui->Risk, &QCheckBox::toggled, this, recompute);
    for (QLineEdit* edit : {ui->Bank, ui->Fraction, ui->Cap, ui->RiskChance}) {
        connect(edit, &QLineEdit::textChanged, this, recompute);
    }
    connect(ui->AddRow, &QPushButton::clicked, this, [this] { Guarded([this] { AddRow(); }); });
    connect(ui->RemoveRow, &QPushButton::clicked, this, [this] { Guarded([this] { RemoveRows(); }); });
    connect(ui->Paste, &QPushButton::clicked, this, [this] { Guarded([this] { PasteRows(); }); });
    connect(ui->Fair, &QPushButton::clicked, this, [this] { Guarded([this] { FillFairProbabilities(); }); });
    connect(ui->Open, &QPushButton::clicked, this, &TSeveralBets::OpenButtonClick);
    connect(ui->Save, &QPushButton::clicked, this, &TSeveralBets::SaveButtonClick);

    // The table's own keys: a new row, rows removed, rows pasted, cells cleared.
    const auto key = [this](const QKeySequence& sequence, auto handler) {
        auto* action = new QAction(ui->Table);
        action->setShortcut(sequence);
        action->setShortcutContext(Qt::WidgetShortcut);
        ui->Table->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, handler] { Guarded([this, handler] { handler(this); }); });
    };
    key(QKeySequence(Qt::Key_Insert), [](TSeveralBets* w) { w->AddRow(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Delete), [](TSeveralBets* w) { w->RemoveRows(); });
    key(QKeySequence::Paste, [](TSeveralBets* w) { w->PasteRows(); });
    key(QKeySequence(Qt::Key_Delete), [](TSeveralBets* w) {
        for (const QModelIndex& index : w->ui->Table->selectionModel()->selectedIndexes()) {
            w->fModel->setData(index, QString(), Qt::EditRole);
        }
    });
}

void TSeveralBets::AddRow() {
    const QModelIndex current = ui->Table->currentIndex();
    const int row = current.isValid() ? current.row() + 1 : fModel->rowCount();
    if (!fModel->insertRows(row, 1)) {
        throw EConvertError("В таблице помещается не больше " + std::to_string(BetsTableModel::kMaxRows) +
                            " ставок");
    }
    ui->Table->setCurrentIndex(fModel->index(row, BetsTableModel::kName));
    ui->Table->setFocus();
}

void TSeveralBets::RemoveRows() {
    std::vector<int> rows;
    for (const QModelIndex& index : ui->Table->selectionModel()->selectedIndexes()) {
        rows.push_back(index.row());
    }
    if (rows.empty() && ui->Table->currentIndex().isValid()) {
        rows.push_back(ui->Table->currentIndex().row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        fModel->removeRows(*row, 1);
    }
}

void TSeveralBets::PasteRows() {
    const QModelIndex current = ui->Table->currentIndex();
    // Rows pasted onto a blank table fill it from the top; onto a filled row, from that row down.
    const int row = current.isValid() ? current.row() : 0;
    fModel->Paste(QApplication::clipboard()->text(), row);
}

void TSeveralBets::FillFairProbabilities() {
    try {
        const BetsOdds market = fModel->ReadOdds();
        const FairProbabilities fair =
            FairFromOdds(market.odds, kMethods[static_cast<std::size_t>(ui->FairMethod->currentIndex())]);
        // Each rounded down to the fourth decimal of a percent as the table shows it, so that the outcomes
        // never add up to more than the whole, which the stakes would refuse.
        std::vector<double> shown;
        for (const double p : fair.probabilities) {
            shown.push_back(std::floor(p * 1e6) / 1e6);
        }
        fModel->SetProbabilities(market.rows, shown);
    } catch (const EBetSetError& e) {
        ShowSentence(QString::fromStdString(e.what()));
    } catch (const EConvertError& e) {
        ShowSentence(QString::fromStdString(e.what()));
    }
}

void TSeveralBets::OpenButtonClick() {
    Guarded([this] {
        const QString path =
            AskOpenFileName(this, QStringLiteral("Открыть ставки"),
                            QStringLiteral("Ставки CSV (*.csv);;Все файлы (*)"), FileKind::Document);
        if (!path.isEmpty()) {
            OpenFile(path);
        }
    });
}

void TSeveralBets::SaveButtonClick() {
    Guarded([this] {
        QString filter;
        QString path = AskSaveFileName(this, QStringLiteral("Сохранить ставки"), QStringLiteral("ставки.csv"),
                                       QStringLiteral("Ставки CSV (*.csv)"), &filter, FileKind::Document);
        if (path.isEmpty()) {
            return;
        }
        if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
            path += QStringLiteral(".csv");
        }
        SaveFile(path);
    });
}

void TSeveralBets::OpenFile(const QString& path) {
    fModel->SetRows(ReadBetsFile(path));
    ui->Table->setCurrentIndex(fModel->index(0, BetsTableModel::kName));
}

void TSeveralBets::SaveFile(const QString& path) const {
    WriteBetsFile(path, fModel->Rows());
}

void TSeveralBets::ShowSentence(const QString& sentence) {
    ui->Sentence->setText(sentence);
    ui->Sentence->setVisible(!sentence.isEmpty());
}

void TSeveralBets::ShowCellError() {
    const QModelIndex current = ui->Table->currentIndex();
    QString reason = current.isValid() ? fModel->CellError(current.row(), current.column()) : QString();
    if (reason.isEmpty()) {
        const BetsReading reading = fModel->Read();
        if (reading.badCell) {
            const auto [row, column] = *reading.badCell;
            reason =
                QStringLiteral("Строка %1, %2: %3")
                    .arg(row + 1)
                    .arg(fModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().toLower(),
                         fModel->CellError(row, column));
        }
    }
    ui->CellError->setText(reason);
    ui->CellError->setVisible(!reason.isEmpty());
}

void TSeveralBets::ClearResults(const QString& chances) {
    fModel->SetResults({}, {}, {});
    for (QLineEdit* field : {ui->Total, ui->Growth, ui->SingleGrowth}) {
        field->clear();
    }
    for (QLineEdit* field : {ui->Chance40, ui->Chance60, ui->Chance80, ui->Chance90}) {
        field->setText(chances);
    }
}

std::optional<PlanRequest> TSeveralBets::ReadControls(QString& sentence) const {
    PlanRequest request;
    request.mode = ui->Mode->currentIndex() == 0 ? BetMode::Exclusive : BetMode::Independent;
    if (!ui->Fraction->text().trimmed().isEmpty()) {
        const auto fraction =
            ControlNumber(*ui->Fraction, QStringLiteral("Доля от Келли"), 0, false, 1, true, sentence);
        if (!fraction) {
            return std::nullopt;
        }
        request.fraction = *fraction;
    }
    if (!ui->Cap->text().trimmed().isEmpty()) {
        const auto cap =
            ControlNumber(*ui->Cap, QStringLiteral("Сумма ставок не более"), 0, false, 100, true, sentence);
        if (!cap) {
            return std::nullopt;
        }
        request.cap = *cap / 100;
    }
    if (ui->Risk->isChecked()) {
        if (ui->RiskChance->text().trimmed().isEmpty()) {
            sentence = QStringLiteral("Введите, с какой вероятностью, %, можно допустить потерю доли банка.");
            return std::nullopt;
        }
        const auto chance = ControlNumber(*ui->RiskChance, QStringLiteral("Вероятность потери"), 0, false,
                                          100, false, sentence);
        if (!chance) {
            return std::nullopt;
        }
        const int lost = kLostPercent[static_cast<std::size_t>(std::max(0, ui->RiskLevel->currentIndex()))];
        request.risk = RiskLimit{1 - lost / 100.0, *chance / 100};
    }
    return request;
}

void TSeveralBets::Recompute() {
    CancelWork();
    ++fGeneration;
    fPending = false;
    fPlan.reset();
    fChances.reset();
    ShowCellError();
    const bool exclusive = ui->Mode->currentIndex() == 0;
    ui->Fair->setEnabled(exclusive);
    ui->FairMethod->setEnabled(exclusive);
    ui->RiskChance->setEnabled(ui->Risk->isChecked());
    ui->RiskLevel->setEnabled(ui->Risk->isChecked());

    std::optional<double> bank;
    QString sentence;
    if (!ui->Bank->text().trimmed().isEmpty()) {
        bank = ControlNumber(*ui->Bank, QStringLiteral("Банк"), 0, false, 1e15, true, sentence);
    }
    fModel->SetBank(bank);

    const BetsReading reading = fModel->Read();
    QString margin;
    if (exclusive && reading.bets.size() >= 2) {
        std::vector<double> odds;
        for (const Bet& bet : reading.bets) {
            odds.push_back(bet.odds);
        }
        try {
            margin = QStringLiteral("Маржа букмекера: ") + Percent(Margin(odds));
        } catch (const std::exception&) {
            margin.clear();
        }
    }
    ui->Margin->setText(margin);

    if (reading.badCell) {
        ShowSentence(QStringLiteral("Ставки не посчитаны: исправьте ячейки, выделенные красным."));
        ClearResults(QString());
        return;
    }
    if (reading.bets.empty()) {
        ShowSentence(QStringLiteral("Введите в таблицу коэффициент и вероятность хотя бы одной ставки."));
        ClearResults(QString());
        return;
    }
    std::optional<PlanRequest> request = ReadControls(sentence);
    if (!request || !sentence.isEmpty()) {
        ShowSentence(sentence);
        ClearResults(QString());
        return;
    }
    request->bets = reading.bets;
    fRows = reading.rows;
    // Stakes held to a chosen risk can take seconds for small edges or many events: they are found by the
    // worker, with the chances, so that typing never waits for them.
    if (request->risk) {
        ClearResults(QString::fromUtf8(kComputing));
        ui->Total->setText(QString::fromUtf8(kComputing));
        ShowSentence(QString());
        StartWork(*request, std::nullopt);
        return;
    }
    StakePlan plan;
    try {
        plan = PlanStakes(*request, nullptr, fKellyStart);
    } catch (const EBetSetError& e) {
        ShowSentence(QString::fromStdString(e.what()));
        ClearResults(QString());
        return;
    }
    ShowPlan(plan);
    StartWork(*request, plan);
}

void TSeveralBets::ShowPlan(const StakePlan& plan) {
    fModel->SetResults(fRows, plan.stakes, plan.single);
    ui->Total->setText(Percent(plan.total));
    ui->Growth->setText(NumberText(plan.growth, 4) + QStringLiteral(" %"));
    ui->SingleGrowth->setText(plan.singleGrowth ? NumberText(*plan.singleGrowth, 4) + QStringLiteral(" %")
                                                : QStringLiteral("не определён"));
    ui->SingleGrowth->setToolTip(plan.singleGrowth
                                     ? QString()
                                     : QStringLiteral("Ставки Келли, сделанные по отдельности, вместе "
                                                      "могут проиграть весь банк"));
    switch (plan.outcome) {
    case PlanOutcome::NoValue:
        ShowSentence(QStringLiteral("Ни одна ставка не выгодна: у каждой вероятность × коэффициент не больше "
                                    "1, и критерий Келли советует не ставить ни на одну."));
        break;
    case PlanOutcome::RiskUnmet:
        ShowSentence(QStringLiteral("Такой риск не выдержать: даже самые малые ставки дают большую "
                                    "вероятность потерять %1 % банка, поэтому все ставки равны нулю.")
                         .arg(ui->RiskLevel->currentText()));
        break;
    case PlanOutcome::Ok:
        ShowSentence(QString());
        break;
    }
    fPlan = plan;
    fKellyStart = plan.kelly;
}

void TSeveralBets::StartWork(const PlanRequest& request, const std::optional<StakePlan>& plan) {
    fCancel = std::make_shared<std::atomic<bool>>(false);
    fPending = true;
    for (QLineEdit* field : {ui->Chance40, ui->Chance60, ui->Chance80, ui->Chance90}) {
        field->setText(QString::fromUtf8(kComputing));
    }
    const int generation = fGeneration;
    auto* watcher = new QFutureWatcher<ChanceWork>(this);
    connect(watcher, &QFutureWatcher<ChanceWork>::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation != fGeneration) {
            return;
        }
        const ChanceWork work = watcher->result();
        fPending = false;
        if (work.plan && !fPlan) {
            ShowPlan(*work.plan);
        }
        fChances = work.chances;
        if (work.chances) {
            ShowChances();
        } else {
            ClearResults(QString());
            fPlan.reset();
            ShowSentence(QString::fromStdString(work.error));
        }
        emit ChancesReady();
    });
    watcher->setFuture(QtConcurrent::run(
        &ChancesWorker(), [request, plan, start = fKellyStart, cancel = fCancel]() -> ChanceWork {
            ChanceWork work;
            try {
                work.plan = plan ? *plan : PlanStakes(request, cancel.get(), start);
                work.chances = DrawdownChances(request.bets, request.mode, work.plan->stakes, ChanceLimits{},
                                               cancel.get());
            } catch (const EAbort&) {
                return {};
            } catch (const std::exception& e) {
                work.chances.reset();
                work.error = e.what();
            }
            return work;
        }));
}

void TSeveralBets::ShowChances() {
    const std::array<QLineEdit*, 4> fields{ui->Chance40, ui->Chance60, ui->Chance80, ui->Chance90};
    bool stopped = false;
    for (std::size_t i = 0; i < 4; ++i) {
        fields[i]->setText(BracketText((*fChances)[i]));
        fields[i]->setCursorPosition(0);
        stopped = stopped || !(*fChances)[i].converged;
    }
    if (stopped && ui->Sentence->text().isEmpty()) {
        ShowSentence(
            QStringLiteral("Вероятности сосчитаны до предела работы: границы «от … до …» отстоят друг "
                           "от друга больше чем на 0,1 процентного пункта."));
    }
}

} // namespace brelmont
