// SPDX-License-Identifier: MIT
// This program carries the real help archive, appended by the build; these tests unpack it from the
// program's own file, exactly as the calculator does at start.
#include "TempFolder.h"
#include "base/Exception.h"
#include "base/testing/RowName.h"
#include "helpdelivery/HelpArchive.h"
#include "helpdelivery/WorkFolder.h"
#include "helpdelivery/display/HelpSystem.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace brelmont {
namespace {

// Rows print as their names, in CTest's list and in failure messages.
using ::brelmont::testing::PrintTo;

using testing::ReadFile;
using testing::ScopedEnv;
using testing::TempFolder;

const std::string kBuilt = BRELMONT_HELP_BUILD_DIR;
const std::string kSources = BRELMONT_HELP_SOURCE_DIR;

std::vector<std::string> Lines(const std::string& text, const std::string& end) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t next = text.find(end, at);
        lines.push_back(text.substr(at, next - at));
        at = next == std::string::npos ? text.size() : next + end.size();
    }
    return lines;
}

TEST(ProgramArchive, StartsWhereTheProgramEndedBeforeIt) {
    const auto program = std::filesystem::file_size(ExecutablePath());
    const auto archive = std::filesystem::file_size(kBuilt + "/help.archive");
    EXPECT_EQ(static_cast<std::uintmax_t>(ArchiveStart()), program - archive);
}

TEST(ProgramArchive, UnpacksTheFourHelpFilesAndLeavesNothingBehind) {
    TempFolder runtime;
    const ScopedEnv env("XDG_RUNTIME_DIR", runtime.Path());
    UnpackHelp();
    const std::string folder = WorkFolder();
    for (const char* file : {"help.hlp", "help.GID", "help.cnt", "1.GID"}) {
        EXPECT_EQ(ReadFile(folder + "/" + file), ReadFile(kBuilt + "/" + file)) << file;
    }
    EXPECT_EQ(ReadFile(folder + "/help.hlp"), ReadFile(kSources + "/help.html"));
    const auto archive = std::filesystem::file_size(kBuilt + "/help.archive");
    EXPECT_EQ(static_cast<std::uintmax_t>(ArchiveCursor()),
              static_cast<std::uintmax_t>(ArchiveStart()) + archive);
    RemoveWorkFolder();
    EXPECT_TRUE(testing::IsEmptyFolder(runtime.Path()));
}

struct DamageCase {
    const char* name;
    std::string command; // run on the copy, "" for none; {} stands for the copy's path
    std::string appended;
    std::size_t cut;
    bool intact;
};

class DamagedArchive : public ::testing::TestWithParam<DamageCase> {};

// The packaging steps that strip a program cut the archive off its end; the check notices on a really
// stripped copy of this program, while the plain unpacking only leaves empty files.
TEST_P(DamagedArchive, IsReportedInPlainWords) {
    const DamageCase& c = GetParam();
    TempFolder folder;
    const std::string copy = folder / "program";
    std::string bytes = ReadFile(ExecutablePath());
    bytes.resize(bytes.size() - c.cut);
    testing::WriteFile(copy, bytes + c.appended);
    if (!c.command.empty()) {
        std::string command = c.command;
        command.replace(command.find("{}"), 2, "'" + copy + "'");
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    SetExecutablePath(copy);
    EXPECT_EQ(ArchiveIntact(copy, ArchiveStart()), c.intact);
    if (c.intact) {
        EXPECT_NO_THROW(CheckHelpArchive());
    } else {
        try {
            CheckHelpArchive();
            ADD_FAILURE() << "no error for a damaged archive";
        } catch (const EInOutError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Справка программы повреждена", 0), 0U) << e.what();
        }
    }
    SetExecutablePath({});
}

INSTANTIATE_TEST_SUITE_P(
    Program, DamagedArchive,
    ::testing::Values(DamageCase{"AsBuilt", "", "", 0, true}, DamageCase{"Strip", "strip {}", "", 0, false},
                      DamageCase{"StripUnneeded", "strip --strip-unneeded {}", "", 0, false},
                      DamageCase{"ObjcopyStripDebug", "objcopy --strip-debug {}", "", 0, false},
                      DamageCase{"CutShort", "", "", 100, false},
                      DamageCase{"BytesAppendedAfter", "", "trailing", 0, false}),
    [](const ::testing::TestParamInfo<DamageCase>& row) { return std::string(row.param.name); });

TEST(HelpFiles, ContentsFileIsEightCrLfLinesOfCodePage1251) {
    const std::string contents = ReadFile(kBuilt + "/help.cnt");
    EXPECT_EQ(contents.size(), 218u);
    const std::vector<std::string> lines = Lines(contents, "\r\n");
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], ":Base help.hlp");
    EXPECT_EQ(lines[1], ":Title ");
    // "1 Критерий Келли=Topic50>Main" in code page 1251.
    EXPECT_EQ(lines[6], "1 \xCA\xF0\xE8\xF2\xE5\xF0\xE8\xE9 \xCA\xE5\xEB\xEB\xE8=Topic50>Main");
    EXPECT_EQ(lines[4].substr(lines[4].find('=')), "=Topic30");
}

TEST(HelpFiles, TopicListIndexAndDocumentAgree) {
    const std::vector<std::string> topics = Lines(ReadFile(kBuilt + "/1.GID"), "\n");
    ASSERT_EQ(topics.size(), 6u);
    const std::string document = ReadFile(kBuilt + "/help.hlp");
    std::set<std::string> ids;
    for (std::size_t i = 0; i < topics.size(); ++i) {
        const std::string id = "Topic" + std::to_string(10 * (i + 1));
        EXPECT_EQ(topics[i].substr(0, topics[i].find('\t')), id);
        const std::string title = topics[i].substr(topics[i].find('\t') + 1);
        EXPECT_NE(document.find("<h2 id=\"" + id + "\">" + title + "</h2>"), std::string::npos) << id;
        ids.insert(id);
    }
    const std::vector<std::string> index = Lines(ReadFile(kBuilt + "/help.GID"), "\n");
    EXPECT_GE(index.size(), 20u);
    std::set<std::string> indexed;
    // The risk chart's F1 jumps to its section, which the index names too.
    EXPECT_NE(document.find("<h3 id=\"" + std::string(kRiskChartHelpTopic) + "\">"), std::string::npos);
    EXPECT_NE(std::find(index.begin(), index.end(), "график риска\t" + std::string(kRiskChartHelpTopic)),
              index.end());
    for (const std::string& line : index) {
        const std::string id = line.substr(line.find('\t') + 1);
        // A keyword names a topic, or a section inside one by its heading's id.
        if (ids.count(id) == 0) {
            EXPECT_NE(document.find("<h3 id=\"" + id + "\">"), std::string::npos) << line;
            continue;
        }
        indexed.insert(id);
    }
    EXPECT_EQ(indexed, ids);
}

TEST(HelpFiles, DocumentCarriesTheWorkedExampleAndTheMessages) {
    const std::string document = ReadFile(kBuilt + "/help.hlp");
    for (const char* text : {"59,85",
                             "39,82",
                             "19,84",
                             "9,88",
                             "21,3",
                             "6,24",
                             "0,77",
                             "0,09",
                             "Вы не заполнили поле Вероятность события.",
                             "Вы не заполнили поле Коэффициент.",
                             "Вы не заполнили поле Ставка в % от банка.",
                             "В одно из полей введено не допустимое значение.",
                             "Вычислить вероятности",
                             "Вычислить всё",
                             "Запуск",
                             "Очистить",
                             "Справка",
                             "На сайт",
                             "О программе",
                             "Выход",
                             "лицензии MIT"}) {
        EXPECT_NE(document.find(text), std::string::npos) << text;
    }
}

} // namespace
} // namespace brelmont
