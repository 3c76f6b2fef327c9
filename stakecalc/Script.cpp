// SPDX-License-Identifier: MIT
#include "stakecalc/Script.h"

#include "base/Exception.h"
#include "stakecalc/BetValue.h"
#include "stakecalc/Commands.h"
#include "stakecalc/KellyEngine.h"
#include "stakecalc/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <utility>

namespace brelmont {
namespace {

constexpr int kFirstResultField = 3;
constexpr std::string_view kMessageLabel = "Сообщение";
constexpr std::string_view kTooManyFields = "В строке больше трёх полей: вероятность, коэффициент и ставка.";
constexpr std::string_view kLineTooLong = "Строка длиннее 4096 байт, она не прочитана.";
static_assert(kMaxBatchLineBytes == 4096, "the message names the bound");
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

// A field text as a JSON number: the value the command read or wrote, with the full stop as decimal mark;
// null for a field the command did not write.
std::string JsonNumber(const std::string& text) {
    if (text.empty()) {
        return "null";
    }
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
    const CommandEnd end = bet.hasStake ? ComputeProbabilitiesCommand(fields) : ComputeAllCommand(fields);
    BetResult result;
    if (end == CommandEnd::Refused) {
        result.message = std::move(fields.message);
        return result;
    }
    // As in the window: the advice follows the results, unless the command gave it as its own message.
    if (end == CommandEnd::Computed) {
        fields.message.clear();
        AdviseWhenNoValue(fields, bet.hasStake);
    }
    result.advice = std::move(fields.message);
    for (std::size_t i = 0; i < result.texts.size(); ++i) {
        result.texts[i] = std::move(fields.texts[kFirstResultField + i]);
    }
    return result;
}

std::string LabelledResults(const BetResult& result) {
    std::string out;
    for (std::size_t i = 0; i < result.texts.size(); ++i) {
        out += kResultLabels[i];
        out += ':';
        if (!result.texts[i].empty()) {
            out += ' ';
            out += result.texts[i];
        }
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
    out += result.Failed() ? result.message : result.advice;
    return result.Failed();
}

namespace {

// Turns each input line into its output line; the first line may carry a byte order mark and be a header.
class BatchWriter {
public:
    explicit BatchWriter(BatchSummary& summary) : summary_(summary) {}

    // `line` without its "\n"; `ended` when a "\n" followed it.
    void Line(std::string_view line, bool ended, std::string& out) {
        const bool header = StartLine(line, out) && LooksLikeHeader(WithoutCr(line));
        const bool crlf = line.ends_with('\r');
        line = WithoutCr(line);
        if (!line.empty()) {
            if (!header) {
                ++summary_.lines;
            }
            if (AppendBatchLine(line, header, out)) {
                ++summary_.failed;
            }
        }
        End(crlf, ended, out);
    }

    // A line too long to be read, of which only its start `head` was kept; `crlf` when it ended with "\r".
    void LongLine(std::string_view head, bool crlf, bool ended, std::string& out) {
        StartLine(head, out);
        ++summary_.lines;
        ++summary_.failed;
        out += ";;;;;;;;";
        out += kLineTooLong;
        End(crlf, ended, out);
    }

private:
    static std::string_view WithoutCr(std::string_view line) {
        return line.ends_with('\r') ? line.substr(0, line.size() - 1) : line;
    }

    // Copies the file's byte order mark and drops it from `line`; true for the file's first line.
    bool StartLine(std::string_view& line, std::string& out) {
        if (!first_) {
            return false;
        }
        first_ = false;
        if (line.starts_with(kByteOrderMark)) {
            out += kByteOrderMark;
            line.remove_prefix(kByteOrderMark.size());
        }
        return true;
    }

    static void End(bool crlf, bool ended, std::string& out) {
        if (crlf) {
            out += '\r';
        }
        if (ended) {
            out += '\n';
        }
    }

    BatchSummary& summary_;
    bool first_ = true;
};

// Cuts the input, handed over in pieces of any size, into lines for the writer. At most one line's worth of
// bytes is kept between pieces; the rest of a longer line is only scanned for its end.
class LineSplitter {
public:
    LineSplitter(BatchWriter& writer, BatchSummary& summary) : writer_(writer), summary_(summary) {}

    // False once a NUL byte has ended the reading; nothing more is taken then.
    bool Feed(std::string_view data, std::string& out) {
        while (!data.empty() && summary_.stoppedAtLine == 0) {
            const std::size_t end = data.find('\n');
            const std::string_view piece = data.substr(0, end);
            if (piece.find('\0') != std::string_view::npos) {
                summary_.stoppedAtLine = lineNumber_;
                return false;
            }
            if (end == std::string_view::npos) {
                Keep(piece);
                return true;
            }
            data.remove_prefix(end + 1);
            ++lineNumber_;
            if (skipping_) {
                EndLongLine(piece, true, out);
            } else if (pending_.empty()) {
                Complete(piece, true, out);
            } else {
                pending_.append(piece);
                Complete(pending_, true, out);
                pending_.clear();
            }
        }
        return summary_.stoppedAtLine == 0;
    }

    // The last line, when the input does not end with a line end.
    void Finish(std::string& out) {
        if (summary_.stoppedAtLine != 0) {
            return;
        }
        if (skipping_) {
            EndLongLine({}, false, out);
        } else if (!pending_.empty()) {
            Complete(pending_, false, out);
        }
    }

private:
    // Room for the longest line and the "\r" of its line end.
    static constexpr std::size_t kKept = kMaxBatchLineBytes + 1;

    void Complete(std::string_view line, bool ended, std::string& out) {
        const bool crlf = line.ends_with('\r');
        if (line.size() - (crlf ? 1 : 0) > kMaxBatchLineBytes) {
            writer_.LongLine(line.substr(0, kMaxBatchLineBytes), crlf, ended, out);
        } else {
            writer_.Line(line, ended, out);
        }
    }

    // A piece with no line end yet: kept while the line can still be short enough, else only its start.
    void Keep(std::string_view piece) {
        if (piece.empty()) {
            return;
        }
        lastWasCr_ = piece.back() == '\r';
        if (skipping_) {
            return;
        }
        if (pending_.size() + piece.size() <= kKept) {
            pending_.append(piece);
            return;
        }
        pending_.append(piece.substr(0, kKept - pending_.size()));
        skipping_ = true;
    }

    void EndLongLine(std::string_view rest, bool ended, std::string& out) {
        const bool crlf = rest.empty() ? lastWasCr_ : rest.back() == '\r';
        writer_.LongLine(std::string_view(pending_).substr(0, kMaxBatchLineBytes), crlf, ended, out);
        pending_.clear();
        skipping_ = false;
        lastWasCr_ = false;
    }

    BatchWriter& writer_;
    BatchSummary& summary_;
    std::string pending_;
    bool skipping_ = false;
    bool lastWasCr_ = false;
    std::size_t lineNumber_ = 1;
};

} // namespace

std::string BatchText(std::string_view csv, BatchSummary* summary) {
    BatchSummary counts;
    BatchWriter writer(counts);
    LineSplitter lines(writer, counts);
    std::string out;
    out.reserve(std::min(csv.size(), kChunk) * 3);
    if (lines.Feed(csv, out)) {
        lines.Finish(out);
    }
    if (summary != nullptr) {
        *summary = counts;
    }
    return out;
}

BatchSummary RunBatch(std::FILE* input, std::FILE* output) {
    BatchSummary summary;
    BatchWriter writer(summary);
    LineSplitter lines(writer, summary);
    std::string out;
    const std::unique_ptr<char[]> chunk(new char[kChunk]);
    auto flush = [&out, output] {
        const std::string text = std::exchange(out, std::string());
        if (!text.empty() && std::fwrite(text.data(), 1, text.size(), output) != text.size()) {
            RaiseIoError(errno);
        }
    };
    try {
        for (;;) {
            const std::size_t count = std::fread(chunk.get(), 1, kChunk, input);
            if (count == 0) {
                if (std::ferror(input) != 0) {
                    RaiseIoError(errno);
                }
                lines.Finish(out);
                break;
            }
            if (!lines.Feed(std::string_view(chunk.get(), count), out)) {
                break;
            }
            if (out.size() >= kChunk) {
                flush();
            }
        }
        flush();
    } catch (...) {
        // The lines already computed are the user's work: they go out before the failure is reported.
        if (!out.empty()) {
            std::fwrite(out.data(), 1, out.size(), output);
        }
        std::fflush(output);
        throw;
    }
    if (std::fflush(output) != 0) {
        RaiseIoError(errno);
    }
    return summary;
}

} // namespace brelmont
