// SPDX-License-Identifier: MIT
#include "ui/several/BetsCsvFile.h"

#include "base/Exception.h"
#include "multibet/BetsCsv.h"

#include <QFile>
#include <QSaveFile>

namespace brelmont {

std::vector<BetRow> ReadBetsFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw EInOutError(
            "Не удаётся открыть файл «" + path.toStdString() + "»: " + file.errorString().toStdString(), 0);
    }
    // One byte past the limit, so that the reader can say the file is too large.
    const QByteArray text = file.read(static_cast<qint64>(kMaxBetsFileBytes) + 1);
    if (file.error() != QFileDevice::NoError) {
        throw EInOutError(
            "Не удаётся прочитать файл «" + path.toStdString() + "»: " + file.errorString().toStdString(), 0);
    }
    const BetsFile bets =
        ParseBetsCsv(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    std::vector<BetRow> rows;
    rows.reserve(bets.rows.size());
    for (const BetsFileRow& row : bets.rows) {
        rows.push_back({QString::fromStdString(row.bet.name),
                        QString::fromStdString(FormatOdds(row.bet.odds, row.oddsForm)),
                        NumberText(row.bet.probability * 100, 6),
                        row.bet.commission > 0 ? NumberText(row.bet.commission * 100, 6) : QString()});
    }
    return rows;
}

void WriteBetsFile(const QString& path, const std::vector<BetRow>& rows) {
    std::vector<Bet> bets;
    std::vector<OddsForm> forms;
    BetsTableModel reader;
    reader.SetRows(rows);
    const BetsReading reading = reader.Read();
    if (reading.badCell) {
        throw EConvertError("Строка " + std::to_string(reading.badCell->first + 1) + " не прочитана (" +
                            reader.CellError(reading.badCell->first, reading.badCell->second).toStdString() +
                            "): исправьте её, прежде чем сохранять");
    }
    if (reading.bets.empty()) {
        throw EConvertError("Сохранять нечего: в таблице нет ни одной ставки");
    }
    for (const int row : reading.rows) {
        forms.push_back(ParseOdds(rows[static_cast<std::size_t>(row)].odds.toStdString()).form);
    }
    const std::string text = WriteBetsCsv(reading.bets, forms);
    // Replaced whole or not at all: a failed save never leaves half a file in place of the old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
        !file.commit()) {
        throw EInOutError(
            "Не удаётся записать файл «" + path.toStdString() + "»: " + file.errorString().toStdString(), 0);
    }
}

} // namespace brelmont
