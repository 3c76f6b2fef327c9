// SPDX-License-Identifier: MIT
// TSeveralBets, the window "Несколько ставок": a table of bets (BetsTableModel) staked together, either as
// the outcomes of one event or as independent events, with fair probabilities from the market's odds, a
// fraction of Kelly, a cap on the total and a chosen risk, all applied as they are typed. The stakes are the
// several- bets core's (multibet/MultiBet.h), computed at once on every edit; the four drawdown chances,
// certified brackets that take longer, come from a worker and belong to the latest edit only. Its controls
// come from SeveralBetsf.ui. The program loads it from a module on first use (SeveralBetsWindow.h).
#pragma once

#include "multibet/MultiBet.h"
#include "ui/several/SeveralBetsWindow.h"

#include <QWidget>
#include <atomic>
#include <memory>
#include <optional>

class QLineEdit;

namespace Ui {
class TSeveralBets;
}

namespace brelmont {

class BetsTableModel;

class TSeveralBets : public QWidget, public ISeveralBetsWindow {
    Q_OBJECT

public:
    explicit TSeveralBets(QWidget* parent = nullptr);
    ~TSeveralBets() override;

    QWidget& Widget() override { return *this; }
    Ui::TSeveralBets& Controls() { return *ui; }
    BetsTableModel& Model() { return *fModel; }

    // The plan of the latest edit, or none while the table or a control cannot be read, or while stakes held
    // to a chosen risk are still being found.
    const std::optional<StakePlan>& Plan() const { return fPlan; }
    // True while the chances (and, under a chosen risk, the stakes) of the latest edit are being computed.
    bool ChancesPending() const { return fPending; }
    const std::optional<std::array<ChanceBracket, 4>>& Chances() const { return fChances; }

    // Reads the table and the controls and shows the new stakes; the chances follow from a worker.
    void Recompute();

    // The buttons' work, also reached from the keyboard.
    void AddRow();
    void RemoveRows();
    void PasteRows();
    void FillFairProbabilities();
    // Open and save through the file dialogs; the plain versions take a path and raise EInOutError or
    // EConvertError for a file that cannot be written or read.
    void OpenButtonClick();
    void SaveButtonClick();
    void OpenFile(const QString& path);
    void SaveFile(const QString& path) const;

signals:
    // The chances of the latest edit have arrived.
    void ChancesReady();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Bind();
    void ShowSentence(const QString& sentence);
    void ShowCellError();
    void ClearResults(const QString& chances);
    void ShowChances();
    void ShowPlan(const StakePlan& plan);
    // The chances of the plan, and the plan itself when none is given, from a worker.
    void StartWork(const PlanRequest& request, const std::optional<StakePlan>& plan);
    void CancelWork();
    // The request's options from the controls; the sentence naming the control that cannot be read.
    std::optional<PlanRequest> ReadControls(QString& sentence) const;

    std::unique_ptr<Ui::TSeveralBets> ui;
    BetsTableModel* fModel = nullptr;
    std::vector<int> fRows; // the table rows the plan's stakes belong to
    std::optional<StakePlan> fPlan;
    // The full Kelly stakes of the last plan, kept across edits that show none: the solver's warm start
    // for the next one.
    std::vector<double> fKellyStart;
    std::optional<std::array<ChanceBracket, 4>> fChances;
    std::shared_ptr<std::atomic<bool>> fCancel;
    int fGeneration = 0;
    bool fPending = false;
};

} // namespace brelmont
