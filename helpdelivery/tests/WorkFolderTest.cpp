// SPDX-License-Identifier: MIT
#include "helpdelivery/WorkFolder.h"

#include "TempFolder.h"
#include "base/Exception.h"
#include "base/testing/RowName.h"
#include "helpdelivery/HelpArchive.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

using testing::Exists;
using testing::IsEmptyFolder;
using testing::ReadFile;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::WriteFile;

// Answers the given times in turn, then keeps answering the last one.
class FixedClock final : public Clock {
public:
    explicit FixedClock(std::vector<UtcTimeOfDay> times) : times_(std::move(times)) {}
    UtcTimeOfDay Now() const override { return times_[std::min(next_++, times_.size() - 1)]; }

private:
    std::vector<UtcTimeOfDay> times_;
    mutable std::size_t next_ = 0;
};

class ClockScope {
public:
    explicit ClockScope(const Clock& clock) { SetClock(&clock); }
    ClockScope(const ClockScope&) = delete;
    ClockScope& operator=(const ClockScope&) = delete;
    ~ClockScope() { SetClock(nullptr); }
};

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

std::string CurrentFolder() {
    return std::filesystem::current_path().string();
}

struct NameRow {
    std::string name;
    UtcTimeOfDay time;
    std::string expected;
    friend void PrintTo(const NameRow& row, std::ostream* out) { *out << row.name; }
};

class FixedClockName : public ::testing::TestWithParam<NameRow> {};

TEST_P(FixedClockName, IsAFunctionOfTheTimeOfDay) {
    const FixedClock clock({GetParam().time});
    const ClockScope scope(clock);
    EXPECT_EQ(RandomFolderName(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(WorkFolder, FixedClockName,
                         ::testing::Values(NameRow{"Midnight", {0, 0, 0, 0}, "aanmqoxf"},
                                           NameRow{"Afternoon", {12, 34, 56, 789}, "jquasevy"},
                                           NameRow{"LastMillisecond", {23, 59, 59, 999}, "shxrdvnk"},
                                           NameRow{"OneMillisecondPastEight", {8, 0, 0, 1}, "qedheoks"},
                                           NameRow{"NextMillisecond", {8, 0, 0, 2}, "xqjtbxgl"}),
                         testing::RowName());

TEST(RandomFolderName, RepeatsWithinOneMillisecond) {
    const FixedClock clock({{10, 11, 12, 13}});
    const ClockScope scope(clock);
    EXPECT_EQ(RandomFolderName(), RandomFolderName());
}

TEST(RandomFolderName, IsEightLowerCaseLettersAndUsesTheWholeAlphabet) {
    std::set<char> seen;
    for (int ms = 0; ms < 1000; ms += 7) {
        const FixedClock clock({{ms % 24, ms % 60, ms % 60, ms}});
        const ClockScope scope(clock);
        const std::string name = RandomFolderName();
        ASSERT_EQ(name.size(), 8u);
        for (char c : name) {
            ASSERT_TRUE(c >= 'a' && c <= 'z') << name;
            seen.insert(c);
        }
    }
    EXPECT_EQ(seen.size(), 26u);
}

// Every test gets a private runtime folder and a private temporary folder of its own.
class WorkFolderTest : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::current_path(startFolder_); }

    TempFolder runtime_;
    TempFolder temp_;
    ScopedEnv runtimeEnv_{"XDG_RUNTIME_DIR", runtime_.Path()};
    ScopedEnv tempEnv_{"TMPDIR", temp_.Path()};
    std::string perUser_ = temp_ / ("brelmont-" + std::to_string(geteuid()));
    std::string startFolder_ = CurrentFolder();
};

struct BaseRow {
    std::string name;
    std::function<void(const std::string& runtime, const std::string& perUser)> prepare;
    enum { Runtime, PerUser, None } expected;
    friend void PrintTo(const BaseRow& row, std::ostream* out) { *out << row.name; }
};

class BaseFolderRule : public WorkFolderTest, public ::testing::WithParamInterface<BaseRow> {};

TEST_P(BaseFolderRule, PicksOnlyAPrivateFolderOfThisUser) {
    const std::string link = temp_ / "runtime-link";
    std::filesystem::create_directory_symlink(runtime_.Path(), link);
    const std::string runtime = GetParam().name == "RuntimeFolderIsALink" ? link : runtime_.Path();
    const ScopedEnv env("XDG_RUNTIME_DIR", runtime);
    GetParam().prepare(runtime_.Path(), perUser_);
    const std::string base = BaseFolder();
    switch (GetParam().expected) {
    case BaseRow::Runtime:
        EXPECT_EQ(base, runtime_.Path());
        break;
    case BaseRow::PerUser:
        EXPECT_EQ(base, perUser_);
        EXPECT_EQ(ModeOf(perUser_), 0700u);
        break;
    case BaseRow::None:
        EXPECT_EQ(base, "");
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    WorkFolder, BaseFolderRule,
    ::testing::Values(BaseRow{"PrivateRuntimeFolder", [](auto&, auto&) {}, BaseRow::Runtime},
                      BaseRow{"RuntimeFolderOpenToOthers", [](auto& rt, auto&) { chmod(rt.c_str(), 0755); },
                              BaseRow::PerUser},
                      BaseRow{"RuntimeFolderIsALink", [](auto&, auto&) {}, BaseRow::PerUser},
                      BaseRow{"NoRuntimeFolder", [](auto&, auto&) { unsetenv("XDG_RUNTIME_DIR"); },
                              BaseRow::PerUser},
                      BaseRow{"RelativeRuntimeFolder",
                              [](auto&, auto&) { setenv("XDG_RUNTIME_DIR", "run", 1); }, BaseRow::PerUser},
                      BaseRow{"PerUserFolderOpenToOthers",
                              [](auto& rt, auto& pu) {
                                  chmod(rt.c_str(), 0755);
                                  mkdir(pu.c_str(), 0755);
                                  chmod(pu.c_str(), 0755);
                              },
                              BaseRow::None},
                      BaseRow{"PerUserFolderIsAFile",
                              [](auto& rt, auto& pu) {
                                  chmod(rt.c_str(), 0755);
                                  WriteFile(pu, "x");
                              },
                              BaseRow::None},
                      BaseRow{"PerUserFolderIsALink",
                              [](auto& rt, auto& pu) {
                                  chmod(rt.c_str(), 0755);
                                  mkdir((pu + "-target").c_str(), 0700);
                                  EXPECT_EQ(symlink((pu + "-target").c_str(), pu.c_str()), 0);
                              },
                              BaseRow::None}),
    testing::RowName());

TEST_F(WorkFolderTest, IsCreatedPrivateUnderTheRuntimeFolder) {
    const FixedClock clock({{0, 0, 0, 0}});
    const ClockScope scope(clock);
    CreateWorkFolder();
    EXPECT_EQ(WorkFolder(), runtime_ / "aanmqoxf");
    EXPECT_TRUE(std::filesystem::is_directory(WorkFolder()));
    EXPECT_EQ(ModeOf(WorkFolder()), 0700u);
}

TEST_F(WorkFolderTest, IsCreatedPrivateEvenUnderAStrictUmask) {
    const FixedClock clock({{0, 0, 0, 0}});
    const ClockScope scope(clock);
    const mode_t old = umask(0777);
    CreateWorkFolder();
    umask(old);
    EXPECT_EQ(ModeOf(WorkFolder()), 0700u);
}

struct PlantRow {
    std::string name;
    std::function<void(const std::string& path, const std::string& elsewhere)> plant;
    friend void PrintTo(const PlantRow& row, std::ostream* out) { *out << row.name; }
};

class PlantedPath : public WorkFolderTest, public ::testing::WithParamInterface<PlantRow> {
protected:
    TempFolder elsewhere_;
};

TEST_P(PlantedPath, AtTheFirstNameIsPassedOverForTheSecond) {
    const FixedClock clock({{0, 0, 0, 0}, {8, 0, 0, 1}});
    const ClockScope scope(clock);
    GetParam().plant(runtime_ / "aanmqoxf", elsewhere_.Path());
    CreateWorkFolder();
    EXPECT_EQ(WorkFolder(), runtime_ / "qedheoks");
    EXPECT_EQ(ModeOf(WorkFolder()), 0700u);
    EXPECT_TRUE(IsEmptyFolder(elsewhere_.Path()));
}

TEST_P(PlantedPath, AtBothNamesIsNeverUsed) {
    const FixedClock clock({{0, 0, 0, 0}});
    const ClockScope scope(clock);
    GetParam().plant(runtime_ / "aanmqoxf", elsewhere_.Path());
    const std::string program = temp_ / "program";
    WriteFile(program, "help      3         hlp abc");
    SetExecutablePath(program);
    CreateWorkFolder();
    EXPECT_EQ(WorkFolder(), runtime_ / "aanmqoxf");
    EXPECT_THROW(ExtractEntry("help", "hlp", WorkFolder(), 0), EInOutError);
    RemoveWorkFolder();
    SetExecutablePath("");
    EXPECT_TRUE(Exists(runtime_ / "aanmqoxf"));
    EXPECT_FALSE(Exists(runtime_ / "aanmqoxf/help.hlp"));
    EXPECT_TRUE(IsEmptyFolder(elsewhere_.Path()));
}

INSTANTIATE_TEST_SUITE_P(
    WorkFolder, PlantedPath,
    ::testing::Values(
        PlantRow{"Folder", [](auto& p, auto&) { mkdir(p.c_str(), 0700); }},
        PlantRow{"File", [](auto& p, auto&) { WriteFile(p, "mine"); }},
        PlantRow{"LinkToFolder", [](auto& p, auto& e) { EXPECT_EQ(symlink(e.c_str(), p.c_str()), 0); }},
        PlantRow{"DanglingLink",
                 [](auto& p, auto& e) { EXPECT_EQ(symlink((e + "/new").c_str(), p.c_str()), 0); }}),
    testing::RowName());

TEST_F(WorkFolderTest, IsNotCreatedInAnUnsafeBaseFolder) {
    chmod(runtime_.Path().c_str(), 0755);
    mkdir(perUser_.c_str(), 0777);
    chmod(perUser_.c_str(), 0777);
    CreateWorkFolder();
    EXPECT_TRUE(IsEmptyFolder(perUser_));
    EXPECT_FALSE(Exists(WorkFolder()));
}

TEST_F(WorkFolderTest, RemoveTreeTakesReadOnlyAndHiddenEntries) {
    const std::string tree = temp_ / "tree";
    std::filesystem::create_directories(tree + "/sub/deeper");
    WriteFile(tree + "/read-only", "r");
    WriteFile(tree + "/.hidden", "h");
    WriteFile(tree + "/sub/deeper/.also-hidden", "h");
    WriteFile(tree + "/sub/file", "f");
    chmod((tree + "/read-only").c_str(), 0400);
    chmod((tree + "/sub/deeper").c_str(), 0500);
    chmod((tree + "/sub").c_str(), 0500);
    chmod(tree.c_str(), 0500);
    EXPECT_TRUE(RemoveTree(tree));
    EXPECT_FALSE(Exists(tree));
    EXPECT_EQ(CurrentFolder(), "/");
}

TEST_F(WorkFolderTest, RemoveTreeTakesALinkButNotWhatItPointsAt) {
    TempFolder outside;
    WriteFile(outside / "precious", "keep me");
    const std::string tree = temp_ / "tree";
    mkdir(tree.c_str(), 0700);
    EXPECT_EQ(symlink(outside.Path().c_str(), (tree + "/folder-link").c_str()), 0);
    EXPECT_EQ(symlink((outside / "precious").c_str(), (tree + "/file-link").c_str()), 0);
    EXPECT_TRUE(RemoveTree(tree));
    EXPECT_FALSE(Exists(tree));
    EXPECT_EQ(ReadFile(outside / "precious"), "keep me");
    EXPECT_EQ(ModeOf(outside.Path()), 0700u);
}

TEST_F(WorkFolderTest, RemoveTreeLeavesALinkGivenAsTheTree) {
    TempFolder outside;
    WriteFile(outside / "precious", "keep me");
    const std::string link = temp_ / "link";
    EXPECT_EQ(symlink(outside.Path().c_str(), link.c_str()), 0);
    EXPECT_TRUE(RemoveTree(link));
    EXPECT_EQ(ReadFile(outside / "precious"), "keep me");
}

TEST_F(WorkFolderTest, RemoveTreeOfAMissingFolderDoesNothing) {
    EXPECT_TRUE(RemoveTree(temp_ / "never-was"));
    EXPECT_EQ(CurrentFolder(), "/");
}

TEST_F(WorkFolderTest, RemoveWorkFolderLeavesNothingBehind) {
    CreateWorkFolder();
    const std::string folder = WorkFolder();
    WriteFile(folder + "/help.hlp", "x");
    chmod((folder + "/help.hlp").c_str(), 0400);
    std::filesystem::current_path(folder);
    RemoveWorkFolder();
    EXPECT_TRUE(IsEmptyFolder(runtime_.Path()));
    EXPECT_EQ(CurrentFolder(), "/");
    EXPECT_EQ(WorkFolder(), folder);
    RemoveWorkFolder();
}

TEST_F(WorkFolderTest, RemoveWorkFolderSparesAFolderPutInItsPlace) {
    CreateWorkFolder();
    const std::string folder = WorkFolder();
    rmdir(folder.c_str());
    mkdir(folder.c_str(), 0700);
    WriteFile(folder + "/other", "x");
    RemoveWorkFolder();
    EXPECT_EQ(ReadFile(folder + "/other"), "x");
}

} // namespace
} // namespace brelmont
