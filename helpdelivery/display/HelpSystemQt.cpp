// SPDX-License-Identifier: MIT
#include "helpdelivery/display/HelpSystemQt.h"

#include "base/Exception.h"
#include "helpdelivery/display/WinHelpBridge.h"
#include "helpdelivery/display/X11WindowClasses.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace brelmont {

namespace {

class QtViewerPlatform final : public IHelpViewerPlatform {
public:
    QtViewerPlatform(const QString& program, const QString& server, std::function<std::string()> helpFolder)
        : bridge_(program, server), helpFolder_(std::move(helpFolder)) {}

    bool WinHelp(std::uintptr_t, const std::string& file, std::uint32_t command, const std::string& text,
                 std::int32_t number) override {
        helpprotocol::Request request;
        request.command = command;
        request.file = QString::fromStdString(file);
        request.folder = QDir::currentPath();
        request.text = QByteArray::fromStdString(text);
        request.number = number;
        if (helpFolder_) {
            request.helpFolder = QString::fromStdString(helpFolder_());
        }
        return !bridge_.Send(request).isEmpty();
    }
    void EnumTopLevelWindowClasses(const std::function<bool(std::string_view)>& visit) override {
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            EnumX11TopLevelWindowClasses(visit);
        }
    }
    bool ViewerNeedsRestart() override { return bridge_.ViewerHung(); }
    void WaitForViewerExit() override { bridge_.WaitForViewerExit(); }

private:
    WinHelpBridge bridge_;
    std::function<std::string()> helpFolder_;
};

class QtDesktop final : public IHelpDesktop {
public:
    explicit QtDesktop(const HelpSystemOptions& options) : options_(options) {}

    void SetCurrentFolder(const std::string& folder) override {
        QDir::setCurrent(QString::fromStdString(folder));
    }
    bool ActivateWindow(std::string_view title) override {
        return options_.ActivateWindow ? options_.ActivateWindow(title) : false;
    }
    bool SendKeys(std::string_view keys, bool wait) override {
        return options_.SendKeys ? options_.SendKeys(keys, wait) : false;
    }

private:
    const HelpSystemOptions& options_;
};

class F1Filter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

struct HelpState {
    explicit HelpState(HelpSystemOptions o)
        : options(std::move(o)),
          platform(options.Platform ? options.Platform
                                    : std::make_shared<QtViewerPlatform>(
                                          options.ViewerProgram, options.ServerName, options.WorkFolder)),
          desktop(options) {}

    HelpSystemOptions options;
    std::shared_ptr<IHelpViewerPlatform> platform;
    QtDesktop desktop;
    THelpManager manager;
    TWinHelpViewer viewer{manager, *platform};
    THelpApplication application{manager, [this] { return ActiveWindowHelp(); }};
    QHash<const QWidget*, HelpSettings> settings;
    QPointer<QWidget> mainWindow;
    F1Filter filter;
    bool shutDown = false;

    const HelpSettings* Find(const QWidget* widget) const {
        auto it = settings.constFind(widget);
        return it == settings.constEnd() ? nullptr : &*it;
    }
    const HelpSettings* ActiveWindowHelp() const;
};

std::unique_ptr<HelpState>& State() {
    static std::unique_ptr<HelpState> state;
    return state;
}

HelpState& Installed() {
    auto& state = State();
    if (!state) {
        throw EHelpSystemException("No topic-based help system installed");
    }
    return *state;
}

// The widget a pop-up menu belongs to, for a menu opened from a window.
const QWidget* MenuOwner(const QMenu* menu) {
    const QWidget* owner = menu->parentWidget();
    while (owner != nullptr && qobject_cast<const QMenu*>(owner) != nullptr) {
        owner = owner->parentWidget();
    }
    return owner;
}

// A pop-up menu does not count as a window of its own: the window it was opened from stays the active one.
const HelpSettings* HelpState::ActiveWindowHelp() const {
    const QWidget* window = QApplication::activeWindow();
    if (const auto* menu = qobject_cast<const QMenu*>(QApplication::activePopupWidget())) {
        if (const QWidget* owner = MenuOwner(menu)) {
            window = owner->window();
        }
    }
    return Find(window);
}

bool F1Filter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
        static_cast<QKeyEvent*>(event)->modifiers() != Qt::NoModifier) {
        return false;
    }
    auto& state = *State();
    if (auto* menu = qobject_cast<QMenu*>(watched)) {
        // Menu items carry no help numbers in this program, so the request names context 0; it is made
        // only for menus of windows that have help.
        const QWidget* owner = MenuOwner(menu);
        if (owner == nullptr || state.Find(owner->window()) == nullptr) {
            return false;
        }
        RequestMenuHelp(state.application, 0);
        return true;
    }
    // A key event travels from the focused widget up through its parents; only its first delivery counts.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr ||
        (QApplication::focusWidget() != nullptr && widget != QApplication::focusWidget())) {
        return false;
    }
    std::vector<const HelpSettings*> chain;
    for (const QWidget* w = widget; w != nullptr; w = w->isWindow() ? nullptr : w->parentWidget()) {
        chain.push_back(state.Find(w));
    }
    return RequestControlHelp(state.application, chain);
}

void ShutdownAtExit() {
    ShutdownHelpSystem();
    State().reset();
}

} // namespace

void InstallHelpSystem(HelpSystemOptions options) {
    auto& state = State();
    if (state && !state->shutDown) {
        return;
    }
    state = std::make_unique<HelpState>(std::move(options));
    qApp->installEventFilter(&state->filter);
    qAddPostRoutine(ShutdownAtExit);
}

HelpSettings& WidgetHelp(QWidget* widget) {
    auto& state = Installed();
    if (!state.settings.contains(widget)) {
        QObject::connect(widget, &QObject::destroyed, &state.filter,
                         [widget] { State()->settings.remove(widget); });
    }
    return state.settings[widget];
}

void SetMainHelpWindow(QWidget* window) {
    auto& help = WidgetHelp(window);
    help.HelpFile = std::string(kHelpFileName);
    help.HelpType = THelpType::htKeyword;
    help.LoadHelpKeyword(std::string(kHelpFileName));
    Installed().mainWindow = window;
}

void ShowHelp() {
    auto& state = Installed();
    HelpSettings unused;
    HelpSettings& main = state.mainWindow ? WidgetHelp(state.mainWindow) : unused;
    const std::string folder = state.options.WorkFolder ? state.options.WorkFolder() : std::string();
    ShowHelp(state.application, main, folder, state.desktop);
}

THelpApplication& HelpApplication() {
    return Installed().application;
}

void ShutdownHelpSystem() {
    auto& state = State();
    if (!state || state->shutDown) {
        return;
    }
    state->shutDown = true;
    if (qApp != nullptr) {
        qApp->removeEventFilter(&state->filter);
    }
    state->viewer.ShutDown();
}

} // namespace brelmont
