// SPDX-License-Identifier: MIT
// Number texts and the floating-point environment of the stake calculator. Field texts become extended
// values through StrToFloat and results become field texts through FloatToStr; the Kelly engine rounds its
// two-decimal results with RoundToInteger and runs every arithmetic step through the checked helpers below,
// which turn the fault flags of the floating-point unit into the program's math errors. The program's
// start-up sets the environment and reads the decimal separator; the main window refreshes the separator
// when the user's regional settings change.
//
// Faults are detected by testing the flags after each step, never by unmasked traps: the unit always runs
// with every exception masked, 64-bit significands and rounding to nearest, ties to even.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brelmont {

// The process-wide decimal separator: the user's LC_NUMERIC decimal point when it is exactly one byte,
// else '.'. Read at start-up and again on every RefreshDecimalSeparator().
char DecimalSeparator();
void RefreshDecimalSeparator();

// Puts the floating-point unit into the start-up state (extended precision, rounding to nearest, all fault
// flags clear). Called once at program start and again after every caught floating-point error.
void InitFloatEnvironment();

// Clears stale fault flags left by code outside the calculator, so that the first checked step of a command
// sees only its own faults.
void ClearFaultFlags();

// Parses a number text: spaces around it, an optional sign, digits with an optional fraction after
// `separator`, an optional exponent of at most four digits after "E" or "e". Raises EConvertError
// ("'<text>' is not a valid floating point value") for any other text, and for a value beyond the extended
// range. Never raises a math error; leaves the caller's floating-point settings as they were and no fault
// flag of its own behind (inexact, underflow and subnormal-operand flags may be set, as by any arithmetic).
long double StrToFloat(std::string_view text, char separator);
long double StrToFloat(std::string_view text);

// General format with 15 significant digits: plain from 1E-4 up to but excluding 1E15, scientific outside;
// "NAN", "INF" and "-INF" for the special values. Never fails.
std::string FloatToStr(long double value, char separator);
std::string FloatToStr(long double value);

// The nearest integer, ties to even. Domain: finite values whose nearest integer lies in
// [-2^63, 2^63 - 1]; raises EInvalidOp for NaN, infinities and everything beyond.
std::int64_t RoundToInteger(long double value);

// Raises the math error for any fault flag set since the flags were last clear (EInvalidOp before
// EZeroDivide before EOverflow) and otherwise returns `value`. The value passes through so that the
// computation producing it is complete before the flags are read.
long double Checked(long double value);

// Stores an extended value into a double, rounding to nearest; raises EOverflow when the rounded value lies
// beyond the double range, and any pending fault of the step that produced `value`.
double StoreDouble(long double value);

// Natural logarithm. Domain: x > 0; raises EZeroDivide for zero and EInvalidOp for negative x or NaN.
long double Ln(long double x);

// e^x. Raises EOverflow when the result lies beyond the extended range (x above about 11356.5); results
// below the range quietly become subnormal or zero.
long double Exp(long double x);

} // namespace brelmont
