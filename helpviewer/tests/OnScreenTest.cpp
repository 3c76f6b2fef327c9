// SPDX-License-Identifier: MIT
// The program's help as the user meets it, on a real X server with a window manager: a stand-in for the
// program's main window calls the help system the way the program does, and the real viewer program, the
// real window search and the real keystrokes do the rest.
#include "ActiveWindow.h"
#include "SampleHelp.h"
#include "helpdelivery/display/HelpSystemQt.h"
#include "helpdelivery/display/WinHelpBridge.h"
#include "helpdelivery/display/X11WindowClasses.h"
#include "sendkeys/SendKeys.h"
#include "sendkeys/x11/X11KeyPlatform.h"

#include <QApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>

#ifndef BRELMONT_VIEWER_PROGRAM
#error "the tests need the viewer program's path"
#endif

namespace {

using namespace brelmont;

const char* const kMainTitle = "Вычисление по методу Келли";
// The waits end as soon as their condition holds; a long bound only keeps a stalled machine from failing
// them.
constexpr int kPatienceMs = 30000;

bool ViewerWindowExists() {
    bool found = false;
    EnumX11TopLevelWindowClasses([&found](std::string_view name) {
        found = SameTextAsciiCase(name, kViewerWindowClass);
        return !found;
    });
    return found;
}

class OnScreen : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "helpdisplay_onscreen";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
        static X11KeyPlatform platform;
        SetKeyPlatform(&platform);
        work = new QTemporaryDir;
        brelmont::testing::WriteSampleHelp(work->path());
        HelpSystemOptions options;
        options.WorkFolder = [] { return work->path().toStdString(); };
        // What the help display met on its way, for the message of a failure: a lost key alone says little.
        options.ActivateWindow = [](std::string_view title) {
            const auto start = std::chrono::steady_clock::now();
            const bool found = brelmont::ActivateWindow(title);
            const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start);
            journal +=
                "activation " +
                std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(start - asked).count()) +
                " ms after the request: " + std::string(found ? "found" : "not found") + " in " +
                std::to_string(took.count()) +
                " ms; active then: " + brelmont::testing::Active().windowClass + "\n";
            return found;
        };
        options.SendKeys = [](std::string_view keys, bool wait) {
            const bool sent = brelmont::SendKeys(keys, wait);
            journal += std::string(keys) + (sent ? " sent" : " not sent") + "\n";
            return sent;
        };
        options.ViewerProgram = QStringLiteral(BRELMONT_VIEWER_PROGRAM);
        InstallHelpSystem(std::move(options));

        main = new QWidget;
        main->setWindowTitle(QString::fromUtf8(kMainTitle));
        main->resize(592, 451);
        auto* layout = new QVBoxLayout(main);
        field = new QLineEdit;
        layout->addWidget(field);
        SetMainHelpWindow(main);
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main, kPatienceMs));
    }

    static void TearDownTestSuite() {
        delete work;
        work = nullptr;
    }

    static QJsonObject ViewerState() {
        static WinHelpBridge query(QStringLiteral("/nonexistent/brelmont-help"), QString());
        helpprotocol::Request request;
        request.command = helpprotocol::kQueryState;
        return QJsonDocument::fromJson(query.Send(request)).object();
    }
    static bool ViewerActive() { return brelmont::testing::Active().windowClass == kViewerWindowClass; }
    static void BringMainBack() {
        brelmont::ActivateWindow(kMainTitle);
        ASSERT_TRUE(QTest::qWaitFor(
            [] { return brelmont::testing::Active().title == kMainTitle && main->isActiveWindow(); },
            kPatienceMs));
        field->setFocus();
    }

    static inline std::string journal;
    static inline std::chrono::steady_clock::time_point asked;
    static inline QTemporaryDir* work = nullptr;
    static inline QWidget* main = nullptr;
    static inline QLineEdit* field = nullptr;
};

TEST_F(OnScreen, HelpButtonBringsTheViewerToTheFrontWithTheContentsAndTheEnterLandsThere) {
    asked = std::chrono::steady_clock::now();
    ShowHelp();
    ASSERT_TRUE(QTest::qWaitFor(ViewerActive, kPatienceMs));
    EXPECT_EQ(brelmont::testing::Active().title, "Справка Windows");
    QJsonObject state;
    // The Enter opens the selected contents entry; the contents stay beside it.
    EXPECT_TRUE(QTest::qWaitFor(
        [&state] {
            state = ViewerState();
            return state[QStringLiteral("page")].toString() == QLatin1String("topic:Topic10");
        },
        kPatienceMs))
        << QJsonDocument(state).toJson().constData() << journal;
    EXPECT_EQ(state[QStringLiteral("title")].toString(), QStringLiteral("Справка Windows"));
    EXPECT_EQ(state[QStringLiteral("focus")].toString(), QStringLiteral("contents"));
    EXPECT_TRUE(state[QStringLiteral("active")].toBool());
    QStringList titles;
    for (const auto& t : state[QStringLiteral("contents")].toArray()) {
        titles << t.toString();
    }
    EXPECT_EQ(titles, brelmont::testing::kSampleTitles);
}

TEST_F(OnScreen, SecondClickAsksNothingNewButBringsTheViewerBack) {
    BringMainBack();
    ASSERT_FALSE(ViewerActive());
    ShowHelp();
    EXPECT_TRUE(QTest::qWaitFor(ViewerActive, kPatienceMs));
    EXPECT_TRUE(ViewerWindowExists());
}

// F1 asks with the help file's path as its keyword: the viewer opens the contents, with nothing left in the
// index's search box.
TEST_F(OnScreen, F1InAFieldShowsTheContentsInTheViewer) {
    BringMainBack();
    ASSERT_TRUE(brelmont::SendKeys("{F1}", false));
    const QString path = QDir(work->path()).filePath(QStringLiteral("help.hlp"));
    QJsonObject state;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            state = ViewerState();
            return state[QStringLiteral("file")].toString() == path &&
                   state[QStringLiteral("page")].toString() == QStringLiteral("contents:all");
        },
        kPatienceMs))
        << QJsonDocument(state).toJson().constData();
    EXPECT_EQ(state[QStringLiteral("tab")].toString(), QStringLiteral("contents"));
    EXPECT_EQ(state[QStringLiteral("keyword")].toString(), QString());
    // Nothing activates the viewer after F1; it comes to the front by itself.
    EXPECT_TRUE(QTest::qWaitFor(ViewerActive, kPatienceMs));
}

TEST_F(OnScreen, TheEndOfTheRunClosesTheViewer) {
    // The program's final clean-up: the application object goes, and with it the viewer binding.
    delete main;
    delete qApp;
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        gone = !ViewerWindowExists();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(gone);
}

} // namespace
