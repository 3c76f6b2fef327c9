// SPDX-License-Identifier: MIT
// Any bytes as a batch file: every input line gives exactly one output line with the three input columns,
// five result columns and a message column, each line keeps its own line end, and the counts add up. A NUL
// byte ends the batch at its line, with every line before it written.
#include "stakecalc/NumberText.h"
#include "stakecalc/Script.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::size_t Count(std::string_view text, char c) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool initialised = [] {
        brelmont::InitFloatEnvironment();
        return true;
    }();
    (void)initialised;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    brelmont::BatchSummary summary;
    const std::string output = brelmont::BatchText(input, &summary);

    std::string_view in = input;
    if (summary.stoppedAtLine != 0) {
        // The input up to the line that holds the first NUL byte.
        const std::size_t nul = input.find('\0');
        if (nul == std::string_view::npos) {
            std::abort();
        }
        const std::size_t lineStart = input.rfind('\n', nul);
        in = input.substr(0, lineStart == std::string_view::npos ? 0 : lineStart + 1);
        if (Count(in, '\n') + 1 != summary.stoppedAtLine) {
            std::abort();
        }
    } else if (input.find('\0') != std::string_view::npos) {
        std::abort();
    }
    if (Count(output, '\n') != Count(in, '\n') || summary.failed > summary.lines) {
        std::abort();
    }
    std::string_view out = output;
    std::size_t dataLines = 0;
    bool first = true;
    while (!in.empty() || !out.empty()) {
        const std::size_t inEnd = in.find('\n');
        const std::size_t outEnd = out.find('\n');
        std::string_view inLine = in.substr(0, inEnd);
        std::string_view outLine = out.substr(0, outEnd);
        if (inLine.ends_with('\r') != outLine.ends_with('\r')) {
            std::abort();
        }
        if (inLine.ends_with('\r')) {
            inLine.remove_suffix(1);
            outLine.remove_suffix(1);
        }
        // Only the file's first line can open with a byte order mark, which is copied and not a bet.
        if (first && inLine.starts_with("\xEF\xBB\xBF")) {
            if (!outLine.starts_with("\xEF\xBB\xBF")) {
                std::abort();
            }
            inLine.remove_prefix(3);
            outLine.remove_prefix(3);
        }
        first = false;
        if (inLine.empty() != outLine.empty()) {
            std::abort();
        }
        if (!inLine.empty()) {
            if (Count(outLine, ';') != 8) {
                std::abort();
            }
            ++dataLines;
        }
        in.remove_prefix(inEnd == std::string_view::npos ? in.size() : inEnd + 1);
        out.remove_prefix(outEnd == std::string_view::npos ? out.size() : outEnd + 1);
    }
    // Only a header is not counted as a bet.
    if (summary.lines != dataLines && summary.lines + 1 != dataLines) {
        std::abort();
    }
    return 0;
}
