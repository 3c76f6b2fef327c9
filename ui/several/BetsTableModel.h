// SPDX-License-Identifier: MIT
// BetsTableModel, the table of the window "Несколько ставок": one row a bet, its four typed cells (name,
// odds, probability, commission) checked as they are typed, and three computed cells (the joint stake, its
// amount when a bank is given, the Kelly stake of the bet alone). The texts stay as the bettor typed them;
// Read() turns the filled rows into numbers for the several-bets core, and a cell it cannot read keeps its
// reason, shown as the cell's tool tip and accessible description and by the window under the table.
#pragma once

#include "multibet/MultiBet.h"

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace brelmont {

struct BetRow {
    QString name;
    QString odds;
    QString probability; // percent
    QString commission;  // percent, empty for none
};

struct BetsReading {
    std::vector<int> rows; // the table rows read, blank rows left out
    std::vector<Bet> bets; // one per row read
    // The first cell that cannot be read, as (row, column), or none.
    std::optional<std::pair<int, int>> badCell;
};

// The odds column alone, for the market's margin and fair probabilities.
struct BetsOdds {
    std::vector<int> rows;
    std::vector<double> odds; // decimal
};

class BetsTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kName, kOdds, kProbability, kCommission, kStake, kAmount, kSingle, kColumnCount };
    // The numeric value behind a computed cell (percent of the bank, or the amount).
    static constexpr int kValueRole = Qt::UserRole + 1;
    // The most rows: far more bets than the core computes jointly, few enough to keep every edit instant.
    static constexpr int kMaxRows = 200;

    explicit BetsTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    const std::vector<BetRow>& Rows() const { return fRows; }
    // Replaces every row; the computed cells are cleared.
    void SetRows(std::vector<BetRow> rows);
    // Writes the fair probabilities (fractions) into the rows read, as percent texts.
    void SetProbabilities(const std::vector<int>& rows, const std::vector<double>& probabilities);

    // Rows of a spreadsheet's copy, cells split by tabs or semicolons, put in from `row` on, overwriting
    // the rows there and adding rows past the end. A first line whose odds cell is no number is taken for a
    // header and skipped. Returns the rows written; a text with more rows than the table takes raises
    // EConvertError and changes nothing.
    int Paste(const QString& text, int row);

    // The reason the cell cannot be read, or an empty text.
    QString CellError(int row, int column) const;
    // The filled rows as numbers; rows with an unreadable cell are left out and the first such cell named.
    BetsReading Read() const;
    // The odds of every row that is not blank, whatever its other cells hold. Raises EConvertError naming
    // the row of odds that cannot be read.
    BetsOdds ReadOdds() const;

    // The computed cells, by table row (fractions of the bank), or cleared with empty vectors.
    void SetResults(const std::vector<int>& rows, const std::vector<double>& stakes,
                    const std::vector<double>& single);
    void SetBank(std::optional<double> bank);

signals:
    // A typed cell changed: the window recomputes.
    void InputsChanged();

private:
    struct RowState {
        std::array<QString, 4> errors;
        std::optional<double> stake;
        std::optional<double> single;
    };
    void Check(int row);
    QString& Cell(int row, int column);
    const QString& Cell(int row, int column) const;

    std::vector<BetRow> fRows;
    std::vector<RowState> fStates;
    std::optional<double> fBank;
};

// A number as the window shows it: the decimal comma, at most `decimals` decimals, no trailing zeros.
QString NumberText(double value, int decimals = 2);

} // namespace brelmont
