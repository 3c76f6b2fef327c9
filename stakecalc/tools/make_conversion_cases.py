# SPDX-License-Identifier: MIT
"""Writes tests/data/conversion-cases.txt: texts with the extended value StrToFloat must give (or "reject"),
and extended values with the text FloatToStr must give. Expected results come from an exact model of the
conversions on rationals, rounding every extended step explicitly, so the tests compare the hardware
arithmetic of the library against arithmetic that shares nothing with it.

Run: python3 make_conversion_cases.py > ../tests/data/conversion-cases.txt"""

import random
from fractions import Fraction

from extended import MIN_EXP, bits, round_extended

INF = float("inf")
UNIT = [round_extended(Fraction(10) ** n) for n in range(32)]
BY32 = [round_extended(Fraction(10) ** n) for n in range(0, 512, 32)]
BY512 = [round_extended(Fraction(10) ** n) for n in range(0, 5120, 512)]


def op(a, b, kind):
    """One rounded extended operation on finite or infinite operands; returns (result, overflowed)."""
    if a in (INF, -INF):
        return a, False
    exact = a * b if kind == "*" else (a / b if kind == "/" else a + b)
    r = round_extended(exact)
    return r, r in (INF, -INF)


def scale(value, n):
    m = abs(n)
    overflow = False
    for factor, skip in ((UNIT[m % 32], m % 32 == 0), (BY32[(m // 32) % 16], (m // 32) % 16 == 0),
                         (BY512[m // 512], m // 512 == 0)):
        if not skip:
            value, o = op(value, factor, "*" if n >= 0 else "/")
            overflow |= o
    return value, overflow


def parse(text, sep):
    """The model parser: a Fraction/inf, or None for a rejected text."""
    i, size = 0, len(text)
    while i < size and text[i] == " ":
        i += 1
    negative = False
    if i < size and text[i] in "+-":
        negative = text[i] == "-"
        i += 1
    digits = ""
    while i < size and text[i].isdigit():
        digits += text[i]
        i += 1
    fraction = ""
    seen_sep = False
    if i < size and text[i] == sep:
        seen_sep = True
        i += 1
        while i < size and text[i].isdigit():
            fraction += text[i]
            i += 1
    if not digits and not seen_sep:
        return None
    exponent = 0
    if i < size and text[i] in "Ee":
        i += 1
        eneg = False
        if i < size and text[i] in "+-":
            eneg = text[i] == "-"
            i += 1
        while i < size and text[i].isdigit() and exponent < 500:
            exponent = exponent * 10 + int(text[i])
            i += 1
        if eneg:
            exponent = -exponent
    while i < size and text[i] == " ":
        i += 1
    if i != size:
        return None
    value, overflow = Fraction(0), False
    for d in digits + fraction:
        value, o1 = op(value, Fraction(10), "*")
        value, o2 = op(value, Fraction(int(d)), "+")
        overflow |= o1 or o2
    n = exponent - len(fraction)
    if n <= -5120:
        value = Fraction(0)
    elif n != 0:
        value, o = scale(value, n)
        overflow |= o
    if overflow:
        return None
    return -value if negative else value


def decimal_exponent(x):
    e = int((x.numerator.bit_length() - x.denominator.bit_length()) * 0.30102999566398120)
    while Fraction(10) ** (e - 1) > x:
        e -= 1
    while Fraction(10) ** e <= x:
        e += 1
    return e


def format_value(x, sep):
    if x == INF:
        return "INF"
    if x == -INF:
        return "-INF"
    if x == 0:
        return "0"
    out = "-" if x < 0 else ""
    a = abs(x)
    e = decimal_exponent(a)
    scaled, _ = scale(a, 18 - e)
    n = round(scaled)
    assert 10**17 <= n <= 10**18
    if n == 10**18:
        n //= 10
        e += 1
    kept = n // 1000
    if n % 1000 >= 500:
        kept += 1
        if kept == 10**15:
            kept //= 10
            e += 1
    ds = str(kept).rstrip("0")
    if e > 15 or e < -3:
        out += ds[0] + (sep + ds[1:] if len(ds) > 1 else "") + "E" + str(e - 1)
    elif e <= 0:
        out += "0" + sep + "0" * (-e) + ds
    elif len(ds) <= e:
        out += ds + "0" * (e - len(ds))
    else:
        out += ds[:e] + sep + ds[e:]
    return out


def bits_text(x):
    se, m = bits(x)
    return f"{se:04X}:{m:016X}"


def from_bits(se, m):
    sign = -1 if se & 0x8000 else 1
    exp = se & 0x7FFF
    if exp == 0:
        return sign * Fraction(m) * Fraction(2) ** (MIN_EXP - 63)
    return sign * Fraction(m) * Fraction(2) ** (exp - 16383 - 63)


def neighbours(x, count):
    """x and the extended values up to `count` steps either side of it (x positive and normal)."""
    se, m = bits(x)
    out = []
    for step in range(-count, count + 1):
        mm = m + step
        ee = se
        if mm >= 1 << 64:
            mm >>= 1
            ee += 1
        if mm < 1 << 63 and ee > 1:
            mm = (mm << 1) | 1
            ee -= 1
        out.append(from_bits(ee, mm))
    return out


def random_digits(rng, count):
    return "".join(rng.choice("0123456789") for _ in range(count))


def parse_texts(rng):
    texts = []
    for _ in range(1500):
        whole = random_digits(rng, rng.randint(0, 20))
        frac = random_digits(rng, rng.randint(0, 20))
        text = whole + ("," + frac if frac or not whole else "")
        if rng.random() < 0.6:
            text += "e" + str(rng.randint(-40, 40))
        texts.append(text)
    for _ in range(600):
        mant = random_digits(rng, rng.randint(1, 21)).lstrip("0") or "1"
        texts.append(mant[0] + "," + mant[1:] + "E" + str(rng.randint(-4960, 4940)))
    for _ in range(300):
        mant = random_digits(rng, rng.randint(1, 22))
        texts.append(mant[:1] + "," + mant[1:] + "e-" + str(rng.randint(4920, 4965)))
    for _ in range(300):
        mant = random_digits(rng, rng.randint(1, 22))
        texts.append("1," + mant + "e" + str(rng.randint(4925, 4935)))
    for _ in range(150):
        texts.append(random_digits(rng, rng.randint(25, 120)) + "," + random_digits(rng, rng.randint(0, 60)))
    for _ in range(50):
        texts.append("0," + "0" * rng.randint(100, 130) + random_digits(rng, rng.randint(1, 20)) +
                     "e" + str(rng.randint(-4999, 0)))
    texts += ["1,18973149535723176502e4932", "1,18973149535723176503e4932", "1,18973149535723176508e4932",
              "1,189731495357231765e4932", "1,1897314953572317651e4932", "3,6451995318824746025e-4951",
              "3,64519953188247460252e-4951", "1,82e-4951", "1,8225997659412373012e-4951", "1,8e-4951",
              "1,9e-4951", "3,3621031431120935063e-4932", "-2,5e-4950", "1" * 4940, "9" * 4933,
              "0," + "9" * 200, "1e4932", "1e-4951", "1e-4952", "5e-4952"]
    return texts


def format_values(rng):
    values = []
    for _ in range(1500):
        exp = rng.randint(1, 0x7FFE)
        values.append(from_bits(exp | rng.choice((0, 0x8000)), rng.getrandbits(63) | (1 << 63)))
    for _ in range(300):
        values.append(from_bits(rng.choice((0, 0x8000)), rng.getrandbits(rng.randint(1, 63))))
    for _ in range(400):
        values.append(from_bits(rng.randint(16383 - 60, 16383 + 60), rng.getrandbits(63) | (1 << 63)))
    for k in list(range(-40, 41)) + rng.sample(range(-4950, 4933), 80):
        values += neighbours(round_extended(Fraction(10) ** k), 2)
    for _ in range(600):
        # A 16th digit of exactly 5 (then zeros), or one unit either side of it, at a random scale.
        head = rng.randint(10**14, 10**15 - 1)
        tail = rng.choice((500, 499, 501, 0, 999))
        n = head * 1000 + tail
        values.append(round_extended(Fraction(n) * Fraction(10) ** rng.randint(-25, 25)))
        values.append(Fraction(n) * Fraction(2) ** rng.randint(-8, 0))
    for _ in range(200):
        head = rng.randint(10**14, 10**15 - 1)
        values.append(Fraction(head * 10 + 5, 10))
    for edge in (Fraction(10) ** 15, Fraction(10) ** -4, Fraction(10) ** -3, Fraction(10) ** 14):
        for delta in (Fraction(0), Fraction(1, 2), Fraction(-1, 2), Fraction(1, 20), Fraction(-1, 20)):
            values += neighbours(round_extended(edge * (1 + delta * Fraction(10) ** -14)), 3)
    values += neighbours(from_bits(0x7FFE, (1 << 64) - 1), 3)[:4]
    values += [from_bits(0, 1), from_bits(0, (1 << 63) - 1), from_bits(1, 1 << 63), -from_bits(0, 1)]
    return [v for v in values if v != 0]


def main():
    rng = random.Random(20260915)
    print("# kind<TAB>separator<TAB>input<TAB>expected; extended values as exponent word:significand")
    for text in parse_texts(rng):
        value = parse(text, ",")
        print(f"parse\t,\t{text}\t{'reject' if value is None else bits_text(value)}")
    for text in ("12.5", "-0.25", ".5", "1.5e-3", "12,5"):
        value = parse(text, ".")
        print(f"parse\t.\t{text}\t{'reject' if value is None else bits_text(value)}")
    for value in format_values(rng):
        print(f"format\t,\t{bits_text(value)}\t{format_value(value, ',')}")
    for value in (Fraction(25, 2), Fraction(-13, 4), Fraction(7, 10**9)):
        print(f"format\t.\t{bits_text(round_extended(value))}\t{format_value(round_extended(value), '.')}")


if __name__ == "__main__":
    main()
