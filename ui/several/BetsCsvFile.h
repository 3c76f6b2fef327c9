// SPDX-License-Identifier: MIT
// The window's rows in and out of a bets file, the same semicolon CSV the command line reads.
#pragma once

#include "ui/several/BetsTableModel.h"

#include <QString>
#include <vector>

namespace brelmont {

// Raises EInOutError when the file cannot be read, EConvertError naming the line and field it cannot read.
std::vector<BetRow> ReadBetsFile(const QString& path);
// Raises EInOutError when the file cannot be written; a file already there is replaced whole or not at all.
void WriteBetsFile(const QString& path, const std::vector<BetRow>& rows);

} // namespace brelmont
