// SPDX-License-Identifier: MIT
// An address opener for the window tests: it records each address instead of starting a browser.
#pragma once

#include "ui/widgets/UrlLabel.h"

#include <string>
#include <vector>

namespace brelmont::testing {

class RecordingOpener : public IUrlOpener {
public:
    bool Open(const QString& address) override {
        opened.push_back(address.toStdString());
        return true;
    }
    std::vector<std::string> opened;
};

} // namespace brelmont::testing
