// SPDX-License-Identifier: MIT
#include "base/x11/DisplayCheck.h"

#include <X11/Xlib.h>
#include <cstdlib>
#include <string_view>

namespace brelmont {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The value of a toolkit option given as "-name value" or "--name value"; nothing when it is not given.
std::optional<std::string> Option(int argc, char** argv, std::string_view name) {
    for (int i = 1; i + 1 < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument.starts_with("--")) {
            argument.remove_prefix(1);
        }
        if (argument.size() == name.size() + 1 && argument[0] == '-' && argument.substr(1) == name) {
            return std::string(argv[i + 1]);
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> DisplayProblem(int argc, char** argv) {
    const std::string platform = Option(argc, argv, "platform").value_or(Environment("QT_QPA_PLATFORM"));
    if (!platform.empty() && !platform.starts_with("xcb")) {
        return std::nullopt;
    }
    const std::string display = Option(argc, argv, "display").value_or(Environment("DISPLAY"));
    if (display.empty()) {
        if (platform.empty() && !Environment("WAYLAND_DISPLAY").empty()) {
            return std::nullopt;
        }
        return "нет дисплея X: задайте DISPLAY или запустите программу из графического сеанса";
    }
    Display* connection = XOpenDisplay(display.c_str());
    if (connection == nullptr) {
        return "не удаётся подключиться к дисплею X «" + display +
               "»: проверьте DISPLAY или запустите программу из графического сеанса";
    }
    XCloseDisplay(connection);
    return std::nullopt;
}

} // namespace brelmont
