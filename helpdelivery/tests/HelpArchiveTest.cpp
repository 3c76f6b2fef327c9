// SPDX-License-Identifier: MIT
#include "helpdelivery/HelpArchive.h"

#include "TempFolder.h"
#include "base/Exception.h"
#include "base/testing/RowName.h"
#include "helpdelivery/WorkFolder.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <variant>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

using testing::Exists;
using testing::ReadFile;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::WriteFile;

std::string Field(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

std::string Header(const std::string& name, const std::string& size, const std::string& ext) {
    return Field(name, 10) + Field(size, 10) + Field(ext, 4);
}

std::string Bytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xFF);
    }
    return bytes;
}

// A scratch "program" file to extract from, a private output folder, and the cursor and program path put
// back afterwards.
class ArchiveTest : public ::testing::Test {
public:
    void SetUp() override { SetArchiveCursor(0); }
    void TearDown() override {
        SetExecutablePath("");
        SetArchiveCursor(0);
        std::filesystem::current_path(startFolder_);
    }

    void Program(const std::string& bytes) {
        WriteFile(program_, bytes);
        SetExecutablePath(program_);
    }

    std::string Out(const std::string& file) const { return ReadFile(out_ / file); }

    TempFolder scratch_;
    TempFolder out_;
    std::string program_ = scratch_ / "program";
    std::string startFolder_ = std::filesystem::current_path().string();
};

struct TokenRow {
    std::string name;
    std::string text;
    std::string token;
    friend void PrintTo(const TokenRow& row, std::ostream* out) { *out << row.name; }
};

class LeadingTokenCase : public ::testing::TestWithParam<TokenRow> {};

TEST_P(LeadingTokenCase, StopsAtTheFirstSpace) {
    EXPECT_EQ(LeadingToken(GetParam().text), GetParam().token);
}

INSTANTIATE_TEST_SUITE_P(HelpArchive, LeadingTokenCase,
                         ::testing::Values(TokenRow{"PaddedNumber", "218       ", "218"},
                                           TokenRow{"NoSpace", "2147483647", "2147483647"},
                                           TokenRow{"LeadingSpace", "       218", ""},
                                           TokenRow{"Empty", "", ""}, TokenRow{"TwoWords", "12 34", "12"}),
                         testing::RowName());

// Either the size the field stands for, or the conversion error's message.
struct SizeRow {
    std::string name;
    std::string token;
    std::variant<std::int32_t, std::string> result;
    friend void PrintTo(const SizeRow& row, std::ostream* out) { *out << row.name; }
};

class EntrySizeCase : public ::testing::TestWithParam<SizeRow> {};

TEST_P(EntrySizeCase, AcceptsOnlySigned32BitDecimals) {
    const auto& row = GetParam();
    if (const auto* size = std::get_if<std::int32_t>(&row.result)) {
        EXPECT_EQ(EntrySize(row.token), *size);
    } else {
        try {
            EntrySize(row.token);
            FAIL() << "no error for " << row.token;
        } catch (const EConvertError& error) {
            EXPECT_EQ(error.Message(), std::get<std::string>(row.result));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    HelpArchive, EntrySizeCase,
    ::testing::Values(SizeRow{"Plain", "218", 218}, SizeRow{"Zero", "0", 0},
                      SizeRow{"LeadingZeros", "0007", 7},
                      SizeRow{"Largest", "2147483647", std::numeric_limits<std::int32_t>::max()},
                      SizeRow{"Negative", "-5", -5},
                      SizeRow{"Smallest", "-2147483648", std::numeric_limits<std::int32_t>::min()},
                      SizeRow{"Empty", "", "'' is not a valid integer value"},
                      SizeRow{"TooLarge", "2147483648", "'2147483648' is not a valid integer value"},
                      SizeRow{"Hexadecimal", "$DA", "'$DA' is not a valid integer value"},
                      SizeRow{"CPrefixHex", "0xDA", "'0xDA' is not a valid integer value"},
                      SizeRow{"TrailingLetters", "218abc", "'218abc' is not a valid integer value"},
                      SizeRow{"SignOnly", "-", "'-' is not a valid integer value"},
                      SizeRow{"Tab", "218\t", "'218\t' is not a valid integer value"}),
    testing::RowName());

TEST_F(ArchiveTest, UnpacksTheFourFilesAtTheHistoricalOffset) {
    ASSERT_EQ(ArchiveStart(), 348672) << "this test program carries no archive of its own";
    const std::string data[] = {Bytes(28792, 1), Bytes(10824, 2), Bytes(218, 3), Bytes(10824, 4)};
    Program(std::string(348672, 'x') + Header("help", "28792", "hlp") + data[0] +
            Header("help", "10824", "gid") + data[1] + Header("help", "218", "cnt") + data[2] +
            Header("1", "10824", "gid") + data[3]);
    TempFolder runtime;
    const ScopedEnv env("XDG_RUNTIME_DIR", runtime.Path());
    UnpackHelp();
    EXPECT_EQ(ArchiveCursor(), 399426);
    EXPECT_EQ(ReadFile(WorkFolder() + "/help.hlp"), data[0]);
    EXPECT_EQ(ReadFile(WorkFolder() + "/help.GID"), data[1]);
    EXPECT_EQ(ReadFile(WorkFolder() + "/help.cnt"), data[2]);
    EXPECT_EQ(ReadFile(WorkFolder() + "/1.GID"), data[3]);
    RemoveWorkFolder();
    EXPECT_TRUE(testing::IsEmptyFolder(runtime.Path()));
}

TEST_F(ArchiveTest, CopiesEntriesLargerThanAnyReadBuffer) {
    const std::string data = Bytes(1'000'003, 5);
    Program(std::string(70'001, ' ') + Header("help", std::to_string(data.size()), "hlp") + data);
    SetArchiveCursor(70'001);
    ExtractEntry("help", "hlp", out_.Path(), ArchiveCursor());
    EXPECT_EQ(Out("help.hlp"), data);
}

TEST_F(ArchiveTest, CursorAdvancesFromItsOwnValueNotFromTheHeaderFound) {
    // The archive starts 100 bytes after the cursor, so the second search for "help" finds the first
    // "help" entry again.
    Program(std::string(100, 'z') + Header("help", "5", "hlp") + "first" + Header("help", "6", "gid") +
            "second");
    ExtractEntry("help", "hlp", out_.Path(), ArchiveCursor());
    EXPECT_EQ(ArchiveCursor(), 29);
    ExtractEntry("help", "GID", out_.Path(), ArchiveCursor());
    EXPECT_EQ(ArchiveCursor(), 58);
    EXPECT_EQ(Out("help.hlp"), "first");
    EXPECT_EQ(Out("help.GID"), "first");
}

// The bytes before the size field, the key searched for, and what comes of it: the copied data, or the
// message of the conversion error when the search ends somewhere else.
struct SearchRow {
    std::string name;
    std::string before;
    std::string key;
    std::string result;
    friend void PrintTo(const SearchRow& row, std::ostream* out) { *out << row.name; }
};

class HeaderSearch : public ArchiveTest, public ::testing::WithParamInterface<SearchRow> {};

TEST_P(HeaderSearch, MatchesNinePositionsAndConsumesTheTenth) {
    const auto& row = GetParam();
    Program(row.before + Field("7", 10) + "ext " + "DATA123");
    try {
        ExtractEntry(row.key, "out", out_.Path(), 0);
        EXPECT_EQ(Out(row.key.substr(0, 10) + ".out"), row.result);
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), row.result);
    }
}

INSTANTIATE_TEST_SUITE_P(
    HelpArchive, HeaderSearch,
    ::testing::Values(SearchRow{"Exact", "help      ", "help", "DATA123"},
                      SearchRow{"SpaceMatchesAnyLetter", "h lp      ", "help", "DATA123"},
                      SearchRow{"AllSpaces", "          ", "help", "DATA123"},
                      SearchRow{"AfterJunk", "zzhelp      ", "help", "DATA123"},
                      SearchRow{"RestartAfterMismatch", "helpXhelp      ", "help", "DATA123"},
                      // No backing up: the second "h" is compared with "e" only, so the header is
                      // missed and the search ends inside the extension field.
                      SearchRow{"DoubledFirstLetterIsMissed", "hhelp      ", "help",
                                "'xt' is not a valid integer value"},
                      SearchRow{"TenthByteIsNotCompared", "helpfile_Z", "helpfile_l", "DATA123"}),
    testing::RowName());

TEST_F(ArchiveTest, NameIsCutToTenCharactersForSearchAndFile) {
    Program(Header("helpfile_l", "3", "txt") + "abc");
    ExtractEntry("helpfile_long_name", "txt", out_.Path(), 0);
    EXPECT_EQ(Out("helpfile_l.txt"), "abc");
}

// The size field as written, then the data, the file it leaves and the cursor after, or the error's message.
struct FieldRow {
    std::string name;
    std::string sizeField;
    std::string data;
    std::string output;
    std::variant<std::int32_t, std::string> cursor;
    friend void PrintTo(const FieldRow& row, std::ostream* out) { *out << row.name; }
};

class SizeField : public ArchiveTest, public ::testing::WithParamInterface<FieldRow> {};

TEST_P(SizeField, DecidesTheCopyAndTheCursor) {
    const auto& row = GetParam();
    // A size field cut short is where the file ends.
    Program("help      " + row.sizeField + (row.sizeField.size() == 10 ? "cnt " : "") + row.data);
    SetArchiveCursor(1000);
    try {
        ExtractEntry("help", "cnt", out_.Path(), 0);
        EXPECT_EQ(ArchiveCursor(), std::get<std::int32_t>(row.cursor));
    } catch (const Exception& error) {
        ASSERT_TRUE(std::holds_alternative<std::string>(row.cursor)) << error.Message();
        EXPECT_EQ(error.Message(), std::get<std::string>(row.cursor));
        EXPECT_EQ(ArchiveCursor(), 1000);
    }
    EXPECT_EQ(Out("help.cnt"), row.output);
}

INSTANTIATE_TEST_SUITE_P(
    HelpArchive, SizeField,
    ::testing::Values(FieldRow{"LeftAligned", "3         ", "abcdef", "abc", 1027},
                      FieldRow{"RightAligned", "         3", "abcdef", "", "'' is not a valid integer value"},
                      FieldRow{"Zero", "0         ", "abc", "", 1024},
                      FieldRow{"Negative", "-3        ", "abc", "", 1021},
                      FieldRow{"DataEndsEarly", "100       ", "abc", "abc", 1124},
                      FieldRow{"FileEndsInSizeField", "12", "", "", 1036},
                      FieldRow{"NotANumber", "abc       ", "xyz", "", "'abc' is not a valid integer value"},
                      FieldRow{"CursorWouldLeaveTheRange", "2147483600", "abc", "",
                               "Damaged help archive: an entry size leads outside the program file"}),
    testing::RowName());

TEST_F(ArchiveTest, HeaderNeverFoundLeavesAnEmptyFileAndTheCursor) {
    Program("no archive here at all, just words");
    SetArchiveCursor(77);
    ExtractEntry("help", "hlp", out_.Path(), 0);
    EXPECT_EQ(Out("help.hlp"), "");
    EXPECT_EQ(ArchiveCursor(), 77);
}

TEST_F(ArchiveTest, StartPastTheEndLeavesAnEmptyFile) {
    Program(Header("help", "3", "hlp") + "abc");
    ExtractEntry("help", "hlp", out_.Path(), 1'000'000);
    EXPECT_EQ(Out("help.hlp"), "");
}

TEST_F(ArchiveTest, ExtensionIsTakenFromTheCallerNotTheHeader) {
    Program(Header("help", "3", "gid") + "abc");
    ExtractEntry("help", "GID", out_.Path(), 0);
    EXPECT_EQ(Out("help.GID"), "abc");
}

TEST_F(ArchiveTest, ExistingOutputFileIsReplaced) {
    WriteFile(out_ / "help.hlp", "old and longer");
    Program(Header("help", "3", "hlp") + "new");
    ExtractEntry("help", "hlp", out_.Path(), 0);
    EXPECT_EQ(Out("help.hlp"), "new");
}

TEST_F(ArchiveTest, CursorBelowTheRangeIsAlsoDamage) {
    Program(Header("help", "-100", "hlp"));
    SetArchiveCursor(std::numeric_limits<std::int32_t>::min());
    EXPECT_THROW(ExtractEntry("help", "hlp", out_.Path(), 0), EInOutError);
}

// What goes wrong, the message expected, and whether the output file may exist afterwards.
struct FailureRow {
    std::string name;
    std::function<void(ArchiveTest&, std::string& folder, std::int32_t& start, std::string& name)> prepare;
    std::string message;
    friend void PrintTo(const FailureRow& row, std::ostream* out) { *out << row.name; }
};

class ExtractionFailure : public ArchiveTest, public ::testing::WithParamInterface<FailureRow> {
public:
    TempFolder outside_;
};

TEST_P(ExtractionFailure, RaisesAnInputOutputErrorAndWritesNothingOutside) {
    Program(Header("help", "3", "hlp") + "abc");
    std::string folder = out_.Path();
    std::int32_t start = 0;
    std::string name = "help";
    WriteFile(outside_ / "help.hlp", "precious");
    GetParam().prepare(*this, folder, start, name);
    try {
        ExtractEntry(name, "hlp", folder, start);
        FAIL() << "no error";
    } catch (const EInOutError& error) {
        if (!GetParam().message.empty()) {
            EXPECT_EQ(error.Message(), GetParam().message);
        }
    }
    EXPECT_EQ(ReadFile(outside_ / "help.hlp"), "precious");
}

INSTANTIATE_TEST_SUITE_P(
    HelpArchive, ExtractionFailure,
    ::testing::Values(
        FailureRow{
            "MissingProgram",
            [](ArchiveTest& fixture, auto&, auto&, auto&) { SetExecutablePath(fixture.out_ / "missing"); },
            "File not found"},
        FailureRow{"MissingFolder",
                   [](ArchiveTest& fixture, auto& folder, auto&, auto&) { folder = fixture.out_ / "gone"; },
                   "File not found"},
        FailureRow{"NegativeStart", [](ArchiveTest&, auto&, auto& start, auto&) { start = -1; },
                   "I/O error 22"},
        FailureRow{
            "FolderOpenToOthers",
            [](ArchiveTest& fixture, auto&, auto&, auto&) { chmod(fixture.out_.Path().c_str(), 0755); },
            "I/O error 13"},
        FailureRow{"FolderIsALink",
                   [](ArchiveTest& fixture, auto& folder, auto&, auto&) {
                       ExtractionFailure& self = static_cast<ExtractionFailure&>(fixture);
                       folder = fixture.out_ / "link";
                       EXPECT_EQ(symlink(self.outside_.Path().c_str(), folder.c_str()), 0);
                   },
                   ""},
        FailureRow{"FileIsALink",
                   [](ArchiveTest& fixture, auto&, auto&, auto&) {
                       ExtractionFailure& self = static_cast<ExtractionFailure&>(fixture);
                       EXPECT_EQ(
                           symlink((self.outside_ / "help.hlp").c_str(), (fixture.out_ / "help.hlp").c_str()),
                           0);
                   },
                   "I/O error 40"},
        FailureRow{"NameClimbsOut", [](ArchiveTest&, auto&, auto&, auto& name) { name = "../x/help"; },
                   "I/O error 22"}),
    testing::RowName());

TEST(ExecutablePath, IsThisProgramsOwnFile) {
    const std::string path = ExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(std::filesystem::canonical("/proc/self/exe"), std::filesystem::path(path));
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
}

} // namespace
} // namespace brelmont
