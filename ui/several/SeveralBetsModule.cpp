// SPDX-License-Identifier: MIT
// The several-bets module's entries: the window, and the command line's --bets and --fair, so that the
// joint-stakes core lives in this module alone. The module carries its own copies of the core's process-wide
// settings: the decimal separator is read afresh from the same locale, and the title of error boxes comes
// from the program.
#include "app/BetsCommand.h"
#include "stakecalc/NumberText.h"
#include "ui/Dialogs.h"
#include "ui/several/SeveralBetsf.h"

#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

extern "C" __attribute__((visibility("default"))) brelmont::ISeveralBetsWindow*
brelmont_create_several_bets(const char* applicationTitle) {
    brelmont::SetApplicationTitle(applicationTitle != nullptr ? applicationTitle : "");
    brelmont::RefreshDecimalSeparator();
    return new brelmont::TSeveralBets();
}

static_assert(std::string_view(brelmont::kSeveralBetsEntryName) == "brelmont_create_several_bets");
static_assert(std::is_same_v<decltype(&brelmont_create_several_bets), brelmont::SeveralBetsEntry>);

// Nothing may cross back into the program as an exception: running out of memory is an answer of its own, in
// the words the program uses for it.
extern "C" __attribute__((visibility("default"))) int
brelmont_run_bets_command(const brelmont::BetsCommandValues* values, brelmont::BetsCommandSink sink,
                          void* context) {
    brelmont::CommandAnswer answer;
    try {
        answer = brelmont::AnswerBetsCommand(*values);
    } catch (const std::bad_alloc&) {
        answer = {"", "Brelmont: не хватает памяти\n", 1};
    } catch (const std::exception& e) {
        answer = {"", std::string("Brelmont: непредвиденная ошибка: ") + e.what() + "\n", 1};
    }
    sink(context, answer.out.data(), answer.out.size(), answer.err.data(), answer.err.size());
    return answer.status;
}

static_assert(std::string_view(brelmont::kBetsCommandEntryName) == "brelmont_run_bets_command");
static_assert(std::is_same_v<decltype(&brelmont_run_bets_command), brelmont::BetsCommandEntry>);
