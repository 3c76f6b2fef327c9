// SPDX-License-Identifier: MIT
// The bets file: a semicolon CSV with one bet a line, `name;odds;probability[;commission]`, as a bettor
// writes it by hand or a spreadsheet saves it, and as the window saves a set of bets. Odds are in any of the
// three forms (ParseOdds), the probability and the commission in percent (a trailing "%" is allowed), with a
// decimal comma or point. An optional first line with no digit in its odds and probability fields is a
// header. Empty lines are skipped; CR LF line ends and a UTF-8 byte order mark are accepted; a field in
// double quotes may hold ";" (a doubled quote stands for one).
//
// The reader stops at the first line it cannot read, naming the line and the field in Russian: a set of bets
// with one wrong line must not be staked as if the line were not there.
#pragma once

#include "base/Exception.h"
#include "multibet/MultiBet.h"
#include "multibet/Odds.h"

#include <cstddef>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont {

// The largest bets file read, in bytes: a header and kMaxBets lines of at most kMaxLineLength bytes, with
// their line ends.
inline constexpr std::size_t kMaxBetsFileBytes = (kMaxBets + 1) * (kMaxLineLength + 2) + 3;

// A bets file that cannot be read; the message names the line and the field.
class EBetsFileError : public Exception {
public:
    EBetsFileError(const std::string& message, std::size_t line) : Exception(message), Line(line) {}
    std::size_t Line = 0; // 1-based; 0 for the file as a whole
};

struct BetsFileRow {
    Bet bet;                               // odds before commission; probability and commission as fractions
    OddsForm oddsForm = OddsForm::Decimal; // as written
    std::size_t line = 0;                  // 1-based line number in the file
    std::string text;                      // the line as written, without its line end
};

struct BetsFile {
    std::optional<std::string> header; // the header line as written, byte order mark removed
    std::vector<BetsFileRow> rows;     // 1..kMaxBets rows, in file order
};

// Reads a whole bets file. Raises EBetsFileError for a file of no bets, more than kMaxBets, more than
// kMaxBetsFileBytes, a NUL byte, a line longer than kMaxLineLength, a name longer than kMaxNameLength or not
// in UTF-8, a wrong number of fields, and odds, a probability (0 < p < 100) or a commission (0 <= c < 100)
// that cannot be read.
BetsFile ParseBetsCsv(std::string_view text);

// The same from a stream, reading at most kMaxBetsFileBytes + 1 bytes. Raises EInOutError when reading fails.
BetsFile ReadBetsCsv(std::FILE* input);

// A bets file with a header and one line per bet, in the reader's format: odds in the given forms (decimal
// when `forms` is empty), probability and commission in percent with the decimal comma. Parsing the text
// gives the same bets back, to the precision of the odds' form. Names holding ";", a quote or blanks at an
// end are quoted. Domain: as CheckBets for the values; `forms` empty or one per bet.
std::string WriteBetsCsv(std::span<const Bet> bets, std::span<const OddsForm> forms = {});

} // namespace brelmont
