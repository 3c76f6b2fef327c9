// SPDX-License-Identifier: MIT
#include "ui/several/BetsCsvFile.h"

#include "base/Exception.h"

namespace brelmont {

std::vector<BetRow> ReadBetsFile(const QString& path) {
    throw EInOutError("Cannot open file \"" + path.toStdString() + "\"", 0);
}

void WriteBetsFile(const QString& path, const std::vector<BetRow>&) {
    throw EInOutError("Cannot create file \"" + path.toStdString() + "\"", 0);
}

} // namespace brelmont
