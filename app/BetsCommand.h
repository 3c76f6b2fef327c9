// SPDX-License-Identifier: MIT
// The answers to the command line's --bets and --fair. They are computed inside the several-bets module,
// which carries the joint-stakes core, so that the program holds no second copy of that core and loads it
// only when these options are given. The program checks which options go together; the module reads their
// values and the bets file and computes. What passes between them is plain C: the options' texts in, the
// answer's texts and exit status out.
#pragma once

#include <cstddef>
#include <string>

namespace brelmont {

// What to print and the exit status.
struct CommandAnswer {
    std::string out;
    std::string err;
    int status = 0;
};

// A bad command line, in the program's words and with its status, whether the program or the module finds it.
inline CommandAnswer UsageAnswer(const std::string& text) {
    return {"", "Brelmont: " + text + " (справка: Brelmont --help)\n", 2};
}

extern "C" {

// The options' texts as typed, each null when its option is not given: UTF-8, except `bets`, a file name in
// the local encoding ("-" for standard input). Exactly one of `bets` and `fair` is given.
struct BetsCommandValues {
    const char* bets;
    const char* fraction;
    const char* cap;
    const char* bank;
    const char* maxRisk;
    const char* level;
    const char* fair;
    const char* method;
    int exclusive;
    int json;
};

// Receives the whole answer once, before anything is printed.
using BetsCommandSink = void (*)(void* context, const char* out, std::size_t outSize, const char* err,
                                 std::size_t errSize);

// The module's entry for the command line: answers through `sink` and returns the exit status. Raises
// nothing: a failure of its own (no memory) is an answer too.
using BetsCommandEntry = int (*)(const BetsCommandValues* values, BetsCommandSink sink, void* context);
}

inline constexpr const char* kBetsCommandEntryName = "brelmont_run_bets_command";

// The answer for `values`: a usage error naming the first bad value (status 2), a file that cannot be read
// (2), a bad set (1), or the results (0). Raises only what running out of memory raises.
CommandAnswer AnswerBetsCommand(const BetsCommandValues& values);

} // namespace brelmont
