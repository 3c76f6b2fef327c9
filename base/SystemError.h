// SPDX-License-Identifier: MIT
// The system's error numbers in plain Russian. The C library's own texts follow the session's language,
// which is English on most machines, while every word this program says is Russian.
#pragma once

#include <string>

namespace brelmont {

// A short Russian phrase for an errno value, in lower case, without a final full stop; an unknown number is
// named with its value.
std::string SystemErrorText(int error);

} // namespace brelmont
