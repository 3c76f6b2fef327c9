// SPDX-License-Identifier: MIT
#include "multibet/BetsCsv.h"

#include "stakecalc/Commands.h"
#include "stakecalc/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <exception>
#include <limits>
#include <memory>

namespace brelmont {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kNameField = 0;
constexpr std::size_t kOddsField = 1;
constexpr std::size_t kProbabilityField = 2;
constexpr std::size_t kCommissionField = 3;
constexpr std::string_view kFieldNames[] = {"название", "коэффициент", "вероятность", "комиссия"};

std::string LinePrefix(std::size_t line) {
    return "Строка " + std::to_string(line);
}

[[noreturn]] void Fail(std::size_t line, const std::string& text) {
    throw EBetsFileError(LinePrefix(line) + ": " + text, line);
}

[[noreturn]] void FailField(std::size_t line, std::size_t field, const std::string& text) {
    throw EBetsFileError(LinePrefix(line) + ", поле «" + std::string(kFieldNames[field]) + "»: " + text,
                         line);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool ValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
        } else {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        const auto second = length > 1 ? static_cast<unsigned char>(text[i + 1]) : 0x80;
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
            (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
            return false; // overlong forms, surrogates and values beyond U+10FFFF
        }
        i += length;
    }
    return true;
}

// The fields of one line, unquoted and trimmed; at most one more than the format has, to tell "too many".
std::vector<std::string> SplitFields(std::string_view line, std::size_t lineNumber) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && IsBlank(line[i])) {
            ++i;
        }
        std::string field;
        if (i < line.size() && line[i] == '"') {
            ++i;
            for (;;) {
                if (i >= line.size()) {
                    FailField(lineNumber, std::min(fields.size(), kCommissionField),
                              "кавычка открыта и не закрыта");
                }
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i++];
            }
            while (i < line.size() && IsBlank(line[i])) {
                ++i;
            }
            if (i < line.size() && line[i] != ';') {
                FailField(lineNumber, std::min(fields.size(), kCommissionField),
                          "после закрывающей кавычки ожидается «;»");
            }
        } else {
            const std::size_t end = std::min(line.find(';', i), line.size());
            field = Trimmed(line.substr(i, end - i));
            i = end;
        }
        fields.push_back(std::move(field));
        if (i >= line.size() || fields.size() > kCommissionField + 1) {
            return fields;
        }
        ++i; // the ";"
    }
}

// A number in percent: a decimal comma or point, an optional "%" after it.
double Percent(std::string_view text, std::size_t line, std::size_t field) {
    std::string_view number = text;
    if (number.ends_with('%')) {
        number = Trimmed(number.substr(0, number.size() - 1));
    }
    if (number.empty()) {
        FailField(line, field, "пусто, нужно число в процентах");
    }
    long double value = 0;
    try {
        value = StrToFloat(DotToComma(std::string(number)), ',');
    } catch (const std::exception&) {
        FailField(line, field, "«" + std::string(text) + "» — не число");
    }
    return static_cast<double>(value);
}

// A fraction in percent with as few digits as read back as a value in the same range within a few units
// of the last place. Fifteen digits alone can round 99,999999999999999 % up to 100 %, a value the reader
// refuses, so the file would not open again.
std::string PercentText(double fraction) {
    const long double percent = static_cast<long double>(fraction) * 100;
    std::string text;
    for (int digits = 15; digits <= 21; ++digits) {
        char buffer[64];
        const auto [end, error] =
            std::to_chars(buffer, buffer + sizeof buffer, percent, std::chars_format::general, digits);
        text.assign(buffer, error == std::errc() ? end : buffer);
        std::replace(text.begin(), text.end(), '.', ',');
        try {
            const double back = static_cast<double>(StrToFloat(text, ',')) / 100;
            if (back >= 0 && back < 1 && (back > 0) == (fraction > 0) &&
                std::fabs(back - fraction) <= 4 * std::numeric_limits<double>::epsilon() * fraction) {
                break;
            }
        } catch (const std::exception&) {
        }
    }
    return text;
}

// Decimal odds that read back exactly: odds a hair above 1 would otherwise be written as "1".
std::string ExactOddsText(double odds) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, odds, std::chars_format::fixed);
    std::string text(buffer, error == std::errc() ? end : buffer);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

// Odds in the bet's own form when that form reads back as valid odds near them; no fraction of the
// bookmakers' kind is near odds of 1,00001, whose fraction would come back as 0/1, which the reader
// refuses, so such odds are written as exact decimals instead.
std::string OddsText(double odds, OddsForm form) {
    if (form != OddsForm::Decimal) {
        std::string text = FormatOdds(odds, form);
        try {
            const double back = ParseOdds(text).decimal;
            if (std::fabs(back - odds) <= 1e-4 * std::max(1.0, odds - 1)) {
                return text;
            }
        } catch (const EConvertError&) {
        }
    }
    return ExactOddsText(odds);
}

bool HasDigit(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

BetsFileRow ParseRow(std::string_view line, std::size_t lineNumber) {
    const std::vector<std::string> fields = SplitFields(line, lineNumber);
    if (fields.size() < 3 || fields.size() > 4) {
        Fail(lineNumber,
             "нужно 3 или 4 поля через «;» (название; коэффициент; вероятность в %; комиссия в %), "
             "а их " +
                 std::to_string(fields.size()) + (fields.size() > 4 ? " или больше" : ""));
    }
    BetsFileRow row;
    row.line = lineNumber;
    row.text = line;
    row.bet.name = fields[kNameField];
    if (row.bet.name.size() > kMaxNameLength) {
        FailField(lineNumber, kNameField, "длиннее " + std::to_string(kMaxNameLength) + " байт");
    }
    if (!ValidUtf8(row.bet.name)) {
        FailField(lineNumber, kNameField, "текст не в кодировке UTF-8");
    }
    if (fields[kOddsField].size() > kMaxFieldLength) {
        FailField(lineNumber, kOddsField, "длиннее " + std::to_string(kMaxFieldLength) + " байт");
    }
    try {
        const Odds odds = ParseOdds(fields[kOddsField]);
        row.bet.odds = odds.decimal;
        row.oddsForm = odds.form;
    } catch (const EConvertError& e) {
        FailField(lineNumber, kOddsField, e.Message());
    }
    const double probability = Percent(fields[kProbabilityField], lineNumber, kProbabilityField);
    if (!(probability > 0 && probability < 100 && probability / 100 > 0)) {
        FailField(lineNumber, kProbabilityField,
                  "«" + fields[kProbabilityField] + "» — вероятность должна быть больше 0 и меньше 100 %");
    }
    row.bet.probability = probability / 100;
    if (fields.size() == 4 && !fields[kCommissionField].empty()) {
        const double commission = Percent(fields[kCommissionField], lineNumber, kCommissionField);
        if (!(commission >= 0 && commission < 100)) {
            FailField(lineNumber, kCommissionField,
                      "«" + fields[kCommissionField] +
                          "» — комиссия должна быть от 0 до 100 % (не включая 100)");
        }
        row.bet.commission = commission / 100;
    }
    return row;
}

// A name as a field: quoted when it would not come back as it is.
std::string NameField(const std::string& name) {
    const bool quote = name.find_first_of(";\"") != std::string::npos ||
                       (!name.empty() && (IsBlank(name.front()) || IsBlank(name.back())));
    if (!quote) {
        return name;
    }
    std::string field = "\"";
    for (const char c : name) {
        field += c;
        if (c == '"') {
            field += '"';
        }
    }
    return field + "\"";
}

} // namespace

BetsFile ParseBetsCsv(std::string_view text) {
    if (text.size() > kMaxBetsFileBytes) {
        throw EBetsFileError("Файл ставок больше " + std::to_string(kMaxBetsFileBytes) +
                                 " байт: в наборе не больше " + std::to_string(kMaxBets) + " ставок",
                             0);
    }
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    BetsFile file;
    std::size_t lineNumber = 0;
    bool first = true;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.find('\0') != std::string_view::npos) {
            Fail(lineNumber, "нулевой байт: это не текст в UTF-8 (файл в UTF-16?)");
        }
        if (line.size() > kMaxLineLength) {
            Fail(lineNumber, "длиннее " + std::to_string(kMaxLineLength) + " байт");
        }
        if (Trimmed(line).empty()) {
            continue;
        }
        if (first) {
            first = false;
            const std::vector<std::string> fields = SplitFields(line, lineNumber);
            if (fields.size() >= 3 && !HasDigit(fields[kOddsField]) && !HasDigit(fields[kProbabilityField])) {
                file.header = std::string(line);
                continue;
            }
        }
        if (file.rows.size() == kMaxBets) {
            Fail(lineNumber, "ставок в наборе не больше " + std::to_string(kMaxBets));
        }
        file.rows.push_back(ParseRow(line, lineNumber));
    }
    if (file.rows.empty()) {
        throw EBetsFileError(
            "В файле нет ни одной ставки: нужна строка «название; коэффициент; вероятность в %»", 0);
    }
    return file;
}

BetsFile ReadBetsCsv(std::FILE* input) {
    std::string text;
    const std::unique_ptr<char[]> chunk(new char[kMaxBetsFileBytes + 1]);
    // One byte beyond the bound is enough to tell a file that is too large.
    while (text.size() <= kMaxBetsFileBytes) {
        const std::size_t count = std::fread(chunk.get(), 1, kMaxBetsFileBytes + 1 - text.size(), input);
        if (count == 0) {
            if (std::ferror(input) != 0) {
                const int error = errno;
                throw EInOutError(FormatMessage("I/O error %s", std::to_string(error)), error);
            }
            break;
        }
        text.append(chunk.get(), count);
    }
    return ParseBetsCsv(text);
}

std::string WriteBetsCsv(std::span<const Bet> bets, std::span<const OddsForm> forms) {
    std::string out = "Название;Коэффициент;Вероятность;Комиссия\n";
    for (std::size_t i = 0; i < bets.size(); ++i) {
        const Bet& bet = bets[i];
        const OddsForm form = forms.empty() ? OddsForm::Decimal : forms[i];
        out += NameField(bet.name);
        out += ';';
        out += OddsText(bet.odds, form);
        out += ';';
        out += PercentText(bet.probability);
        out += ';';
        out += PercentText(bet.commission);
        out += '\n';
    }
    return out;
}

} // namespace brelmont
