# SPDX-License-Identifier: MIT
"""Exact model of the x87 extended format (64-bit significand, 15-bit exponent) with rounding to nearest,
ties to even, shared by the generators in this folder. Values are Fractions; infinities are float('inf')."""

from fractions import Fraction

MIN_EXP = -16382  # exponent of the smallest normal value, written as 1.xxx * 2^MIN_EXP
MAX_EXP = 16383
DIGITS = 64


def round_extended(x):
    """The extended value nearest to the rational x (ties to even), or +-inf beyond the range."""
    if x == 0:
        return Fraction(0)
    sign = -1 if x < 0 else 1
    a = abs(x)
    e = a.numerator.bit_length() - a.denominator.bit_length()
    if Fraction(2) ** e > a:
        e -= 1
    # 2^e <= a < 2^(e+1); the last significand bit weighs 2^(e-63), or 2^(MIN_EXP-63) for subnormals
    quantum_exp = max(e, MIN_EXP) - (DIGITS - 1)
    scaled = a / Fraction(2) ** quantum_exp
    q, r = divmod(scaled.numerator, scaled.denominator)
    twice = 2 * r
    if twice > scaled.denominator or (twice == scaled.denominator and q % 2 == 1):
        q += 1
    result = Fraction(q) * Fraction(2) ** quantum_exp
    if result >= Fraction(2) ** (MAX_EXP + 1):
        return sign * float("inf")
    return sign * result


def significand_exponent(x):
    """(m, e) with x == m * 2^e, m a 64-bit integer whose top bit is set for normal values."""
    a = abs(x)
    e = a.numerator.bit_length() - a.denominator.bit_length()
    if Fraction(2) ** e > a:
        e -= 1
    quantum_exp = max(e, MIN_EXP) - (DIGITS - 1)
    m = a / Fraction(2) ** quantum_exp
    assert m.denominator == 1
    return m.numerator, quantum_exp


def hex_literal(x):
    m, e = significand_exponent(x)
    return f"0x{m:016X}p{e}L"


def bits(x):
    """The 80-bit pattern (sign/exponent word, significand) of an extended value, as used by the tests."""
    if x == float("inf") or x == -float("inf"):
        return (0xFFFF if x < 0 else 0x7FFF), 1 << 63
    sign = 0x8000 if x < 0 else 0
    if x == 0:
        return sign, 0
    m, e = significand_exponent(x)
    if m >> 63:
        return sign | (e + DIGITS - 1 + 16383), m
    return sign, m
