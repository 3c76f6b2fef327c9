// SPDX-License-Identifier: MIT
// helppack contents <contents.txt> <help.cnt> <1.GID>
// helppack document <help.html> <contents.txt> <help.hlp>
// helppack index <keywords.txt> <contents.txt> <help.html> <help.GID>
// helppack archive <archive> <help.hlp> <help.GID> <help.cnt> <1.GID>
// helppack append <program> <archive>
#include "HelpPack.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace {

using namespace brelmont::helppack;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Written beside the target and renamed over it, so a failed step never leaves half a file behind.
void WriteFile(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".helppack";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            throw std::runtime_error("cannot write " + temporary);
        }
    }
    std::error_code error;
    if (std::filesystem::exists(path)) {
        std::filesystem::permissions(temporary, std::filesystem::status(path).permissions(), error);
    }
    std::filesystem::rename(temporary, path);
}

int Run(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "contents" && argc == 5) {
        const std::string contents = ReadFile(argv[2]);
        const auto topics = ContentsTopics(contents);
        WriteFile(argv[3], Utf8ToCp1251(WithCrLf(contents)));
        WriteFile(argv[4], TopicList(topics));
        return 0;
    }
    if (command == "document" && argc == 5) {
        const std::string html = ReadFile(argv[2]);
        CheckDocument(html, ContentsTopics(ReadFile(argv[3])));
        WriteFile(argv[4], html);
        return 0;
    }
    if (command == "index" && argc == 6) {
        WriteFile(argv[5], CheckedIndex(ReadFile(argv[2]), ContentsTopics(ReadFile(argv[3])),
                                        DocumentIds(ReadFile(argv[4]))));
        return 0;
    }
    if (command == "archive" && argc == 7) {
        WriteFile(argv[2], Archive({{"help", "hlp", ReadFile(argv[3])},
                                    {"help", "gid", ReadFile(argv[4])},
                                    {"help", "cnt", ReadFile(argv[5])},
                                    {"1", "gid", ReadFile(argv[6])}}));
        return 0;
    }
    if (command == "append" && argc == 4) {
        WriteFile(argv[2], WithArchive(ReadFile(argv[2]), ReadFile(argv[3])));
        return 0;
    }
    std::fputs("usage: helppack contents|document|index|archive|append ...\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "helppack: %s\n", error.what());
        return 1;
    }
}
