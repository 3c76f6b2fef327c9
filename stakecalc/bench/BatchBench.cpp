// SPDX-License-Identifier: MIT
// The batch calculator's rate on a file of a million bets, next to a baseline measured in the same run:
// reading the same file line by line and writing every line out again. Prints both rates and their ratio;
// the goal is at least 500,000 lines a second for the batch itself.
#include "stakecalc/NumberText.h"
#include "stakecalc/Script.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

constexpr int kLines = 1000000;
constexpr int kRounds = 3;
constexpr std::size_t kChunk = 256 * 1024;

std::string MakeInput() {
    const char* bets[] = {"55;2",        "60;1,9",   "50;2,5", "55;2;5",  "55;2;25", "52,5;2,05",
                          "70;1.5;12,5", "51;2;1,3", "abc;2",  "65;1,65", "58;1,8;4"};
    std::string text = "Вероятность;Коэффициент;Ставка\n";
    for (int i = 0; i < kLines; ++i) {
        text += bets[i % static_cast<int>(std::size(bets))];
        text += '\n';
    }
    return text;
}

std::FILE* TempFile() {
    std::FILE* file = std::tmpfile();
    if (file == nullptr) {
        std::perror("tmpfile");
        std::exit(1);
    }
    return file;
}

// Reading and writing the same lines, with the batch's own buffer sizes: the floor any batch run stands on.
void CopyLines(std::FILE* in, std::FILE* out) {
    const std::unique_ptr<char[]> chunk(new char[kChunk]);
    std::string pending;
    std::string buffer;
    std::size_t count = 0;
    while ((count = std::fread(chunk.get(), 1, kChunk, in)) > 0) {
        std::string_view data(chunk.get(), count);
        for (std::size_t end = data.find('\n'); end != std::string_view::npos; end = data.find('\n')) {
            pending.append(data.substr(0, end));
            buffer += pending;
            buffer += '\n';
            pending.clear();
            data.remove_prefix(end + 1);
        }
        pending.append(data);
        if (buffer.size() >= kChunk) {
            std::fwrite(buffer.data(), 1, buffer.size(), out);
            buffer.clear();
        }
    }
    buffer += pending;
    std::fwrite(buffer.data(), 1, buffer.size(), out);
    std::fflush(out);
}

struct Seconds {
    double wall = 1e9;
    double cpu = 1e9; // this process's own processor time: what a loaded machine does not inflate
};

template <class Run> Seconds BestSeconds(std::FILE* in, Run run) {
    Seconds best;
    for (int round = 0; round < kRounds; ++round) {
        std::rewind(in);
        std::FILE* out = TempFile();
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        run(in, out);
        const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::fclose(out);
        best.wall = std::min(best.wall, took.count());
        best.cpu = std::min(best.cpu, cpu);
    }
    return best;
}

} // namespace

int main() {
    brelmont::InitFloatEnvironment();
    const std::string input = MakeInput();
    std::FILE* in = TempFile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::fflush(in);

    const Seconds baseline = BestSeconds(in, CopyLines);
    const Seconds batch = BestSeconds(in, [](std::FILE* i, std::FILE* o) { brelmont::RunBatch(i, o); });
    std::fclose(in);

    std::printf("lines: %d (best of %d runs each)\n", kLines, kRounds);
    std::printf("read and write only: %12.0f lines/s wall, %12.0f lines/s of processor time\n",
                kLines / baseline.wall, kLines / baseline.cpu);
    std::printf("batch calculator:    %12.0f lines/s wall, %12.0f lines/s of processor time\n",
                kLines / batch.wall, kLines / batch.cpu);
    std::printf("goal 500000 lines/s: %s (wall clock)\n", kLines / batch.wall >= 500000 ? "met" : "NOT met");
    std::printf("batch / baseline time ratio: %.1f\n", batch.wall / baseline.wall);
    return 0;
}
