// SPDX-License-Identifier: MIT
#include "helpdelivery/display/HelpSystem.h"

#include "base/Exception.h"
#include "base/Text.h"

#include <algorithm>

namespace brelmont {

namespace {

constexpr std::size_t kJumpCommandLimit = 255;

} // namespace

void HelpSettings::SetHelpKeyword(std::string keyword) {
    keyword_ = std::move(keyword);
    HelpType = THelpType::htKeyword;
}

bool HelpSettings::HasHelp() const {
    return HelpType == THelpType::htKeyword ? !keyword_.empty() : HelpContext != 0;
}

std::string JumpCommand(std::string_view topicId) {
    std::string command = "JumpID(\"\",\"";
    command += topicId;
    command += "\")";
    // A cut inside a multi-byte character would hand the viewer a broken text.
    command.resize(CutUtf8Bytes(command, kJumpCommandLimit).size());
    return command;
}

std::string KeywordCommand(std::string_view keyword, std::string_view file) {
    std::string kw(keyword);
    std::string f(file);
    return "IE(AL(\"" + kw + "\",4),\"AL(\\\"" + kw + "\\\",3)\",\"JK(\\\"" + f + "\\\",\\\"" + kw +
           "\\\")\")";
}

void THelpManager::RegisterViewer(ICustomHelpViewer& viewer) {
    viewers_.push_back(&viewer);
}

void THelpManager::UnregisterViewer(ICustomHelpViewer& viewer) {
    std::erase(viewers_, &viewer);
}

void THelpManager::TakeHelpFile(const std::string& file) {
    if (!file.empty()) {
        currentFile_ = file;
    }
}

void THelpManager::ShowTopic(std::string_view topicId, const std::string& file) {
    TakeHelpFile(file);
    for (auto* viewer : viewers_) {
        if (viewer->CanShowTopic(topicId)) {
            viewer->ShowTopic(topicId);
            return;
        }
    }
    throw EHelpSystemException("No topic-based help system installed");
}

void THelpManager::ShowKeyword(std::string_view keyword, const std::string& file) {
    TakeHelpFile(file);
    // Every viewer is asked, as a dispatcher with several would let the user choose among those that know
    // the keyword; the first one serves.
    ICustomHelpViewer* chosen = nullptr;
    for (auto* viewer : viewers_) {
        if (viewer->UnderstandsKeyword(keyword) && chosen == nullptr) {
            chosen = viewer;
        }
    }
    if (chosen == nullptr) {
        throw EHelpSystemException(FormatMessage("No help found for %s", keyword));
    }
    chosen->ShowKeyword(keyword);
}

void THelpManager::ShowContext(std::int32_t context, const std::string& file) {
    TakeHelpFile(file);
    for (auto* viewer : viewers_) {
        if (viewer->CanShowContext(context)) {
            viewer->ShowContext(context);
            return;
        }
    }
    throw EHelpSystemException("No context-sensitive help installed");
}

TWinHelpViewer::TWinHelpViewer(THelpManager& manager, IHelpViewerPlatform& platform)
    : manager_(manager), platform_(platform) {
    manager_.RegisterViewer(*this);
    registered_ = true;
}

TWinHelpViewer::~TWinHelpViewer() {
    ShutDown();
}

void TWinHelpViewer::ShutDown() {
    if (!registered_) {
        return;
    }
    registered_ = false;
    lastKind_ = LastRequest::Quit;
    platform_.WinHelp(manager_.Handle(), "", HELP_QUIT, "", 0);
    manager_.UnregisterViewer(*this);
}

void TWinHelpViewer::MakeReady() {
    // A viewer that answers is never restarted: restarting costs a second of frozen interface.
    if (!platform_.ViewerNeedsRestart()) {
        return;
    }
    lastKind_ = LastRequest::Quit;
    platform_.WinHelp(manager_.Handle(), "", HELP_QUIT, "", 0);
    platform_.WaitForViewerExit();
    if (const auto& file = manager_.CurrentHelpFile(); !file.empty()) {
        platform_.WinHelp(manager_.Handle(), file, HELP_FORCEFILE, "", 0);
    }
}

bool TWinHelpViewer::ViewerWindowExists() {
    bool found = false;
    platform_.EnumTopLevelWindowClasses([&found](std::string_view className) {
        found = SameTextAsciiCase(className, kViewerWindowClass);
        return !found;
    });
    return found;
}

void TWinHelpViewer::SendText(const std::string& command) {
    const std::string& file = manager_.CurrentHelpFile();
    MakeReady();
    if (ViewerWindowExists() && lastKind_ == LastRequest::Text && lastText_ == command) {
        return;
    }
    if (!file.empty()) {
        lastKind_ = LastRequest::Text;
        lastText_ = command;
        platform_.WinHelp(manager_.Handle(), file, HELP_COMMAND, command, 0);
    }
}

void TWinHelpViewer::ShowTopic(std::string_view topicId) {
    SendText(JumpCommand(topicId));
}

void TWinHelpViewer::ShowKeyword(std::string_view keyword) {
    SendText(KeywordCommand(keyword, manager_.CurrentHelpFile()));
}

void TWinHelpViewer::ShowContext(std::int32_t context) {
    const std::string& file = manager_.CurrentHelpFile();
    MakeReady();
    if (ViewerWindowExists() && lastKind_ == LastRequest::Context && lastContext_ == context) {
        return;
    }
    if (!file.empty()) {
        lastKind_ = LastRequest::Context;
        lastContext_ = context;
        platform_.WinHelp(manager_.Handle(), file, HELP_CONTEXT, "", context);
    }
}

THelpApplication::THelpApplication(THelpManager& manager,
                                   std::function<const HelpSettings*()> activeWindowHelp)
    : manager_(manager), activeWindowHelp_(std::move(activeWindowHelp)) {}

std::string THelpApplication::CurrentHelpFile() const {
    if (activeWindowHelp_) {
        if (const auto* window = activeWindowHelp_(); window != nullptr && !window->HelpFile.empty()) {
            return window->HelpFile;
        }
    }
    return Help.HelpFile;
}

bool THelpApplication::HelpJump(std::string_view topicId) {
    manager_.ShowTopic(topicId, CurrentHelpFile());
    return true;
}

bool THelpApplication::HelpKeyword(std::string_view keyword) {
    manager_.ShowKeyword(keyword, CurrentHelpFile());
    return true;
}

bool THelpApplication::HelpContext(std::int32_t context) {
    manager_.ShowContext(context, CurrentHelpFile());
    return true;
}

bool RequestControlHelp(THelpApplication& application, std::span<const HelpSettings* const> chain) {
    auto target = std::find_if(chain.begin(), chain.end(), [](const HelpSettings* settings) {
        return settings != nullptr && settings->HasHelp();
    });
    if (target == chain.end()) {
        return false;
    }
    const HelpSettings& help = **target;
    if (help.HelpType == THelpType::htKeyword) {
        application.HelpKeyword(help.HelpKeyword());
    } else {
        application.HelpContext(help.HelpContext);
    }
    return true;
}

void RequestMenuHelp(THelpApplication& application, std::int32_t context) {
    application.HelpContext(context);
}

void ShowHelp(THelpApplication& application, HelpSettings& mainWindow, const std::string& workFolder,
              IHelpDesktop& desktop) {
    desktop.SetCurrentFolder(workFolder);
    application.Help.HelpFile = workFolder + "/" + std::string(kHelpFileName);
    mainWindow.HelpFile = application.Help.HelpFile;
    mainWindow.SetHelpKeyword(application.Help.HelpFile);
    application.HelpJump(kHelpJumpTopic);
    desktop.ActivateWindow(kViewerWindowTitle);
    desktop.SendKeys(kHelpKeys, false);
}

} // namespace brelmont
