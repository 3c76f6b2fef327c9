// SPDX-License-Identifier: MIT
// Any byte string must either decode to a shape whose block encodes back to the same bytes, or be rejected.
#include "ui/widgets/ShapeData.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto shape = brelmont::DecodeShapeData({data, size});
        const auto block = brelmont::EncodeShapeData(shape);
        if (block.size() != size || !std::equal(block.begin(), block.end(), data)) {
            std::abort();
        }
    } catch (const brelmont::EInvalidGraphic&) {
    }
    return 0;
}
