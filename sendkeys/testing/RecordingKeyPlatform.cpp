// SPDX-License-Identifier: MIT
#include "sendkeys/testing/RecordingKeyPlatform.h"

#include "base/Exception.h"
#include "base/Text.h"

#include <cstdio>

namespace brelmont {

namespace {

std::string Hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

std::string DescribeKeyEvent(const RecordedOperation& op) {
    return Hex2(op.VirtualKey) + " " + std::to_string(op.Flags);
}

} // namespace

void RecordingKeyPlatform::KeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags) {
    ++KeyEventCount;
    down_[virtualKey] = (flags & KeyEventRelease) == 0;
    if (RecordKeyEvents) {
        RecordedOperation op;
        op.VirtualKey = virtualKey;
        op.ScanCode = scanCode;
        op.Flags = flags;
        Operations.push_back(std::move(op));
    }
}

KeyCode RecordingKeyPlatform::KeyCodeForCharacter(char character) {
    if (const auto found = LayoutOverrides.find(character); found != LayoutOverrides.end()) {
        return found->second;
    }
    return UsLayoutKeyCode(character);
}

std::uint16_t RecordingKeyPlatform::KeyState(std::uint8_t virtualKey) {
    return static_cast<std::uint16_t>((State[virtualKey] & 1u) | (down_[virtualKey] ? 0x8000u : 0u));
}

void RecordingKeyPlatform::WriteKeyboardState(const KeyboardState& state) {
    RecordedOperation op;
    op.What = RecordedOperation::Kind::StateWrite;
    for (std::size_t i = 0; i < state.size(); ++i) {
        if (state[i] != State[i]) {
            op.Text += (op.Text.empty() ? "" : ",") + Hex2(static_cast<unsigned>(i)) + "=" + Hex2(state[i]);
        }
    }
    State = state;
    Operations.push_back(std::move(op));
}

bool RecordingKeyPlatform::TakeKeyboardMessage(KeyMessage& message) {
    if (PendingMessages.empty()) {
        return false;
    }
    message = PendingMessages.front();
    PendingMessages.pop_front();
    return true;
}

void RecordingKeyPlatform::TranslateKeyboardMessage(const KeyMessage& message) {
    RecordedOperation op;
    op.What = RecordedOperation::Kind::TranslateMessage;
    op.Flags = message.Message;
    Operations.push_back(std::move(op));
}

void RecordingKeyPlatform::DispatchKeyboardMessage(const KeyMessage& message) {
    RecordedOperation op;
    op.What = RecordedOperation::Kind::DispatchMessage;
    op.Flags = message.Message;
    Operations.push_back(std::move(op));
}

void RecordingKeyPlatform::ShowMessageBox(std::string_view text, std::string_view caption) {
    RecordedOperation op;
    op.What = RecordedOperation::Kind::MessageBox;
    op.Text = std::string(caption) + ": " + std::string(text);
    Operations.push_back(std::move(op));
}

WindowHandle RecordingKeyPlatform::FindWindowByTitle(std::string_view title) {
    if (FailWindowLookup) {
        throw Exception("window lookup failed");
    }
    for (const RecordedWindow& window : Windows) {
        if (window.Title == title) {
            return window.Handle;
        }
    }
    return 0;
}

void RecordingKeyPlatform::EnumerateWindows(const std::function<bool(WindowHandle)>& visit) {
    for (const RecordedWindow& window : Windows) {
        ++EnumeratedWindows;
        if (!visit(window.Handle)) {
            return;
        }
    }
}

std::string RecordingKeyPlatform::WindowTitle(WindowHandle window, std::size_t maxCharacters) {
    for (const RecordedWindow& candidate : Windows) {
        if (candidate.Handle == window) {
            return std::string(CutUtf8(candidate.Title, maxCharacters));
        }
    }
    return {};
}

void RecordingKeyPlatform::SendSystemCommand(WindowHandle window, SystemCommand command,
                                             WindowHandle argument) {
    RecordedOperation op;
    op.What = RecordedOperation::Kind::SystemCommand;
    op.Flags = static_cast<std::uint32_t>(command);
    op.Window = window;
    op.Argument = argument;
    Operations.push_back(std::move(op));
}

std::string RecordingKeyPlatform::Describe() const {
    std::string text;
    for (const RecordedOperation& op : Operations) {
        if (!text.empty()) {
            text += ", ";
        }
        switch (op.What) {
        case RecordedOperation::Kind::KeyEvent:
            text += DescribeKeyEvent(op);
            break;
        case RecordedOperation::Kind::MessageBox:
            text += "box " + op.Text;
            break;
        case RecordedOperation::Kind::StateWrite:
            text += "state " + op.Text;
            break;
        case RecordedOperation::Kind::TranslateMessage:
            text += "translate";
            break;
        case RecordedOperation::Kind::DispatchMessage:
            text += "dispatch";
            break;
        case RecordedOperation::Kind::SystemCommand:
            text +=
                (op.Flags == static_cast<std::uint32_t>(SystemCommand::Hotkey) ? "activate " : "restore ") +
                std::to_string(op.Window) +
                (op.Argument == op.Window ? "" : "/" + std::to_string(op.Argument));
            break;
        }
    }
    return text;
}

std::string RecordingKeyPlatform::DescribeKeys() const {
    std::string text;
    for (const RecordedOperation& op : Operations) {
        if (op.What == RecordedOperation::Kind::KeyEvent) {
            text += (text.empty() ? "" : ", ") + DescribeKeyEvent(op);
        }
    }
    return text;
}

std::vector<std::uint8_t> RecordingKeyPlatform::KeysDown() const {
    std::vector<std::uint8_t> keys;
    for (std::size_t i = 0; i < down_.size(); ++i) {
        if (down_[i]) {
            keys.push_back(static_cast<std::uint8_t>(i));
        }
    }
    return keys;
}

} // namespace brelmont
