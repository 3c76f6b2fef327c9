// SPDX-License-Identifier: MIT
// The error of a set of bets that cannot be staked as given: too many events, exclusive chances adding up to
// more than 100 %, a value out of its range. Its message is Russian and says what to change.
#pragma once

#include "base/Exception.h"

namespace brelmont {

class EBetSetError : public Exception {
    using Exception::Exception;
};

} // namespace brelmont
