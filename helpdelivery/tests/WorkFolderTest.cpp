// SPDX-License-Identifier: MIT
#include "helpdelivery/WorkFolder.h"

#include "TempFolder.h"
#include "base/Exception.h"
#include "base/testing/OtherUsers.h"
#include "base/testing/RowName.h"
#include "helpdelivery/HelpArchive.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
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
    enum { Runtime, PerUser, PerUserSpare, None } expected;
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
    case BaseRow::PerUserSpare:
        EXPECT_EQ(base, perUser_ + "-1");
        EXPECT_EQ(ModeOf(perUser_ + "-1"), 0700u);
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
                              BaseRow::PerUserSpare},
                      BaseRow{"PerUserFolderIsAFile",
                              [](auto& rt, auto& pu) {
                                  chmod(rt.c_str(), 0755);
                                  WriteFile(pu, "x");
                              },
                              BaseRow::PerUserSpare},
                      BaseRow{"PerUserFolderIsALink",
                              [](auto& rt, auto& pu) {
                                  chmod(rt.c_str(), 0755);
                                  mkdir((pu + "-target").c_str(), 0700);
                                  EXPECT_EQ(symlink((pu + "-target").c_str(), pu.c_str()), 0);
                              },
                              BaseRow::PerUserSpare},
                      // What another local user can do to the shared temporary folder before this one starts.
                      BaseRow{"PerUserFolderOfAnotherUser",
                              [](auto& rt, auto& pu) {
                                  chmod(rt.c_str(), 0755);
                                  mkdir(pu.c_str(), 0700);
                                  if (geteuid() == 0) {
                                      EXPECT_EQ(lchown(pu.c_str(), 65534, 65534), 0);
                                  } else {
                                      chmod(pu.c_str(), 0777);
                                  }
                              },
                              BaseRow::PerUserSpare},
                      BaseRow{"EverySpareTaken",
                              [](auto& rt, auto& pu) {
                                  chmod(rt.c_str(), 0755);
                                  WriteFile(pu, "x");
                                  for (int i = 1; i <= kSpareBaseFolders; ++i) {
                                      WriteFile(pu + "-" + std::to_string(i), "x");
                                  }
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

TEST_F(WorkFolderTest, IsNotCreatedInAnUnsafeBaseFolderButInItsPrivateSpare) {
    chmod(runtime_.Path().c_str(), 0755);
    mkdir(perUser_.c_str(), 0777);
    chmod(perUser_.c_str(), 0777);
    CreateWorkFolder();
    EXPECT_TRUE(IsEmptyFolder(perUser_));
    EXPECT_EQ(std::filesystem::path(WorkFolder()).parent_path().string(), perUser_ + "-1");
    EXPECT_TRUE(Exists(WorkFolder()));
    EXPECT_EQ(ModeOf(WorkFolder()), 0700u);
}

TEST_F(WorkFolderTest, IsNotCreatedAtAllWhenNoSafeBaseFolderIsLeft) {
    chmod(runtime_.Path().c_str(), 0755);
    WriteFile(perUser_, "x");
    for (int i = 1; i <= kSpareBaseFolders; ++i) {
        WriteFile(perUser_ + "-" + std::to_string(i), "x");
    }
    CreateWorkFolder();
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
    RemoveTree(folder);
    mkdir(folder.c_str(), 0700);
    WriteFile(folder + "/other", "x");
    RemoveWorkFolder();
    EXPECT_EQ(ReadFile(folder + "/other"), "x");
}

// Another run of the program, in a child process: it makes its work folder, says where, and waits until the
// test kills it, as a user's SIGKILL would.
class OtherRun {
public:
    OtherRun() {
        int said[2];
        EXPECT_EQ(pipe(said), 0);
        pid_ = fork();
        if (pid_ == 0) {
            close(said[0]);
            CreateWorkFolder();
            const std::string folder = WorkFolder() + "\n";
            [[maybe_unused]] const ssize_t written = write(said[1], folder.data(), folder.size());
            pause();
            _exit(0);
        }
        close(said[1]);
        char c = 0;
        while (read(said[0], &c, 1) == 1 && c != '\n') {
            folder_ += c;
        }
        close(said[0]);
    }
    ~OtherRun() { Kill(); }
    OtherRun(const OtherRun&) = delete;
    OtherRun& operator=(const OtherRun&) = delete;

    void Kill() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    const std::string& Folder() const { return folder_; }
    std::string Marker() const { return folder_ + "/" + std::string(kRunMarkerName); }

private:
    pid_t pid_ = -1;
    std::string folder_;
};

TEST_F(WorkFolderTest, AnotherRunsFolderStaysWhileItRunsAndGoesAtTheNextStartOnceItWasKilled) {
    OtherRun run;
    ASSERT_TRUE(Exists(run.Marker())) << run.Folder();
    CreateWorkFolder();
    EXPECT_TRUE(Exists(run.Folder()));
    EXPECT_TRUE(Exists(WorkFolder() + "/" + std::string(kRunMarkerName)));
    RemoveWorkFolder();
    const std::string killedRun = ReadFile(run.Marker());
    run.Kill();
    CreateWorkFolder();
    // Within one millisecond the new folder takes the killed run's name again: what must be gone is that
    // run's folder, told by the run its marker names, not the name.
    EXPECT_TRUE(!Exists(run.Folder()) ||
                (run.Folder() == WorkFolder() && ReadFile(run.Marker()) != killedRun));
    EXPECT_TRUE(Exists(WorkFolder()));
    RemoveWorkFolder();
    EXPECT_TRUE(IsEmptyFolder(runtime_.Path()));
}

// The system files that describe a run belong to root; an ordinary user's marker names the run all the same.
TEST_F(WorkFolderTest, AnOrdinaryUsersFolderIsMarkedWithItsRun) {
    if (!brelmont::testing::OtherUsersCanWalkTheRoot()) {
        GTEST_SKIP() << brelmont::testing::kRootClosedToOtherUsers;
    }
    ASSERT_EQ(chown(runtime_.Path().c_str(), 65534, 65534), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) {
            _exit(2);
        }
        CreateWorkFolder();
        const std::string marker = ReadFile(WorkFolder() + "/" + std::string(kRunMarkerName));
        const std::string start = "brelmont-run ";
        const auto fields = std::count(marker.begin(), marker.end(), ' ');
        _exit(marker.starts_with(start) && fields == 3 &&
                      marker.find(" " + std::to_string(getpid()) + " ") != std::string::npos
                  ? 0
                  : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

// What is found where a killed run left its folder: only what proves to be this program's own goes.
struct LeftRow {
    std::string name;
    // Changes the killed run's folder; returns the path that must stay, or go.
    std::function<std::string(const std::string& folder, const std::string& elsewhere)> change;
    bool removed;
    friend void PrintTo(const LeftRow& row, std::ostream* out) { *out << row.name; }
};

class LeftBehind : public WorkFolderTest, public ::testing::WithParamInterface<LeftRow> {
protected:
    TempFolder elsewhere_;
};

TEST_P(LeftBehind, IsRemovedOnlyWhenItProvesToBeAnEndedRunsOwn) {
    std::string path;
    {
        OtherRun run;
        run.Kill();
        path = GetParam().change(run.Folder(), elsewhere_.Path());
    }
    RemoveLeftWorkFolders();
    EXPECT_EQ(!Exists(path), GetParam().removed) << path;
}

constexpr uid_t kNobody = 65534;

std::string Marker(const std::string& folder) {
    return folder + "/" + std::string(kRunMarkerName);
}

INSTANTIATE_TEST_SUITE_P(
    WorkFolder, LeftBehind,
    ::testing::Values(LeftRow{"KilledRun", [](auto& f, auto&) { return f; }, true},
                      LeftRow{"ItsProcessIdNowAnotherProcesses",
                              [](auto& f, auto&) {
                                  std::string marker = ReadFile(Marker(f));
                                  const std::size_t pid = marker.find(' ', 13) + 1;
                                  marker.replace(pid, marker.find(' ', pid) - pid, std::to_string(getppid()));
                                  WriteFile(Marker(f), marker);
                                  return f;
                              },
                              true},
                      LeftRow{"NoWorkFolderName",
                              [](auto& f, auto&) {
                                  const std::string renamed = f + "-1";
                                  rename(f.c_str(), renamed.c_str());
                                  return renamed;
                              },
                              false},
                      LeftRow{"LinkToAFolderElsewhere",
                              [](auto& f, auto& e) {
                                  const std::string moved = e + "/moved";
                                  rename(f.c_str(), moved.c_str());
                                  EXPECT_EQ(symlink(moved.c_str(), f.c_str()), 0);
                                  return Marker(moved);
                              },
                              false},
                      LeftRow{"OpenToOthers",
                              [](auto& f, auto&) {
                                  chmod(f.c_str(), 0755);
                                  return f;
                              },
                              false},
                      LeftRow{"OfAnotherUser",
                              [](auto& f, auto&) {
                                  EXPECT_EQ(chown(f.c_str(), kNobody, kNobody), 0);
                                  return f;
                              },
                              false},
                      LeftRow{"MarkerIsALink",
                              [](auto& f, auto& e) {
                                  const std::string moved = e + "/marker";
                                  rename(Marker(f).c_str(), moved.c_str());
                                  EXPECT_EQ(symlink(moved.c_str(), Marker(f).c_str()), 0);
                                  return f;
                              },
                              false},
                      LeftRow{"MarkerOfAnotherUser",
                              [](auto& f, auto&) {
                                  EXPECT_EQ(chown(Marker(f).c_str(), kNobody, kNobody), 0);
                                  return f;
                              },
                              false},
                      LeftRow{"NoMarker",
                              [](auto& f, auto&) {
                                  unlink(Marker(f).c_str());
                                  return f;
                              },
                              false},
                      LeftRow{"SomethingElseInTheMarker",
                              [](auto& f, auto&) {
                                  WriteFile(Marker(f), "brelmont-run but not a run\n");
                                  return f;
                              },
                              false}),
    testing::RowName());

} // namespace
} // namespace brelmont
