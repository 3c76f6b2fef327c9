// SPDX-License-Identifier: MIT
#include "helpdelivery/display/HelpSystem.h"

#include "base/Exception.h"
#include "base/testing/RowName.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::brelmont::testing::PrintTo;

using namespace brelmont;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Records every platform step into one log, so the order across viewer and desktop can be checked.
class Recorder final : public IHelpViewerPlatform, public IHelpDesktop {
public:
    std::vector<std::string> log;
    std::vector<std::string> windowClasses;
    bool needsRestart = false;

    bool WinHelp(std::uintptr_t owner, const std::string& file, std::uint32_t command,
                 const std::string& text, std::int32_t number) override {
        std::string entry = "WinHelp " + std::to_string(owner) + " [" + file + "] " + std::to_string(command);
        if (command == HELP_COMMAND) {
            entry += " " + text;
        } else {
            entry += " " + std::to_string(number);
        }
        log.push_back(entry);
        if (command == HELP_QUIT) {
            needsRestart = false;
        }
        return true;
    }
    void EnumTopLevelWindowClasses(const std::function<bool(std::string_view)>& visit) override {
        for (const auto& name : windowClasses) {
            if (!visit(name)) {
                return;
            }
        }
    }
    bool ViewerNeedsRestart() override { return needsRestart; }
    void WaitForViewerExit() override { log.push_back("Wait"); }
    void SetCurrentFolder(const std::string& folder) override { log.push_back("Chdir " + folder); }
    bool ActivateWindow(std::string_view title) override {
        log.push_back("Activate " + std::string(title));
        return true;
    }
    bool SendKeys(std::string_view keys, bool wait) override {
        log.push_back("Keys " + std::string(keys) + (wait ? " wait" : " nowait"));
        return true;
    }
};

const std::string kWork = "/var/tmp/qwertyui";
const std::string kFile = kWork + "/help.hlp";
const std::string kJump = R"(JumpID("","TApplication_HelpJump"))";

// The program as it runs: one application, its main window with its stored help settings, an About box
// without any, and the viewer binding registered from the start.
class HelpRun : public ::testing::Test {
protected:
    HelpRun() {
        main.HelpFile = "help.hlp";
        main.HelpType = THelpType::htKeyword;
        main.LoadHelpKeyword("help.hlp");
    }

    void ClickHelp() { ShowHelp(app, main, kWork, rec); }
    // F1 on a field of the main window: the field and its panel carry no help, the window does.
    void F1InMain() {
        HelpSettings field, panel;
        const HelpSettings* chain[] = {&field, &panel, &main};
        RequestControlHelp(app, chain);
    }
    void ViewerWindowOpen() { rec.windowClasses = {"openbox", "BRELMONT-Help"}; }

    Recorder rec;
    HelpSettings main;
    HelpSettings about;
    const HelpSettings* active = &main;
    THelpManager manager;
    TWinHelpViewer viewer{manager, rec};
    THelpApplication app{manager, [this] { return active; }};
};

TEST_F(HelpRun, FirstClickSetsTheSettingsThenJumpsActivatesAndTypesEnter) {
    ClickHelp();
    EXPECT_EQ(app.Help.HelpFile, kFile);
    EXPECT_EQ(main.HelpFile, kFile);
    EXPECT_EQ(main.HelpKeyword(), kFile);
    EXPECT_EQ(main.HelpType, THelpType::htKeyword);
    EXPECT_THAT(rec.log, ElementsAre("Chdir " + kWork, "WinHelp 0 [" + kFile + "] 258 " + kJump,
                                     "Activate Справка Windows", "Keys {enter} nowait"));
    EXPECT_EQ(viewer.LastKind(), TWinHelpViewer::LastRequest::Text);
    EXPECT_EQ(viewer.LastText(), kJump);
}

TEST_F(HelpRun, RepeatedJumpIsSuppressedOnlyWhileTheViewerWindowExists) {
    ClickHelp();
    ViewerWindowOpen();
    rec.log.clear();
    ClickHelp();
    EXPECT_THAT(rec.log, ElementsAre("Chdir " + kWork, "Activate Справка Windows", "Keys {enter} nowait"));

    rec.windowClasses = {"openbox", "brelmont-helper"};
    rec.log.clear();
    ClickHelp();
    EXPECT_EQ(rec.log.at(1), "WinHelp 0 [" + kFile + "] 258 " + kJump);
}

TEST_F(HelpRun, F1BeforeTheFirstClickUsesTheBareNameAndAfterItTheFullPath) {
    F1InMain();
    const std::string bare = R"x(IE(AL("help.hlp",4),"AL(\"help.hlp\",3)","JK(\"help.hlp\",\"help.hlp\")"))x";
    EXPECT_THAT(rec.log, ElementsAre("WinHelp 0 [help.hlp] 258 " + bare));

    ClickHelp();
    rec.log.clear();
    F1InMain();
    EXPECT_THAT(rec.log, ElementsAre("WinHelp 0 [" + kFile + "] 258 " + KeywordCommand(kFile, kFile)));
}

TEST_F(HelpRun, JumpAfterAKeywordRequestIsSentAgain) {
    ClickHelp();
    ViewerWindowOpen();
    F1InMain();
    rec.log.clear();
    ClickHelp();
    EXPECT_EQ(rec.log.at(1), "WinHelp 0 [" + kFile + "] 258 " + kJump);
}

TEST_F(HelpRun, SameKeywordTwiceWhileTheViewerIsOpenIsSentOnce) {
    ViewerWindowOpen();
    F1InMain();
    F1InMain();
    EXPECT_EQ(rec.log.size(), 1u);
}

TEST_F(HelpRun, F1InTheAboutBoxSendsNothing) {
    active = &about;
    HelpSettings button, memo;
    const HelpSettings* chain[] = {&button, &memo, &about};
    EXPECT_FALSE(RequestControlHelp(app, chain));
    const HelpSettings* unregistered[] = {nullptr, nullptr};
    EXPECT_FALSE(RequestControlHelp(app, unregistered));
    EXPECT_THAT(rec.log, IsEmpty());
}

TEST_F(HelpRun, F1TakesTheNearestControlWithHelp) {
    HelpSettings emptyKeyword, context, outer;
    emptyKeyword.SetHelpKeyword("");
    context.HelpContext = 42;
    outer.HelpContext = 7;
    const HelpSettings* chain[] = {&emptyKeyword, &context, &outer, &main};
    EXPECT_TRUE(RequestControlHelp(app, chain));
    EXPECT_THAT(rec.log, ElementsAre("WinHelp 0 [help.hlp] 1 42"));
}

TEST_F(HelpRun, MenuHelpAsksForContextZeroOnceWhileTheViewerIsOpen) {
    ViewerWindowOpen();
    RequestMenuHelp(app, 0);
    // The binding starts at kind context and number 0, so even the first such request finds a duplicate.
    EXPECT_THAT(rec.log, IsEmpty());

    rec.windowClasses.clear();
    RequestMenuHelp(app, 0);
    EXPECT_THAT(rec.log, ElementsAre("WinHelp 0 [help.hlp] 1 0"));
    ViewerWindowOpen();
    RequestMenuHelp(app, 0);
    EXPECT_EQ(rec.log.size(), 1u);
    RequestMenuHelp(app, 5);
    EXPECT_EQ(rec.log.back(), "WinHelp 0 [help.hlp] 1 5");
}

TEST_F(HelpRun, ExactlyOneQuitWithAnEmptyFileWhetherOrNotHelpWasShown) {
    viewer.ShutDown();
    viewer.ShutDown();
    EXPECT_THAT(rec.log, ElementsAre("WinHelp 0 [] 2 0"));
    EXPECT_EQ(viewer.LastKind(), TWinHelpViewer::LastRequest::Quit);
    EXPECT_EQ(manager.ViewerCount(), 0u);
}

TEST_F(HelpRun, QuitAfterHelpWasShownIsTheLastRequest) {
    ClickHelp();
    viewer.ShutDown();
    EXPECT_EQ(rec.log.back(), "WinHelp 0 [] 2 0");
    EXPECT_EQ(std::count(rec.log.begin(), rec.log.end(), "WinHelp 0 [] 2 0"), 1);
}

TEST(HelpShutdown, TheBindingQuitsOnDestructionWhenNobodyShutItDown) {
    Recorder rec;
    THelpManager manager;
    { TWinHelpViewer viewer(manager, rec); }
    EXPECT_THAT(rec.log, ElementsAre("WinHelp 0 [] 2 0"));
}

TEST_F(HelpRun, AHungViewerIsReopenedOnTheCurrentFileAndTheRequestAlwaysGoesOut) {
    ClickHelp();
    ViewerWindowOpen();
    rec.needsRestart = true;
    rec.log.clear();
    ClickHelp();
    EXPECT_THAT(rec.log,
                ElementsAre("Chdir " + kWork, "WinHelp 0 [] 2 0", "Wait", "WinHelp 0 [" + kFile + "] 9 0",
                            "WinHelp 0 [" + kFile + "] 258 " + kJump, "Activate Справка Windows",
                            "Keys {enter} nowait"));
}

TEST(HelpReadiness, WithoutAHelpFileThereIsNothingToReopenOrSend) {
    Recorder rec;
    rec.needsRestart = true;
    THelpManager manager;
    TWinHelpViewer viewer(manager, rec);
    THelpApplication app(manager, [] { return nullptr; });
    app.HelpJump("Topic10");
    EXPECT_THAT(rec.log, ElementsAre("WinHelp 0 [] 2 0", "Wait"));
    viewer.ShutDown();
}

TEST_F(HelpRun, TheRequestUsesTheActiveWindowsFileElseTheApplicationsElseTheLastOne) {
    app.Help.HelpFile = "app.hlp";
    EXPECT_EQ(app.CurrentHelpFile(), "help.hlp");
    active = &about;
    EXPECT_EQ(app.CurrentHelpFile(), "app.hlp");
    app.HelpJump("Topic10");
    app.Help.HelpFile.clear();
    app.HelpJump("Topic20");
    EXPECT_THAT(rec.log, ElementsAre(R"(WinHelp 0 [app.hlp] 258 JumpID("","Topic10"))",
                                     R"(WinHelp 0 [app.hlp] 258 JumpID("","Topic20"))"));
}

TEST(HelpManagerAlone, WithoutAViewerEachKindOfRequestFailsWithItsMessage) {
    THelpManager manager;
    THelpApplication app(manager, [] { return nullptr; });
    auto message = [](auto&& request) {
        try {
            request();
        } catch (const EHelpSystemException& e) {
            return e.Message();
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([&] { app.HelpJump("x"); }), "No topic-based help system installed");
    EXPECT_EQ(message([&] { app.HelpKeyword("Келли"); }), "No help found for Келли");
    EXPECT_EQ(message([&] { app.HelpContext(3); }), "No context-sensitive help installed");
}

struct CutCase {
    std::string name;
    std::string topic;
    std::size_t length;
};

class JumpCommandCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(JumpCommandCut, KeepsAtMost255Bytes) {
    const auto command = JumpCommand(GetParam().topic);
    EXPECT_EQ(command.size(), GetParam().length);
    EXPECT_EQ(command.substr(0, 11), "JumpID(\"\",\"");
}

// The frame around the topic id takes 13 bytes.
INSTANTIATE_TEST_SUITE_P(
    Lengths, JumpCommandCut,
    ::testing::Values(CutCase{"Short", "Topic10", 20}, CutCase{"ExactlyFull", std::string(242, 'a'), 255},
                      CutCase{"OneOver", std::string(243, 'a'), 255},
                      CutCase{"FarOver", std::string(5000, 'a'), 255},
                      CutCase{"NeverSplitsACharacter", std::string(241, 'a') + "жж", 254}),
    brelmont::testing::RowName());

TEST(KeywordCommandText, HasNoLengthLimitAndPutsKeywordAndFileInTheirPlaces) {
    EXPECT_EQ(KeywordCommand("kw", "f.hlp"), R"x(IE(AL("kw",4),"AL(\"kw\",3)","JK(\"f.hlp\",\"kw\")"))x");
    const std::string longKeyword(400, 'k');
    EXPECT_EQ(KeywordCommand(longKeyword, "f").size(), KeywordCommand("", "").size() + 3 * 400 + 1);
}

} // namespace
