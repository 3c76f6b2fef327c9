// SPDX-License-Identifier: MIT
#include "ui/widgets/Bitmap24.h"

#include "base/LittleEndian.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace brelmont {

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;

std::size_t StrideFor(int width) {
    return (3 * static_cast<std::size_t>(width) + 3) / 4 * 4;
}

[[noreturn]] void Reject(const std::string& why) {
    throw EInvalidGraphic("Invalid bitmap: " + why);
}

void CheckSize(int width, int height, bool oneSideMayBeEmpty = false) {
    if (width < 0 || height < 0 || width > TBitmap24::MaxDimension || height > TBitmap24::MaxDimension ||
        (!oneSideMayBeEmpty && (width == 0) != (height == 0))) {
        throw EInvalidGraphic("Invalid bitmap size " + std::to_string(width) + " x " +
                              std::to_string(height));
    }
}

} // namespace

TBitmap24::TBitmap24(int width, int height) {
    CheckSize(width, height);
    fWidth = width;
    fHeight = height;
    fStride = StrideFor(width);
    fPixels.assign(fStride * static_cast<std::size_t>(height), 0);
}

TBitmap24 TBitmap24::Stretched(int width, int height) const {
    CheckSize(width, height, true);
    if (Empty() || width == 0 || height == 0) {
        return {};
    }
    TBitmap24 result(width, height);
    std::vector<std::size_t> columns(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        const auto source =
            (2 * static_cast<std::int64_t>(x) + 1) * fWidth / (2 * static_cast<std::int64_t>(width));
        columns[static_cast<std::size_t>(x)] = 3 * static_cast<std::size_t>(source);
    }
    for (int y = 0; y < height; ++y) {
        const auto sourceRow = static_cast<int>((2 * static_cast<std::int64_t>(y) + 1) * fHeight /
                                                (2 * static_cast<std::int64_t>(height)));
        const std::uint8_t* from = Row(sourceRow);
        std::uint8_t* to = result.Row(y);
        for (std::size_t x = 0; x < columns.size(); ++x) {
            std::memcpy(to + 3 * x, from + columns[x], 3);
        }
    }
    return result;
}

TBitmap24 TBitmap24::LoadFromBmp(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return {};
    }
    if (bytes.size() < FileHeaderSize + InfoHeaderSize) {
        Reject("only " + std::to_string(bytes.size()) + " bytes, too short for the headers");
    }
    if (bytes[0] != 'B' || bytes[1] != 'M') {
        Reject("it does not begin with \"BM\"");
    }
    const std::uint32_t fileSize = ReadLe32(bytes, 2);
    const std::uint32_t pixelOffset = ReadLe32(bytes, 10);
    const std::uint32_t infoSize = ReadLe32(bytes, 14);
    const auto width = static_cast<std::int32_t>(ReadLe32(bytes, 18));
    const auto rawHeight = static_cast<std::int32_t>(ReadLe32(bytes, 22));
    const std::uint16_t planes = ReadLe16(bytes, 26);
    const std::uint16_t bitCount = ReadLe16(bytes, 28);
    const std::uint32_t compression = ReadLe32(bytes, 30);
    const std::uint32_t imageSize = ReadLe32(bytes, 34);

    if (fileSize != bytes.size()) {
        Reject("the header gives " + std::to_string(fileSize) + " bytes, the data has " +
               std::to_string(bytes.size()));
    }
    if (infoSize < InfoHeaderSize || infoSize > bytes.size() - FileHeaderSize) {
        Reject("information header of " + std::to_string(infoSize) + " bytes");
    }
    if (bitCount != 24) {
        Reject(std::to_string(bitCount) + " bits per pixel, only 24 are read");
    }
    if (planes != 1 || compression != 0) {
        Reject("compressed or multi-plane pixels");
    }
    const std::int64_t height = rawHeight < 0 ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
    if (width <= 0 || height <= 0 || width > MaxDimension || height > MaxDimension) {
        Reject("size " + std::to_string(width) + " x " + std::to_string(rawHeight));
    }
    const std::size_t stride = StrideFor(width);
    const std::size_t pixelBytes = stride * static_cast<std::size_t>(height);
    if (imageSize != 0 && imageSize != pixelBytes) {
        Reject("the header gives " + std::to_string(imageSize) + " pixel bytes, " + std::to_string(width) +
               " x " + std::to_string(height) + " needs " + std::to_string(pixelBytes));
    }
    if (pixelOffset < FileHeaderSize + infoSize || pixelOffset > bytes.size() ||
        bytes.size() - pixelOffset < pixelBytes) {
        Reject("the pixels do not fit in the " + std::to_string(bytes.size()) + " bytes");
    }

    TBitmap24 result(width, static_cast<int>(height));
    const bool bottomUp = rawHeight > 0;
    for (int y = 0; y < result.fHeight; ++y) {
        const int fileRow = bottomUp ? result.fHeight - 1 - y : y;
        const std::uint8_t* from = bytes.data() + pixelOffset + stride * static_cast<std::size_t>(fileRow);
        std::uint8_t* to = result.Row(y);
        std::memcpy(to, from, 3 * static_cast<std::size_t>(width));
    }
    return result;
}

std::vector<std::uint8_t> TBitmap24::SaveToBmp() const {
    if (Empty()) {
        return {};
    }
    const std::size_t headers = FileHeaderSize + InfoHeaderSize;
    std::vector<std::uint8_t> out(headers + fPixels.size(), 0);
    out[0] = 'B';
    out[1] = 'M';
    WriteLe32(out, 2, static_cast<std::uint32_t>(out.size()));
    WriteLe32(out, 10, static_cast<std::uint32_t>(headers));
    WriteLe32(out, 14, InfoHeaderSize);
    WriteLe32(out, 18, static_cast<std::uint32_t>(fWidth));
    WriteLe32(out, 22, static_cast<std::uint32_t>(fHeight));
    WriteLe16(out, 26, 1);
    WriteLe16(out, 28, 24);
    WriteLe32(out, 34, static_cast<std::uint32_t>(fPixels.size()));
    for (int y = 0; y < fHeight; ++y) {
        // Padding bytes are written as zero whatever the store holds, so equal pictures give equal files.
        std::memcpy(out.data() + headers + fStride * static_cast<std::size_t>(fHeight - 1 - y), Row(y),
                    3 * static_cast<std::size_t>(fWidth));
    }
    return out;
}

} // namespace brelmont
