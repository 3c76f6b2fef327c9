// SPDX-License-Identifier: MIT
#include "stakecalc/Script.h"

#include "base/Exception.h"
#include "stakecalc/Commands.h"
#include "stakecalc/KellyEngine.h"
#include "stakecalc/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <memory>

namespace brelmont {
namespace {

constexpr int kFirstResultField = 3;
constexpr std::string_view kMessageLabel = "Сообщение";
constexpr std::string_view kTooManyFields = "В строке больше трёх полей: вероятность, коэффициент и ставка.";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kChunk = 256 * 1024;

// The window's fields for one command: texts in, texts and the one message out.
class CapturedFields final : public CalcFields {
public:
    std::string FieldText(int field) const override { return texts[static_cast<std::size_t>(field)]; }
    void SetFieldText(int field, const std::string& text) override {
        texts[static_cast<std::size_t>(field)] = text;
    }
    void ShowMessage(const std::string& text) override { message = text; }

    std::array<std::string, 8> texts;
    std::string message;
};

[[noreturn]] void RaiseIoError(int error) {
    throw EInOutError(FormatMessage("I/O error %s", std::to_string(error)), error);
}

void AppendFields(std::string& out, const CsvLine& line) {
    for (std::size_t i = 0; i < line.fields.size(); ++i) {
        if (i > 0) {
            out += ';';
        }
        out += line.fields[i];
    }
}

// A field text as a JSON number: the value the command read or wrote, with the full stop as decimal mark.
std::string JsonNumber(const std::string& text) {
    return FloatToStr(StrToFloat(DotToComma(text), kCalculatorSeparator), '.');
}

} // namespace

const std::array<std::string_view, 5> kResultLabels = {"Ставка в % от банка", "40% от банка", "60% от банка",
                                                       "80% от банка", "90% от банка"};

BetResult RunBet(const BetTexts& bet) {
    CapturedFields fields;
    fields.texts[1] = bet.probability;
    fields.texts[2] = bet.odds;
    fields.texts[kStakeField] = bet.stake;
    if (bet.hasStake) {
        ComputeProbabilitiesCommand(fields);
    } else {
        ComputeAllCommand(fields);
    }
    BetResult result;
    if (!fields.message.empty()) {
        result.message = std::move(fields.message);
        return result;
    }
    for (std::size_t i = 0; i < result.texts.size(); ++i) {
        result.texts[i] = std::move(fields.texts[kFirstResultField + i]);
    }
    return result;
}

std::string LabelledResults(const BetResult& result) {
    std::string out;
    for (std::size_t i = 0; i < result.texts.size(); ++i) {
        out += kResultLabels[i];
        out += ": ";
        out += result.texts[i];
        out += '\n';
    }
    return out;
}

std::string JsonResults(const BetResult& result) {
    static constexpr std::array<std::string_view, 5> keys = {"stake", "loss40", "loss60", "loss80", "loss90"};
    std::string out = "{";
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += '"';
        out += keys[i];
        out += "\":";
        out += JsonNumber(result.texts[i]);
    }
    out += "}\n";
    return out;
}

CsvLine SplitCsvLine(std::string_view line) {
    CsvLine result;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(';', start);
        if (result.count < result.fields.size()) {
            result.fields[result.count] =
                line.substr(start, end == std::string_view::npos ? end : end - start);
        }
        ++result.count;
        if (end == std::string_view::npos) {
            return result;
        }
        start = end + 1;
    }
}

ParsedBet ParseBetLine(std::string_view line) {
    const CsvLine csv = SplitCsvLine(line);
    ParsedBet parsed;
    parsed.bet.probability = csv.fields[0];
    parsed.bet.odds = csv.fields[1];
    parsed.bet.stake = csv.fields[2];
    parsed.bet.hasStake = !csv.fields[2].empty();
    if (csv.count > csv.fields.size()) {
        parsed.problem = kTooManyFields;
    }
    return parsed;
}

bool LooksLikeHeader(std::string_view line) {
    return !line.empty() &&
           std::none_of(line.begin(), line.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool AppendBatchLine(std::string_view line, bool header, std::string& out) {
    const CsvLine csv = SplitCsvLine(line);
    AppendFields(out, csv);
    if (header) {
        for (const std::string_view label : kResultLabels) {
            out += ';';
            out += label;
        }
        out += ';';
        out += kMessageLabel;
        return false;
    }
    const ParsedBet parsed = ParseBetLine(line);
    BetResult result;
    if (parsed.problem.empty()) {
        result = RunBet(parsed.bet);
    } else {
        result.message = parsed.problem;
    }
    for (const std::string& text : result.texts) {
        out += ';';
        out += text;
    }
    out += ';';
    out += result.message;
    return result.Failed();
}

namespace {

// Splits the input into lines across chunk boundaries and turns each into its output line.
class BatchWriter {
public:
    explicit BatchWriter(BatchSummary& summary) : summary_(summary) {}

    // `line` without its "\n"; `ended` when a "\n" followed it.
    void Line(std::string_view line, bool ended, std::string& out) {
        if (first_) {
            first_ = false;
            if (line.starts_with(kByteOrderMark)) {
                out += kByteOrderMark;
                line.remove_prefix(kByteOrderMark.size());
            }
            header_ = true;
        }
        const bool crlf = line.ends_with('\r');
        if (crlf) {
            line.remove_suffix(1);
        }
        const bool header = header_ && LooksLikeHeader(line);
        header_ = false;
        if (!line.empty()) {
            if (!header) {
                ++summary_.lines;
            }
            if (AppendBatchLine(line, header, out)) {
                ++summary_.failed;
            }
        }
        if (crlf) {
            out += '\r';
        }
        if (ended) {
            out += '\n';
        }
    }

private:
    BatchSummary& summary_;
    bool first_ = true;
    bool header_ = false;
};

} // namespace

std::string BatchText(std::string_view csv, BatchSummary* summary) {
    BatchSummary counts;
    BatchWriter writer(counts);
    std::string out;
    out.reserve(csv.size() * 3);
    while (!csv.empty()) {
        const std::size_t end = csv.find('\n');
        writer.Line(csv.substr(0, end), end != std::string_view::npos, out);
        csv.remove_prefix(end == std::string_view::npos ? csv.size() : end + 1);
    }
    if (summary != nullptr) {
        *summary = counts;
    }
    return out;
}

BatchSummary RunBatch(std::FILE* input, std::FILE* output) {
    BatchSummary summary;
    BatchWriter writer(summary);
    std::string pending;
    std::string out;
    const std::unique_ptr<char[]> chunk(new char[kChunk]);
    auto flush = [&out, output] {
        if (!out.empty() && std::fwrite(out.data(), 1, out.size(), output) != out.size()) {
            RaiseIoError(errno);
        }
        out.clear();
    };
    for (;;) {
        const std::size_t count = std::fread(chunk.get(), 1, kChunk, input);
        if (count == 0) {
            if (std::ferror(input) != 0) {
                RaiseIoError(errno);
            }
            break;
        }
        std::string_view data(chunk.get(), count);
        // A line cut by the chunk's end waits in `pending` for the rest of it.
        while (!data.empty()) {
            const std::size_t end = data.find('\n');
            if (end == std::string_view::npos) {
                pending.append(data);
                break;
            }
            if (pending.empty()) {
                writer.Line(data.substr(0, end), true, out);
            } else {
                pending.append(data.substr(0, end));
                writer.Line(pending, true, out);
                pending.clear();
            }
            data.remove_prefix(end + 1);
        }
        if (out.size() >= kChunk) {
            flush();
        }
    }
    if (!pending.empty()) {
        writer.Line(pending, false, out);
    }
    flush();
    if (std::fflush(output) != 0) {
        RaiseIoError(errno);
    }
    return summary;
}

} // namespace brelmont
