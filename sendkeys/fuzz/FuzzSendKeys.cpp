// SPDX-License-Identifier: MIT
// Arbitrary key strings: no crash, no hang, and no key left down when the call ends, whichever way it ends.
#include "base/Exception.h"
#include "sendkeys/SendKeys.h"
#include "sendkeys/testing/RecordingKeyPlatform.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A repeat count can ask for 65535 strokes per group; beyond this length the run would measure only that.
    if (size > 2048) {
        return 0;
    }
    brelmont::RecordingKeyPlatform platform;
    platform.RecordKeyEvents = false;
    brelmont::SetKeyPlatform(&platform);
    const std::string_view keys(reinterpret_cast<const char*>(data), size);
    try {
        brelmont::SendKeys(keys, size % 2 == 0);
    } catch (const brelmont::EConvertError&) {
    }
    brelmont::SetKeyPlatform(nullptr);
    if (!platform.KeysDown().empty()) {
        std::abort();
    }
    return 0;
}
