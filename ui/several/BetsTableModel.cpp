// SPDX-License-Identifier: MIT
#include "ui/several/BetsTableModel.h"

#include "base/Exception.h"
#include "multibet/Odds.h"
#include "stakecalc/Commands.h"

#include <QBrush>
#include <QColor>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace brelmont {

namespace {

const QColor kBadCell(0xFF, 0xD6, 0xD6);
const QColor kComputed(0xF1, 0xF5, 0xEF);

const std::array<const char*, BetsTableModel::kColumnCount> kHeaders{
    "Название",   "Коэффициент", "Вероятность,\n%",   "Комиссия,\n%",
    "Ставка,\n%", "Сумма",       "Келли\nотдельно, %"};

// A percent cell: a number strictly inside (low, 100) or, when `zeroAllowed`, from 0; the reason otherwise.
QString PercentError(const QString& text, const char* what, bool zeroAllowed) {
    const QString trimmed = text.trimmed();
    double value = 0;
    try {
        value = FieldNumber(trimmed.toStdString());
    } catch (const std::exception&) {
        return QStringLiteral("%1 «%2» — не число").arg(QString::fromUtf8(what), trimmed);
    }
    if (!std::isfinite(value) || value < 0 || (!zeroAllowed && value == 0) || value >= 100) {
        return QStringLiteral("%1 «%2» должна быть %3 0 и меньше 100")
            .arg(QString::fromUtf8(what), trimmed,
                 zeroAllowed ? QStringLiteral("не меньше") : QStringLiteral("больше"));
    }
    return {};
}

bool Readable(const QString& text, bool odds) {
    try {
        if (odds) {
            (void)ParseOdds(text.toStdString());
        } else {
            (void)FieldNumber(text.trimmed().toStdString());
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

double PercentValue(const QString& text) {
    return FieldNumber(text.trimmed().toStdString()) / 100;
}

} // namespace

QString NumberText(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0')) {
            text.chop(1);
        }
        if (text.endsWith(u'.')) {
            text.chop(1);
        }
    }
    if (text == QStringLiteral("-0")) {
        text = QStringLiteral("0");
    }
    return text.replace(u'.', u',');
}

BetsTableModel::BetsTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int BetsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(fRows.size());
}

int BetsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QString& BetsTableModel::Cell(int row, int column) {
    BetRow& r = fRows[static_cast<std::size_t>(row)];
    switch (column) {
    case kName:
        return r.name;
    case kOdds:
        return r.odds;
    case kProbability:
        return r.probability;
    default:
        return r.commission;
    }
}

const QString& BetsTableModel::Cell(int row, int column) const {
    return const_cast<BetsTableModel*>(this)->Cell(row, column);
}

QVariant BetsTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const int column = index.column();
    const RowState& state = fStates[static_cast<std::size_t>(index.row())];
    if (column < kStake) {
        const QString& error = state.errors[static_cast<std::size_t>(column)];
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return Cell(index.row(), column);
        case Qt::ToolTipRole:
        case Qt::AccessibleDescriptionRole:
            return error.isEmpty() ? QVariant() : QVariant(error);
        case Qt::BackgroundRole:
            return error.isEmpty() ? QVariant() : QVariant(QBrush(kBadCell));
        default:
            return {};
        }
    }
    std::optional<double> value;
    int decimals = 2;
    if (column == kStake) {
        value = state.stake ? std::optional<double>(*state.stake * 100) : std::nullopt;
    } else if (column == kSingle) {
        value = state.single ? std::optional<double>(*state.single * 100) : std::nullopt;
    } else if (state.stake && fBank) {
        value = *state.stake * *fBank;
    }
    switch (role) {
    case Qt::DisplayRole:
        return value ? QVariant(NumberText(*value, decimals)) : QVariant();
    case kValueRole:
        return value ? QVariant(*value) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        return QVariant(QBrush(kComputed));
    default:
        return {};
    }
}

bool BetsTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.column() >= kStake) {
        return false;
    }
    QString& cell = Cell(index.row(), index.column());
    const QString text = value.toString();
    if (cell == text) {
        return true;
    }
    cell = text;
    Check(index.row());
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), kCommission));
    emit InputsChanged();
    return true;
}

Qt::ItemFlags BetsTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() < kStake ? base | Qt::ItemIsEditable : base;
}

QVariant BetsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        return section + 1;
    }
    return section >= 0 && section < kColumnCount
               ? QString::fromUtf8(kHeaders[static_cast<std::size_t>(section)])
               : QVariant();
}

bool BetsTableModel::insertRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || row > rowCount() || count < 1 || rowCount() + count > kMaxRows) {
        return false;
    }
    beginInsertRows({}, row, row + count - 1);
    fRows.insert(fRows.begin() + row, static_cast<std::size_t>(count), BetRow{});
    fStates.insert(fStates.begin() + row, static_cast<std::size_t>(count), RowState{});
    endInsertRows();
    emit InputsChanged();
    return true;
}

bool BetsTableModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count < 1 || row + count > rowCount()) {
        return false;
    }
    beginRemoveRows({}, row, row + count - 1);
    fRows.erase(fRows.begin() + row, fRows.begin() + row + count);
    fStates.erase(fStates.begin() + row, fStates.begin() + row + count);
    endRemoveRows();
    emit InputsChanged();
    return true;
}

void BetsTableModel::SetRows(std::vector<BetRow> rows) {
    if (rows.size() > static_cast<std::size_t>(kMaxRows)) {
        throw EConvertError("В таблице помещается не больше " + std::to_string(kMaxRows) + " ставок, а их " +
                            std::to_string(rows.size()));
    }
    beginResetModel();
    fRows = std::move(rows);
    fStates.assign(fRows.size(), RowState{});
    for (int row = 0; row < rowCount(); ++row) {
        Check(row);
    }
    endResetModel();
    emit InputsChanged();
}

void BetsTableModel::SetProbabilities(const std::vector<int>& rows,
                                      const std::vector<double>& probabilities) {
    for (std::size_t i = 0; i < rows.size() && i < probabilities.size(); ++i) {
        fRows[static_cast<std::size_t>(rows[i])].probability = NumberText(probabilities[i] * 100, 4);
        Check(rows[i]);
        emit dataChanged(index(rows[i], kProbability), index(rows[i], kProbability));
    }
    emit InputsChanged();
}

int BetsTableModel::Paste(const QString& text, int row) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    static const QRegularExpression cellBreak(QStringLiteral("[\t;]"));
    QStringList lines = text.split(lineBreak);
    while (!lines.isEmpty() && lines.constLast().trimmed().isEmpty()) {
        lines.removeLast();
    }
    std::vector<BetRow> pasted;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList cells = lines[i].split(cellBreak);
        BetRow bet;
        bet.name = cells.value(0).trimmed();
        bet.odds = cells.value(1).trimmed();
        bet.probability = cells.value(2).trimmed();
        bet.commission = cells.value(3).trimmed();
        if (i == 0 && !Readable(bet.odds, true) && !Readable(bet.probability, false)) {
            continue; // a header line
        }
        pasted.push_back(bet);
    }
    row = std::clamp(row, 0, rowCount());
    const int end = row + static_cast<int>(pasted.size());
    if (end > kMaxRows) {
        throw EConvertError("В таблице помещается не больше " + std::to_string(kMaxRows) + " ставок");
    }
    if (end > rowCount()) {
        beginInsertRows({}, rowCount(), end - 1);
        fRows.resize(static_cast<std::size_t>(end));
        fStates.resize(static_cast<std::size_t>(end));
        endInsertRows();
    }
    for (std::size_t i = 0; i < pasted.size(); ++i) {
        const int at = row + static_cast<int>(i);
        fRows[static_cast<std::size_t>(at)] = pasted[i];
        Check(at);
    }
    if (!pasted.empty()) {
        emit dataChanged(index(row, 0), index(end - 1, kColumnCount - 1));
        emit InputsChanged();
    }
    return static_cast<int>(pasted.size());
}

void BetsTableModel::Check(int row) {
    const BetRow& bet = fRows[static_cast<std::size_t>(row)];
    RowState& state = fStates[static_cast<std::size_t>(row)];
    state.errors = {};
    const bool blank = bet.name.trimmed().isEmpty() && bet.odds.trimmed().isEmpty() &&
                       bet.probability.trimmed().isEmpty() && bet.commission.trimmed().isEmpty();
    if (blank) {
        return;
    }
    if (bet.odds.trimmed().isEmpty()) {
        state.errors[kOdds] = QStringLiteral("Введите коэффициент");
    } else {
        try {
            (void)ParseOdds(bet.odds.toStdString());
        } catch (const std::exception& e) {
            state.errors[kOdds] = QString::fromStdString(e.what());
        }
    }
    if (bet.probability.trimmed().isEmpty()) {
        state.errors[kProbability] = QStringLiteral("Введите вероятность в процентах");
    } else {
        state.errors[kProbability] = PercentError(bet.probability, "Вероятность", false);
    }
    if (!bet.commission.trimmed().isEmpty()) {
        state.errors[kCommission] = PercentError(bet.commission, "Комиссия", true);
    }
}

QString BetsTableModel::CellError(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kStake) {
        return {};
    }
    return fStates[static_cast<std::size_t>(row)].errors[static_cast<std::size_t>(column)];
}

BetsReading BetsTableModel::Read() const {
    BetsReading reading;
    for (int row = 0; row < rowCount(); ++row) {
        const BetRow& bet = fRows[static_cast<std::size_t>(row)];
        const RowState& state = fStates[static_cast<std::size_t>(row)];
        bool bad = false;
        for (int column = 0; column < kStake; ++column) {
            if (!state.errors[static_cast<std::size_t>(column)].isEmpty()) {
                if (!reading.badCell) {
                    reading.badCell = std::pair(row, column);
                }
                bad = true;
            }
        }
        if (bad || (bet.odds.trimmed().isEmpty() && bet.probability.trimmed().isEmpty())) {
            continue;
        }
        reading.rows.push_back(row);
        reading.bets.push_back(Bet{bet.name.trimmed().toStdString(),
                                   ParseOdds(bet.odds.toStdString()).decimal, PercentValue(bet.probability),
                                   bet.commission.trimmed().isEmpty() ? 0.0 : PercentValue(bet.commission)});
    }
    return reading;
}

BetsOdds BetsTableModel::ReadOdds() const {
    BetsOdds market;
    for (int row = 0; row < rowCount(); ++row) {
        const BetRow& bet = fRows[static_cast<std::size_t>(row)];
        if (bet.odds.trimmed().isEmpty() && bet.name.trimmed().isEmpty() &&
            bet.probability.trimmed().isEmpty()) {
            continue;
        }
        try {
            market.odds.push_back(ParseOdds(bet.odds.toStdString()).decimal);
        } catch (const std::exception& e) {
            throw EConvertError("Строка " + std::to_string(row + 1) + ": " + e.what());
        }
        market.rows.push_back(row);
    }
    return market;
}

void BetsTableModel::SetResults(const std::vector<int>& rows, const std::vector<double>& stakes,
                                const std::vector<double>& single) {
    for (RowState& state : fStates) {
        state.stake.reset();
        state.single.reset();
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        RowState& state = fStates[static_cast<std::size_t>(rows[i])];
        if (i < stakes.size()) {
            state.stake = stakes[i];
        }
        if (i < single.size()) {
            state.single = single[i];
        }
    }
    if (rowCount() > 0) {
        emit dataChanged(index(0, kStake), index(rowCount() - 1, kSingle));
    }
}

void BetsTableModel::SetBank(std::optional<double> bank) {
    fBank = bank;
    if (rowCount() > 0) {
        emit dataChanged(index(0, kAmount), index(rowCount() - 1, kAmount));
    }
}

} // namespace brelmont
