// SPDX-License-Identifier: MIT
// The program's error hierarchy, shared by every module. Errors are raised, never returned; each carries the
// message text the user may see. The user interface catches them at every event-handler boundary and hands
// them to the error box, so none of them ever crosses the toolkit's frames.
#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

static_assert(std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384,
              "Brelmont needs long double to be the x87 80-bit extended format");

namespace brelmont {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// Ends a handler without showing anything.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

class EConvertError : public Exception {
    using Exception::Exception;
};

class EExternal : public Exception {
    using Exception::Exception;
};

class EMathError : public EExternal {
    using EExternal::EExternal;
};

class EInvalidOp : public EMathError {
public:
    EInvalidOp() : EMathError("Invalid floating point operation") {}
};

class EZeroDivide : public EMathError {
public:
    EZeroDivide() : EMathError("Floating point division by zero") {}
};

class EOverflow : public EMathError {
public:
    EOverflow() : EMathError("Floating point overflow") {}
};

class EUnderflow : public EMathError {
public:
    EUnderflow() : EMathError("Floating point underflow") {}
};

// File input and output; errorCode is the system's error number (0 for "File not found").
class EInOutError : public Exception {
public:
    EInOutError(const std::string& message, int errorCode) : Exception(message), ErrorCode(errorCode) {}
    int ErrorCode = 0;
};

class EHelpSystemException : public Exception {
    using Exception::Exception;
};

class EInvalidOperation : public Exception {
    using Exception::Exception;
};

// Replaces the single "%s" of a message template; the templates here hold exactly one.
std::string FormatMessage(std::string_view pattern, std::string_view argument);

// "'%s' is not a valid integer value" for the given text.
EConvertError InvalidInteger(std::string_view text);

// Converts text to a signed 32-bit integer: leading spaces skipped, then either an optional sign and decimal
// digits, or a "$", "X"/"x" or "0X"/"0x" prefix and hexadecimal digits read as 32-bit two's complement.
// Nothing may follow; the empty text is invalid. Raises InvalidInteger(text) otherwise.
std::int32_t StrToInt(std::string_view text);

} // namespace brelmont
