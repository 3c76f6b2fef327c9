// SPDX-License-Identifier: MIT
// Runs on a private X server (scripts/with-xvfb.sh), with and without a window manager: real key events into
// real windows of this process, and activation of a window found by the beginning of its title.
#include "sendkeys/x11/X11KeyPlatform.h"

#include "base/testing/RowName.h"
#include "sendkeys/SendKeys.h"
#include "sendkeys/x11/tests/XObserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;

// Records every key press it receives, Tab included, as the text typed or as the key's name in angle
// brackets.
class KeyCatcher : public QWidget {
public:
    explicit KeyCatcher(const QString& title) {
        setWindowTitle(title);
        setFocusPolicy(Qt::StrongFocus);
        resize(300, 120);
    }

    std::vector<std::string> Received;

protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return QWidget::event(event);
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
            return true;
        default:
            break;
        }
        const Qt::KeyboardModifiers chords = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
        if (chords == Qt::NoModifier && !key->text().isEmpty() && key->text().at(0).isPrint()) {
            Received.push_back(key->text().toStdString());
        } else {
            const QKeySequence sequence(key->keyCombination().toCombined() & ~Qt::ShiftModifier);
            Received.push_back("<" + sequence.toString().toStdString() + ">");
        }
        return true;
    }
};

bool WaitUntil(const std::function<bool()>& done, int milliseconds = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

void Settle(int milliseconds = 150) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

X11KeyPlatform& Platform() {
    static X11KeyPlatform platform;
    return platform;
}

const QString CatcherTitle = QStringLiteral("Brelmont key catcher");
const QString HelpTitle = QStringLiteral("Справка Windows");

class RealWindows : public ::testing::Test {
protected:
    void SetUp() override {
        SetKeyPlatform(&Platform());
        ASSERT_TRUE(Platform().Connected());
        catcher = std::make_unique<KeyCatcher>(CatcherTitle);
        help = std::make_unique<KeyCatcher>(HelpTitle);
        help->move(400, 300);
        help->show();
        catcher->show();
        // With a window manager, a window can be found only once the manager has taken it on.
        ASSERT_TRUE(WaitUntil([this] {
            return Platform().FindWindowByTitle(CatcherTitle.toStdString()) == catcher->winId() &&
                   Platform().FindWindowByTitle(HelpTitle.toStdString()) == help->winId();
        }));
        Settle();
    }

    void TearDown() override {
        catcher.reset();
        help.reset();
        Settle(50);
        SetKeyPlatform(nullptr);
    }

    // Gives a window the focus through ActivateWindow and waits until both the server and the toolkit have
    // moved it there. The toolkit hands each key event to the window it last heard had the focus, not to the
    // window the server addressed: keys sent before it has read the focus change land in the other window.
    // Under load that takes longer than any fixed wait, so only the toolkit's own focus window will do, or
    // none: with none it hands keys to the window the server addressed. None is where a modal box that has
    // just closed can leave it: the toolkit passes a focus change that arrives meanwhile on to the box, and
    // the server never repeats it for a window that keeps the focus.
    void Focus(KeyCatcher& window) {
        ASSERT_TRUE(ActivateWindow(window.windowTitle().toStdString()));
        ASSERT_EQ(FoundWindow, window.winId());
        ASSERT_TRUE(WaitUntil([&] { return observer.Focus() == window.winId(); }))
            << "focus " << observer.Focus() << ", wanted " << window.winId();
        ASSERT_TRUE(WaitUntil([&] {
            const QWindow* toolkit = QGuiApplication::focusWindow();
            return toolkit == window.windowHandle() || toolkit == nullptr;
        })) << "the toolkit still sends keys to "
            << (QGuiApplication::focusWindow() != nullptr
                    ? QGuiApplication::focusWindow()->title().toStdString()
                    : std::string("no window"));
    }

    void ExpectTyped(KeyCatcher& window, const std::vector<std::string>& expected) {
        WaitUntil([&] { return window.Received.size() >= expected.size(); });
        Settle();
        EXPECT_EQ(window.Received, expected);
        EXPECT_EQ(observer.KeysDown(), 0);
    }

    Observer observer;
    std::unique_ptr<KeyCatcher> catcher;
    std::unique_ptr<KeyCatcher> help;
};

struct TypingRow {
    std::string name;
    std::string keys;
    std::vector<std::string> expected;
};

void PrintTo(const TypingRow& row, std::ostream* out) {
    *out << row.name;
}

class Typing : public RealWindows, public ::testing::WithParamInterface<TypingRow> {};

TEST_P(Typing, WindowReceivesExactlyTheKeys) {
    Focus(*catcher);
    EXPECT_TRUE(SendKeys(GetParam().keys, false));
    ExpectTyped(*catcher, GetParam().expected);
    EXPECT_TRUE(help->Received.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Typing,
    ::testing::Values(
        TypingRow{"Letters", "abcXYZ", {"a", "b", "c", "X", "Y", "Z"}},
        TypingRow{"Digits", "0189", {"0", "1", "8", "9"}},
        TypingRow{"ShiftedCharacters",
                  "!@#$&*_:\"<>?|",
                  {"!", "@", "#", "$", "&", "*", "_", ":", "\"", "<", ">", "?", "|"}},
        TypingRow{
            "Punctuation", " -=[];',./\\`", {" ", "-", "=", "[", "]", ";", "'", ",", ".", "/", "\\", "`"}},
        TypingRow{"ShiftPrefixAndGroup", "+a+(bc)d", {"A", "B", "C", "d"}},
        TypingRow{"Braces", "{{}{}}{+}{^}{%}{~}{(}{)}", {"{", "}", "+", "^", "%", "~", "(", ")"}},
        TypingRow{
            "NamedKeys",
            "{TAB}{BS}{LEFT}{F5}{ESC}{DEL}{HOME}{PGDN}{INS}",
            {"<Tab>", "<Backspace>", "<Left>", "<F5>", "<Esc>", "<Del>", "<Home>", "<PgDown>", "<Ins>"}},
        TypingRow{"Enter", "~{enter}", {"<Return>", "<Return>"}},
        TypingRow{"Counts", "{x 3}{TAB 2}", {"X", "X", "X", "<Tab>", "<Tab>"}},
        TypingRow{"ControlChord", "^a", {"<Ctrl+A>"}},
        TypingRow{"Mixed",
                  "Kelly 2,5{%} {(}+3{)}~",
                  {"K", "e", "l", "l", "y", " ", "2", ",", "5", "%", " ", "(", "#", ")", "<Return>"}}),
    testing::RowName{});

TEST_F(RealWindows, WaitDeliversTheKeysBeforeReturning) {
    Focus(*catcher);
    EXPECT_TRUE(SendKeys("ab{TAB}", true));
    EXPECT_EQ(catcher->Received, (std::vector<std::string>{"a", "b", "<Tab>"}));
}

TEST_F(RealWindows, EarlyEndShowsBoxAndLeavesNoModifierDown) {
    Focus(*catcher);
    QString caption;
    QString text;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            caption = box->windowTitle();
            text = box->text();
            box->accept();
        }
    });
    closer.start(50);
    EXPECT_FALSE(SendKeys("+^{TAB", false));
    closer.stop();
    EXPECT_EQ(caption, QStringLiteral("SendKeys"));
    EXPECT_EQ(text, QStringLiteral("No Close"));
    Focus(*catcher);
    Settle();
    EXPECT_EQ(observer.KeysDown(), 0);
    EXPECT_TRUE(SendKeys("a", false));
    ExpectTyped(*catcher, {"a"});
}

TEST_F(RealWindows, ActivateWindowFindsCyrillicTitlePrefix) {
    Focus(*catcher);
    EXPECT_TRUE(ActivateWindow("Справка"));
    EXPECT_EQ(FoundWindow, help->winId());
    EXPECT_TRUE(WaitUntil([&] {
        return observer.Focus() == help->winId() && QGuiApplication::focusWindow() == help->windowHandle();
    }));
    if (Platform().HasWindowManager()) {
        EXPECT_TRUE(WaitUntil([&] { return observer.ActiveWindow() == help->winId(); }));
    }
    // What the help display does next.
    EXPECT_TRUE(SendKeys("{enter}", false));
    ExpectTyped(*help, {"<Return>"});
    EXPECT_TRUE(catcher->Received.empty());
}

// The help display types its Enter straight after the activation, into whatever window the server then
// gives the keys to: the activated window must have the focus by the time ActivateWindow returns, however
// long the window manager takes.
TEST_F(RealWindows, ActivateWindowReturnsOnceTheWindowHasTheFocus) {
    Focus(*catcher);
    for (int round = 0; round < 5; ++round) {
        ASSERT_TRUE(ActivateWindow("Справка"));
        EXPECT_EQ(observer.Focus(), help->winId()) << "round " << round;
        ASSERT_TRUE(ActivateWindow(CatcherTitle.toStdString()));
        EXPECT_EQ(observer.Focus(), catcher->winId()) << "round " << round;
    }
}

TEST_F(RealWindows, UnknownTitleAnswersFalseAndSendsNothing) {
    Focus(*catcher);
    EXPECT_FALSE(ActivateWindow("Нет такого окна"));
    EXPECT_EQ(FoundWindow, 0u);
    Settle(300);
    EXPECT_EQ(observer.Focus(), catcher->winId());
    EXPECT_TRUE(catcher->Received.empty());
    EXPECT_TRUE(help->Received.empty());
}

TEST_F(RealWindows, RestoreBringsBackMinimisedWindow) {
    if (!Platform().HasWindowManager()) {
        GTEST_SKIP() << "windows are minimised only by a window manager";
    }
    help->showMinimized();
    ASSERT_TRUE(WaitUntil([&] { return observer.Minimised(help->winId()); }));
    EXPECT_TRUE(ActivateWindow("Справка wINDOWS"));
    EXPECT_TRUE(
        WaitUntil([&] { return !observer.Minimised(help->winId()) && observer.Focus() == help->winId(); }));
}

TEST_F(RealWindows, RestoreUndoesMaximising) {
    if (!Platform().HasWindowManager()) {
        GTEST_SKIP() << "windows are maximised only by a window manager";
    }
    help->showMaximized();
    ASSERT_TRUE(WaitUntil([&] { return observer.Maximised(help->winId()); }));
    EXPECT_TRUE(ActivateWindow("Справка"));
    EXPECT_TRUE(
        WaitUntil([&] { return !observer.Maximised(help->winId()) && observer.Focus() == help->winId(); }));
}

TEST(ServerKeyboard, CharactersMapLikeTheUsLayout) {
    // The private server runs with the US keyboard map, so its keys must agree with the built-in US table.
    for (int c = 0x20; c <= 0x7E; ++c) {
        EXPECT_EQ(Platform().KeyCodeForCharacter(static_cast<char>(c)), UsLayoutKeyCode(static_cast<char>(c)))
            << "character " << static_cast<char>(c);
    }
    EXPECT_EQ(Platform().KeyCodeForCharacter('\t'), 0x09);
    EXPECT_EQ(Platform().KeyCodeForCharacter(static_cast<char>(0xD0)), NoKey);
}

TEST(ServerKeyboard, ScanCodesFollowTheKeyCodes) {
    EXPECT_EQ(Platform().ScanCode(vk::Return), 0x1Cu);
    EXPECT_EQ(Platform().ScanCode(vk::Escape), 0x01u);
    EXPECT_EQ(Platform().ScanCode('A'), 0x1Eu);
    EXPECT_EQ(Platform().ScanCode(vk::Shift), 0x2Au);
    EXPECT_EQ(Platform().ScanCode(0x7F), 0u); // F16: no such key on the server's keyboard
}

TEST(ServerKeyboard, NumLockFlipsTheLockState) {
    SetKeyPlatform(&Platform());
    const bool before = (Platform().KeyState(vk::NumLock) & 1u) != 0;
    EXPECT_TRUE(SendKeys("{NUMLOCK}", false));
    EXPECT_EQ((Platform().KeyState(vk::NumLock) & 1u) != 0, !before);
    KeyboardState state{};
    Platform().ReadKeyboardState(state);
    EXPECT_EQ((state[vk::NumLock] & 1u) != 0, !before);
    EXPECT_TRUE(SendKeys("{NUMLOCK 3}", false));
    EXPECT_EQ((Platform().KeyState(vk::NumLock) & 1u) != 0, before);
    SetKeyPlatform(nullptr);
}

TEST_F(RealWindows, WithoutDisplayNothingIsFoundOrSent) {
    Focus(*catcher);
    X11KeyPlatform nowhere(":4711");
    SetKeyPlatform(&nowhere);
    EXPECT_FALSE(nowhere.Connected());
    EXPECT_FALSE(ActivateWindow("Справка"));
    EXPECT_TRUE(SendKeys("abc{enter}", false));
    Settle(300);
    EXPECT_TRUE(catcher->Received.empty());
    EXPECT_EQ(observer.Focus(), catcher->winId());
}

} // namespace
} // namespace brelmont

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
