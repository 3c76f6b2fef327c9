// SPDX-License-Identifier: MIT
#include "helpdelivery/display/HelpSystemQt.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using namespace brelmont;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

QApplication& App() {
    static int argc = 1;
    static char name[] = "helpdisplay_qt_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the widgets' statics go first at exit.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

class Recorder final : public IHelpViewerPlatform {
public:
    explicit Recorder(std::vector<std::string>& log) : log_(log) {}
    bool WinHelp(std::uintptr_t, const std::string& file, std::uint32_t command, const std::string& text,
                 std::int32_t number) override {
        log_.push_back("WinHelp [" + file + "] " + std::to_string(command) + " " +
                       (command == HELP_COMMAND ? text : std::to_string(number)));
        return true;
    }
    void EnumTopLevelWindowClasses(const std::function<bool(std::string_view)>&) override {}
    bool ViewerNeedsRestart() override { return false; }
    void WaitForViewerExit() override {}

private:
    std::vector<std::string>& log_;
};

// The program's windows as the start-up code sets them up: a main window with a field, and an About box.
class QtHelp : public ::testing::Test {
protected:
    QtHelp() {
        HelpSystemOptions options;
        options.WorkFolder = [this] { return work.path().toStdString(); };
        options.ActivateWindow = [this](std::string_view title) {
            log.push_back("Activate " + std::string(title) + " in " + QDir::currentPath().toStdString());
            return true;
        };
        options.SendKeys = [this](std::string_view keys, bool wait) {
            log.push_back("Keys " + std::string(keys) + (wait ? " wait" : " nowait"));
            return true;
        };
        options.Platform = std::make_shared<Recorder>(log);
        InstallHelpSystem(std::move(options));
        auto* layout = new QVBoxLayout(&main);
        layout->addWidget(field);
        SetMainHelpWindow(&main);
        new QVBoxLayout(&about);
        about.layout()->addWidget(aboutButton);
    }
    ~QtHelp() override {
        ShutdownHelpSystem();
        QDir::setCurrent(start);
    }

    void PressF1(QWidget* window, QWidget* focus) {
        window->show();
        QApplication::setActiveWindow(window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_F1);
    }
    std::string Keyword(const std::string& keyword, const std::string& file) {
        return "WinHelp [" + file + "] 258 " + KeywordCommand(keyword, file);
    }

    QApplication& app = App();
    QString start = QDir::currentPath();
    QTemporaryDir work;
    std::vector<std::string> log;
    QWidget main;
    QLineEdit* field = new QLineEdit;
    QDialog about;
    QLineEdit* aboutButton = new QLineEdit;
};

TEST_F(QtHelp, F1InAFieldBeforeAndAfterTheHelpButton) {
    PressF1(&main, field);
    EXPECT_THAT(log, ElementsAre(Keyword("help.hlp", "help.hlp")));

    log.clear();
    ShowHelp();
    const std::string file = QDir(work.path()).filePath(QStringLiteral("help.hlp")).toStdString();
    EXPECT_THAT(log, ElementsAre("WinHelp [" + file + "] 258 " + JumpCommand(kHelpJumpTopic),
                                 "Activate Справка Windows in " + work.path().toStdString(),
                                 "Keys {enter} nowait"));
    EXPECT_EQ(HelpApplication().Help.HelpFile, file);
    EXPECT_EQ(WidgetHelp(&main).HelpKeyword(), file);

    log.clear();
    PressF1(&main, field);
    EXPECT_THAT(log, ElementsAre(Keyword(file, file)));
}

TEST_F(QtHelp, F1InTheAboutBoxDoesNothing) {
    PressF1(&about, aboutButton);
    EXPECT_THAT(log, IsEmpty());
}

TEST_F(QtHelp, F1InAMenuOfTheMainWindowAsksForContextZero) {
    main.show();
    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QMenu menu(&main);
    menu.addAction(QStringLiteral("Пункт"));
    menu.popup(main.mapToGlobal(QPoint(5, 5)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    QTest::keyClick(&menu, Qt::Key_F1);
    EXPECT_THAT(log, ElementsAre("WinHelp [help.hlp] 1 0"));

    log.clear();
    QMenu stray;
    stray.addAction(QStringLiteral("Пункт"));
    stray.popup(QPoint(5, 5));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&stray));
    QTest::keyClick(&stray, Qt::Key_F1);
    EXPECT_THAT(log, IsEmpty());
}

TEST_F(QtHelp, ShutdownSendsOneQuitAndF1DoesNothingAfterIt) {
    ShutdownHelpSystem();
    ShutdownHelpSystem();
    EXPECT_THAT(log, ElementsAre("WinHelp [] 2 0"));
    PressF1(&main, field);
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(QtHelp, SettingsOfDestroyedWidgetsAreForgotten) {
    auto* extra = new QLineEdit(&main);
    WidgetHelp(extra).HelpContext = 12;
    PressF1(&main, extra);
    EXPECT_THAT(log, ElementsAre("WinHelp [help.hlp] 1 12"));
    delete extra;
    auto* reborn = new QLineEdit(&main);
    EXPECT_FALSE(WidgetHelp(reborn).HasHelp());
}

} // namespace
