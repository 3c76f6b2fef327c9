// SPDX-License-Identifier: MIT
// The several-bets module's entry. The module carries its own copies of the core's process-wide settings: the
// decimal separator is read afresh from the same locale, and the title of error boxes comes from the program.
#include "stakecalc/NumberText.h"
#include "ui/Dialogs.h"
#include "ui/several/SeveralBetsf.h"

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
