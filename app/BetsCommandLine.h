// SPDX-License-Identifier: MIT
// The command line's options for several bets at once: --bets FILE with --exclusive, --fraction, --cap,
// --bank, --max-risk and --level, and --fair with --method. They share --json with the calculator. Which
// options go together is checked here; the answer comes from the several-bets module (BetsCommand.h), built
// whole before anything is printed, so that a failure never leaves half a result on the output.
#pragma once

#include "BetsCommand.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <optional>
#include <string>

namespace brelmont {

class BetsOptions {
public:
    BetsOptions();

    void AddTo(QCommandLineParser& parser) const;

    // The answer when --bets or --fair is given (or one of their options without them: a usage error),
    // nothing otherwise. `json` for --json; `otherMode` when the calculator's or the batch's options are
    // given too, which do not combine with these.
    std::optional<CommandAnswer> Run(const QCommandLineParser& parser, bool json, bool otherMode) const;

    // The limits and units of these options, for the end of --help.
    static std::string HelpNotes();

private:
    QCommandLineOption bets_;
    QCommandLineOption exclusive_;
    QCommandLineOption fraction_;
    QCommandLineOption cap_;
    QCommandLineOption bank_;
    QCommandLineOption maxRisk_;
    QCommandLineOption level_;
    QCommandLineOption fair_;
    QCommandLineOption method_;
};

} // namespace brelmont
