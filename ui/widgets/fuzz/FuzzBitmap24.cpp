// SPDX-License-Identifier: MIT
// Any byte string must either load as a picture that writes back and reloads unchanged, or be rejected.
#include "ui/widgets/Bitmap24.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto picture = brelmont::TBitmap24::LoadFromBmp({data, size});
        const auto again = brelmont::TBitmap24::LoadFromBmp(picture.SaveToBmp());
        if (!(again == picture)) {
            std::abort();
        }
        if (!picture.Empty()) {
            (void)picture.Stretched(picture.Width() / 2 + 1, picture.Height() + 3);
        }
    } catch (const brelmont::EInvalidGraphic&) {
    }
    return 0;
}
