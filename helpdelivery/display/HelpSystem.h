// SPDX-License-Identifier: MIT
// The program's help-request layer, free of any toolkit: the help settings of the application and of windows
// and controls, the request dispatcher `THelpManager` with its one registered viewer binding
// `TWinHelpViewer`, the application's `HelpJump`/`HelpKeyword`/`HelpContext`, F1 resolution, and `ShowHelp`
// behind the main window's Help button. Everything the platform does (talking to the viewer program, looking
// for its window, changing the current folder, activating a window, typing keys) goes through the two small
// interfaces below, so tests record every step in order. The Qt layer (HelpSystemQt.h) supplies the real
// ones.
#pragma once

#include "base/Text.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brelmont {

enum class THelpType { htKeyword, htContext };

// The help settings that the application, each window and each control carry. A control with HelpType
// htContext and HelpContext 0 has no help.
class HelpSettings {
public:
    std::string HelpFile;
    THelpType HelpType = THelpType::htContext;
    std::int32_t HelpContext = 0;

    const std::string& HelpKeyword() const { return keyword_; }
    // Outside window loading a new keyword also makes the help keyword-type.
    void SetHelpKeyword(std::string keyword);
    // Used while a window's stored design is applied: the keyword only, the type as stored.
    void LoadHelpKeyword(std::string keyword) { keyword_ = std::move(keyword); }
    bool HasHelp() const;

private:
    std::string keyword_;
};

// Commands of the viewer call.
inline constexpr std::uint32_t HELP_CONTEXT = 1;
inline constexpr std::uint32_t HELP_QUIT = 2;
inline constexpr std::uint32_t HELP_FORCEFILE = 9;
inline constexpr std::uint32_t HELP_COMMAND = 0x0102;

inline constexpr std::string_view kHelpFileName = "help.hlp";
inline constexpr std::string_view kHelpJumpTopic = "TApplication_HelpJump";
// The section of the help on the risk chart: a jump to it opens the Kelly topic at that section.
inline constexpr std::string_view kRiskChartHelpTopic = "RiskChart";
inline constexpr std::string_view kViewerWindowTitle = "Справка Windows";
inline constexpr std::string_view kHelpKeys = "{enter}";
// The viewer program's file name, which is also the class name under which its top-level windows are found
// (compared ignoring the case of a to z) and the start of its request server's name.
inline constexpr std::string_view kViewerWindowClass = "brelmont-help";

// What the viewer binding needs from the platform.
class IHelpViewerPlatform {
public:
    virtual ~IHelpViewerPlatform() = default;
    // Hands one request to the help viewer. `text` is the data of HELP_COMMAND, `number` that of
    // HELP_CONTEXT; the other is unused. The result means nothing to the caller.
    virtual bool WinHelp(std::uintptr_t owner, const std::string& file, std::uint32_t command,
                         const std::string& text, std::int32_t number) = 0;
    // Calls `visit` with the class name of each top-level window until it returns false.
    virtual void EnumTopLevelWindowClasses(const std::function<bool(std::string_view)>& visit) = 0;
    // True when a viewer is running but has stopped answering, so that it must be closed and reopened.
    virtual bool ViewerNeedsRestart() = 0;
    // Waits, after a quit request, until the old viewer is gone.
    virtual void WaitForViewerExit() = 0;
};

// What ShowHelp needs from the desktop besides the viewer.
class IHelpDesktop {
public:
    virtual ~IHelpDesktop() = default;
    // Failure is not reported.
    virtual void SetCurrentFolder(const std::string& folder) = 0;
    virtual bool ActivateWindow(std::string_view title) = 0;
    virtual bool SendKeys(std::string_view keys, bool Wait) = 0;
};

// "JumpID("","<topic>")", cut to at most 255 bytes (never inside a UTF-8 sequence).
std::string JumpCommand(std::string_view topicId);
// The keyword macro: look for an associative link first, and otherwise jump through the keyword index.
std::string KeywordCommand(std::string_view keyword, std::string_view file);

// A help viewer that the dispatcher can hand requests to.
class ICustomHelpViewer {
public:
    virtual ~ICustomHelpViewer() = default;
    virtual bool CanShowTopic(std::string_view topicId) = 0;
    virtual bool UnderstandsKeyword(std::string_view keyword) = 0;
    virtual bool CanShowContext(std::int32_t context) = 0;
    virtual void ShowTopic(std::string_view topicId) = 0;
    virtual void ShowKeyword(std::string_view keyword) = 0;
    virtual void ShowContext(std::int32_t context) = 0;
};

// Keeps the registered viewers and the current help file, and passes each request to the first viewer that
// takes it. Raises EHelpSystemException when none does.
class THelpManager {
public:
    void RegisterViewer(ICustomHelpViewer& viewer);
    void UnregisterViewer(ICustomHelpViewer& viewer);
    std::size_t ViewerCount() const { return viewers_.size(); }

    const std::string& CurrentHelpFile() const { return currentFile_; }
    // An empty file leaves the current one as it is.
    void TakeHelpFile(const std::string& file);
    // The owner window of every request; never set in this program.
    std::uintptr_t Handle() const { return 0; }

    void ShowTopic(std::string_view topicId, const std::string& file);
    void ShowKeyword(std::string_view keyword, const std::string& file);
    void ShowContext(std::int32_t context, const std::string& file);

private:
    std::vector<ICustomHelpViewer*> viewers_;
    std::string currentFile_;
};

// The binding to the viewer program: remembers what it last asked for so that it does not ask again while
// the viewer's window is still there.
class TWinHelpViewer final : public ICustomHelpViewer {
public:
    enum class LastRequest { Context = 0, Text = 1, Contents = 2, Quit = 3 };

    TWinHelpViewer(THelpManager& manager, IHelpViewerPlatform& platform);
    ~TWinHelpViewer() override;
    TWinHelpViewer(const TWinHelpViewer&) = delete;
    TWinHelpViewer& operator=(const TWinHelpViewer&) = delete;

    bool CanShowTopic(std::string_view) override { return true; }
    bool UnderstandsKeyword(std::string_view) override { return true; }
    bool CanShowContext(std::int32_t) override { return true; }
    void ShowTopic(std::string_view topicId) override;
    void ShowKeyword(std::string_view keyword) override;
    void ShowContext(std::int32_t context) override;

    // Tells the viewer to quit and leaves the dispatcher. Only the first call does anything.
    void ShutDown();

    LastRequest LastKind() const { return lastKind_; }
    const std::string& LastText() const { return lastText_; }
    std::int32_t LastContext() const { return lastContext_; }

private:
    void MakeReady();
    bool ViewerWindowExists();
    void SendText(const std::string& command);

    THelpManager& manager_;
    IHelpViewerPlatform& platform_;
    LastRequest lastKind_ = LastRequest::Context;
    std::string lastText_;
    std::int32_t lastContext_ = 0;
    bool registered_ = false;
};

// The help side of the application object.
class THelpApplication {
public:
    // `activeWindowHelp` gives the settings of the window that is active now, or nullptr.
    THelpApplication(THelpManager& manager, std::function<const HelpSettings*()> activeWindowHelp);

    HelpSettings Help;

    // The active window's HelpFile when it has one, else the application's.
    std::string CurrentHelpFile() const;
    // Each returns true: the help system exists for the whole run.
    bool HelpJump(std::string_view topicId);
    bool HelpKeyword(std::string_view keyword);
    bool HelpContext(std::int32_t context);

private:
    THelpManager& manager_;
    std::function<const HelpSettings*()> activeWindowHelp_;
};

// The F1 request: `chain` holds the settings of the focused control first, then of each parent up to and
// including its window (nullptr for one that carries none). Asks for the first that has help; returns
// false when none has.
bool RequestControlHelp(THelpApplication& application, std::span<const HelpSettings* const> chain);
// F1 while a menu is open: the context number of the item, 0 when it has none.
void RequestMenuHelp(THelpApplication& application, std::int32_t context);

// Points the help settings at the unpacked help file in `workFolder`, asks the viewer for the jump topic,
// then brings the viewer's window to the front and types Enter into it.
void ShowHelp(THelpApplication& application, HelpSettings& mainWindow, const std::string& workFolder,
              IHelpDesktop& desktop);

} // namespace brelmont
