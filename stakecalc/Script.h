// SPDX-License-Identifier: MIT
// The calculator for scripts: the main window's two calculation commands run on texts given on the command
// line or read from a CSV file, through the same CalcFields interface, conversions and messages as the
// window, so a script gets exactly the texts a user would see. The program's command line (app/) parses the
// options and hands the texts here; this module holds the running of one bet, the batch CSV format and the
// output formats, and stays free of any toolkit.
//
// Batch CSV: one bet a line, fields separated by ";", the comma as decimal mark (a full stop works too, as in
// the window). Columns: probability, odds and an optional stake; an empty stake counts as none. A first line
// with no digit in it is a header. Every line is written back with its three input columns, the five result
// columns and a message column; a line that fails keeps its result columns empty and gets the message.
// Empty lines are copied through, each line keeps its own line end (LF or CR LF), and a leading UTF-8 byte
// order mark is kept. A bet with no value keeps its results and gets the no-value advice in its message
// column. A line longer than kMaxBatchLineBytes is never held in memory: its input columns stay empty and its
// message says why. A NUL byte, which no text file holds (a UTF-16 export does), ends the reading: what came
// before it is written, and the summary names the line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace brelmont {

// The texts of one bet as they would be typed into the window.
struct BetTexts {
    std::string_view probability;
    std::string_view odds;
    std::string_view stake;
    bool hasStake = false; // compute probabilities with `stake`; otherwise compute all
};

// The stake field and the four result fields after a command (an empty text: a field the command left as it
// was), the message of a command that failed, and the advice the window gives a bet with no value.
struct BetResult {
    std::array<std::string, 5> texts;
    std::string message;
    std::string advice;
    bool Failed() const { return !message.empty(); }
};

// Runs compute all, or compute probabilities when a stake is given, and captures what the window would show.
// A failed command leaves `texts` empty: a script must not mistake half-written fields for results. A bet
// whose Kelly stake is 0 for want of an edge is no failure: its stake is "0", its chances are empty and its
// advice is set.
BetResult RunBet(const BetTexts& bet);

// The window's labels of the five result fields, in order.
extern const std::array<std::string_view, 5> kResultLabels;

// "label: text" lines, one per result field ("label:" alone for an empty field).
std::string LabelledResults(const BetResult& result);

// One JSON object with the five results as numbers: {"stake":10,"loss40":59.85,...}, null for an empty
// field. Only for a result that did not fail.
std::string JsonResults(const BetResult& result);

// A CSV line split at ";" (no quoting: the format carries numbers and fixed texts only).
struct CsvLine {
    std::array<std::string_view, 3> fields{};
    std::size_t count = 0; // number of fields found, may exceed 3
};
CsvLine SplitCsvLine(std::string_view line);

// The bet a data line describes, or the message for a line that cannot describe one (too many fields).
struct ParsedBet {
    BetTexts bet;
    std::string_view problem;
};
ParsedBet ParseBetLine(std::string_view line);

// A line without any digit: the header of a file that has one (only a file's first line can be one).
bool LooksLikeHeader(std::string_view line);

// Appends the output line for one input line (without its line end) to `out`; true when the line failed.
// `header` marks the file's header line.
bool AppendBatchLine(std::string_view line, bool header, std::string& out);

// The longest batch line, in bytes without its line end. Bets are three short numbers; the bound keeps a file
// with no line ends from filling the memory.
inline constexpr std::size_t kMaxBatchLineBytes = 4096;

// Counts of a finished batch.
struct BatchSummary {
    std::size_t lines = 0;
    std::size_t failed = 0;
    std::size_t stoppedAtLine = 0; // the line whose NUL byte ended the reading; 0 when it read to the end
};

// Reads the whole CSV from `input` and writes the result CSV to `output`. Raises EInOutError when reading
// or writing fails; bad lines are not errors. Whatever ends it, the lines computed before are written.
BatchSummary RunBatch(std::FILE* input, std::FILE* output);

// The same on texts: the result CSV for `csv`; for tests and the fuzz target.
std::string BatchText(std::string_view csv, BatchSummary* summary = nullptr);

} // namespace brelmont
