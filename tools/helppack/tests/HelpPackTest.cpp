// SPDX-License-Identifier: MIT
#include "HelpPack.h"

#include "base/testing/RowName.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <stdexcept>

namespace brelmont::helppack {
namespace {

using ::brelmont::testing::PrintTo;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct CodePageRow {
    std::string name;
    std::string utf8;
    std::string cp1251; // empty: the text must be refused
    friend void PrintTo(const CodePageRow& row, std::ostream* out) { *out << row.name; }
};

class CodePage1251 : public ::testing::TestWithParam<CodePageRow> {};

TEST_P(CodePage1251, ConvertsCyrillicAndRefusesTheRest) {
    const auto& row = GetParam();
    if (row.cp1251.empty()) {
        EXPECT_THROW(Utf8ToCp1251(row.utf8), std::runtime_error);
    } else {
        EXPECT_EQ(Utf8ToCp1251(row.utf8), row.cp1251);
    }
}

INSTANTIATE_TEST_SUITE_P(HelpPack, CodePage1251,
                         ::testing::Values(CodePageRow{"Ascii", ":Base help.hlp", ":Base help.hlp"},
                                           CodePageRow{"AlphabetEnds", "АЯая", "\xC0\xDF\xE0\xFF"},
                                           CodePageRow{"Yo", "Ёё", "\xA8\xB8"},
                                           CodePageRow{"Title", "Лицензия",
                                                       "\xCB\xE8\xF6\xE5\xED\xE7\xE8\xFF"},
                                           CodePageRow{"Euro", "€", ""}, CodePageRow{"Latin1", "é", ""},
                                           CodePageRow{"TruncatedSequence", "\xD0", ""},
                                           CodePageRow{"OverlongSlash", "\xC0\xAF", ""},
                                           CodePageRow{"StrayContinuation", "\x80", ""}),
                         testing::RowName());

TEST(HelpPack, LineEndsBecomeCrLf) {
    EXPECT_EQ(WithCrLf("a\nb"), "a\r\nb\r\n");
    EXPECT_EQ(WithCrLf("a\r\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(WithCrLf(":Title \n"), ":Title \r\n");
}

TEST(HelpPack, ContentsSourceBecomesThe218ByteContentsFile) {
    const std::string source = ReadFile(BRELMONT_HELP_SOURCE_DIR "/contents.txt");
    const std::string contents = Utf8ToCp1251(WithCrLf(source));
    EXPECT_EQ(contents.size(), 218u);
    EXPECT_EQ(contents.substr(0, 25), ":Base help.hlp\r\n:Title \r\n");
    const auto topics = ContentsTopics(source);
    ASSERT_EQ(topics.size(), 6u);
    EXPECT_EQ(topics[2].Id, "Topic30");
    EXPECT_EQ(topics[2].Title, "Использование программы");
    EXPECT_EQ(topics[4].Id, "Topic50");
    EXPECT_EQ(topics[4].Title, "Критерий Келли");
    EXPECT_EQ(TopicList({topics[0]}), "Topic10\tО программе\n");
}

TEST(HelpPack, ContentsLineWithoutTopicIsRefused) {
    EXPECT_THROW(ContentsTopics("1 Лицензия\n"), std::runtime_error);
    EXPECT_THROW(ContentsTopics("1 Лицензия=>Main\n"), std::runtime_error);
}

TEST(HelpPack, DocumentNeedsEveryHeadingInOrder) {
    const std::vector<Topic> topics = {{"Topic10", "О программе"}, {"Topic20", "Лицензия"}};
    EXPECT_NO_THROW(
        CheckDocument("<h2 id=\"Topic10\">О программе</h2>x<h2 id=\"Topic20\">Лицензия</h2>", topics));
    EXPECT_THROW(CheckDocument("<h2 id=\"Topic10\">О программе</h2>", topics), std::runtime_error);
    EXPECT_THROW(CheckDocument("<h2 id=\"Topic20\">Лицензия</h2><h2 id=\"Topic10\">О программе</h2>", topics),
                 std::runtime_error);
    EXPECT_THROW(
        CheckDocument("<h2 id=\"Topic10\">О программе</h2><h2 id=\"Topic20\">Лицензия</h2>\xFF", topics),
        std::runtime_error);
}

TEST(HelpPack, IndexLinesMustNameKnownTopics) {
    const std::vector<Topic> topics = {{"Topic10", "О программе"}};
    EXPECT_EQ(CheckedIndex("сайт\tTopic10\r\nкнопки\tTopic10", topics), "сайт\tTopic10\nкнопки\tTopic10\n");
    EXPECT_THROW(CheckedIndex("сайт\tTopic99\n", topics), std::runtime_error);
    EXPECT_THROW(CheckedIndex("сайт Topic10\n", topics), std::runtime_error);
    EXPECT_THROW(CheckedIndex("\tTopic10\n", topics), std::runtime_error);
    EXPECT_THROW(CheckedIndex("a\tb\tTopic10\n", topics), std::runtime_error);
}

TEST(HelpPack, IndexLinesMayNameASectionOfTheDocument) {
    const std::vector<Topic> topics = {{"Topic10", "О программе"}};
    const std::string html = "<h2 id=\"Topic10\">О программе</h2><h3 id=\"RiskChart\">График</h3>";
    EXPECT_EQ(DocumentIds(html), (std::vector<std::string>{"Topic10", "RiskChart"}));
    EXPECT_EQ(CheckedIndex("график риска\tRiskChart\n", topics, DocumentIds(html)),
              "график риска\tRiskChart\n");
    EXPECT_THROW(CheckedIndex("график риска\tRiskChart\n", topics), std::runtime_error);
    EXPECT_THROW(CheckedIndex("график\tRiskchart\n", topics, DocumentIds(html)), std::runtime_error);
}

TEST(HelpPack, EveryIdOfTheDocumentIsUsedOnce) {
    const std::vector<Topic> topics = {{"Topic10", "О программе"}};
    EXPECT_NO_THROW(
        CheckDocument("<h2 id=\"Topic10\">О программе</h2><h3 id=\"A\">a</h3><h3 id=\"B\">b</h3>", topics));
    EXPECT_THROW(
        CheckDocument("<h2 id=\"Topic10\">О программе</h2><h3 id=\"A\">a</h3><p id=\"A\">b</p>", topics),
        std::runtime_error);
    EXPECT_THROW(CheckDocument("<h2 id=\"Topic10\">О программе</h2><h3 id=\"\">a</h3>", topics),
                 std::runtime_error);
    EXPECT_THROW(CheckDocument("<h2 id=\"Topic10\">О программе</h2><h3 id=\"A>a</h3>", topics),
                 std::runtime_error);
}

// The shipped help: every keyword leads somewhere, and the risk chart's keyword to its section, whose id the
// chart window's F1 asks for.
TEST(HelpPack, TheShippedIndexLeadsIntoTheShippedDocument) {
    const std::string html = ReadFile(BRELMONT_HELP_SOURCE_DIR "/help.html");
    const auto topics = ContentsTopics(ReadFile(BRELMONT_HELP_SOURCE_DIR "/contents.txt"));
    EXPECT_NO_THROW(CheckDocument(html, topics));
    const std::string index =
        CheckedIndex(ReadFile(BRELMONT_HELP_SOURCE_DIR "/keywords.txt"), topics, DocumentIds(html));
    EXPECT_NE(index.find("график риска\tRiskChart\n"), std::string::npos);
    const std::size_t chart = html.find("<h3 id=\"RiskChart\">");
    ASSERT_NE(chart, std::string::npos);
    EXPECT_LT(html.find("<h2 id=\"Topic50\">"), chart);
    EXPECT_GT(html.find("<h2 id=\"Topic60\">"), chart);
}

TEST(HelpPack, HeadersAreTwentyFourPaddedCharacters) {
    EXPECT_EQ(EntryHeader({"help", "cnt", std::string(218, 'x')}), "help      218       cnt ");
    EXPECT_EQ(EntryHeader({"1", "gid", ""}), "1         0         gid ");
    EXPECT_THROW(EntryHeader({"help_file_1", "hlp", ""}), std::runtime_error);
    EXPECT_THROW(EntryHeader({"help", "html5", ""}), std::runtime_error);
    EXPECT_EQ(Archive({{"help", "hlp", "ab"}, {"1", "gid", "c"}}),
              "help      2         hlp ab1         1         gid c");
}

// A fake linked program: some code, the start mark with its placeholder, more code.
std::string FakeProgram() {
    return std::string(100, '\x90') + MarkMagic() + std::string("\x00\x52\x05\x00\x00\x00\x00\x00", 8) +
           std::string(50, '\xC3');
}

std::uint32_t Field(const std::string& program, std::size_t offset) {
    const std::size_t at = program.find(MarkMagic()) + offset;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= std::uint32_t{static_cast<unsigned char>(program[at + i])} << (8 * i);
    }
    return value;
}

TEST(HelpPack, AppendingRecordsTheProgramLength) {
    const std::string program = FakeProgram();
    const std::string packed = WithArchive(program, "ARCHIVE");
    EXPECT_EQ(packed.size(), program.size() + 7);
    EXPECT_EQ(packed.substr(program.size()), "ARCHIVE");
    EXPECT_EQ(Field(packed, 16), program.size());
    EXPECT_EQ(packed.substr(0, 116), program.substr(0, 116));
    EXPECT_EQ(packed.substr(124, program.size() - 124), program.substr(124));
}

TEST(HelpPack, AppendingAgainReplacesTheArchiveInsteadOfAddingOne) {
    const std::string once = WithArchive(FakeProgram(), "ARCHIVE");
    EXPECT_EQ(WithArchive(once, "ARCHIVE"), once);
    const std::string changed = WithArchive(once, "NEW");
    EXPECT_EQ(changed.size(), FakeProgram().size() + 3);
    EXPECT_EQ(Field(changed, 16), FakeProgram().size());
}

TEST(HelpPack, AppendingNeedsExactlyOneIntactMark) {
    EXPECT_THROW(WithArchive(std::string(200, 'x'), "A"), std::runtime_error);
    EXPECT_THROW(WithArchive(FakeProgram() + FakeProgram(), "A"), std::runtime_error);
    EXPECT_THROW(WithArchive(std::string(10, 'x') + MarkMagic() + "\x01", "A"), std::runtime_error);
    std::string lying = WithArchive(FakeProgram(), "A");
    lying[116 + 3] = '\x7F';
    EXPECT_THROW(WithArchive(lying, "A"), std::runtime_error);
}

void Put(std::string& bytes, std::size_t at, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
    }
}

// A fake 64-bit ELF program: its header, one section holding code and the start mark, a section without
// file contents, and the section header table at the end, as linkers place it.
std::string FakeElf() {
    const std::string body = FakeProgram();
    std::string elf(64, '\0');
    elf.replace(0, 6,
                std::string("\x7F"
                            "ELF\x02\x01",
                            6));
    elf += body;
    const std::size_t table = elf.size();
    Put(elf, 40, table, 8);
    Put(elf, 58, 64, 2);
    Put(elf, 60, 3, 2);
    elf += std::string(3 * 64, '\0');
    Put(elf, table + 64 + 4, 1, 4);
    Put(elf, table + 64 + 24, 64, 8);
    Put(elf, table + 64 + 32, body.size(), 8);
    Put(elf, table + 128 + 4, 8, 4);
    Put(elf, table + 128 + 24, 64, 8);
    Put(elf, table + 128 + 32, 1u << 30, 8);
    return elf;
}

TEST(HelpPack, AnElfProgramIsCutBackToWhereItsImageEnds) {
    const std::string elf = FakeElf();
    EXPECT_EQ(ElfExtent(elf), elf.size());
    EXPECT_EQ(ElfExtent(FakeProgram()), 0u);
    const std::string packed = WithArchive(elf, "ARCHIVE");
    EXPECT_EQ(packed, elf.substr(0, 64 + 116) + packed.substr(180, 8) + elf.substr(188) + "ARCHIVE");
    EXPECT_EQ(Field(packed, 16), elf.size());
    EXPECT_EQ(WithArchive(packed, "ARCHIVE"), packed);

    // A strip rewrites the program shorter and drops the archive; the mark still holds the old length.
    std::string stripped = packed.substr(0, elf.size());
    Put(stripped, stripped.find(MarkMagic()) + 16, elf.size() + 5000, 4);
    EXPECT_EQ(WithArchive(stripped, "ARCHIVE"), packed);
}

TEST(HelpPack, AnElfProgramCutShortIsRefused) {
    const std::string elf = FakeElf();
    EXPECT_THROW(ElfExtent(elf.substr(0, elf.size() - 1)), std::runtime_error);
    EXPECT_THROW(WithArchive(elf.substr(0, 100), "A"), std::runtime_error);
}

} // namespace
} // namespace brelmont::helppack
