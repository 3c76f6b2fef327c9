// SPDX-License-Identifier: MIT
// The image button's picture store and its file format, free of any toolkit so the decoder can be fuzzed and
// used by the shape generator tool. TBitmap24 keeps blue, green, red pixels, top row first, each row padded
// to a multiple of 4 bytes; LoadFromBmp/SaveToBmp read and write it as a Windows 24-bit bitmap file, which is
// what the button stores as its picture data. Callers: TImageBtn, TImageShapes, brelmont_shapegen.
#pragma once

#include "base/Exception.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace brelmont {

// A colour value: red + 256 * green + 65536 * blue for plain colours; the high values below are markers.
using TColor = std::int32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
// "Not set": for a transparent colour it means "take the picture's top-left pixel".
inline constexpr TColor clNone = 0x1FFFFFFF;
// As a transparent colour: nothing is transparent, the button keeps a rectangular outline.
inline constexpr TColor clNoTransparency = 0x0FFFFFFF;

// Raised for picture or shape data that cannot be read: the message says what is wrong with it.
class EInvalidGraphic : public Exception {
    using Exception::Exception;
};

class TBitmap24 {
public:
    // Largest width or height accepted, so a forged header cannot make us allocate gigabytes.
    static constexpr int MaxDimension = 16384;

    TBitmap24() = default;
    // Domain: 0 <= width, height <= MaxDimension, both zero or both positive; EInvalidGraphic otherwise.
    // The pixels start black.
    TBitmap24(int width, int height);

    int Width() const { return fWidth; }
    int Height() const { return fHeight; }
    bool Empty() const { return fWidth == 0 || fHeight == 0; }
    // Bytes from one row to the next: 3 * width rounded up to a multiple of 4.
    std::size_t Stride() const { return fStride; }

    // Domain: 0 <= x < Width(), 0 <= y < Height(); unchecked.
    TColor Pixel(int x, int y) const {
        const std::uint8_t* p = Row(y) + 3 * static_cast<std::size_t>(x);
        return static_cast<TColor>(p[2] | (p[1] << 8) | (p[0] << 16));
    }
    void SetPixel(int x, int y, TColor colour) {
        std::uint8_t* p = Row(y) + 3 * static_cast<std::size_t>(x);
        p[0] = static_cast<std::uint8_t>(colour >> 16);
        p[1] = static_cast<std::uint8_t>(colour >> 8);
        p[2] = static_cast<std::uint8_t>(colour);
    }
    const std::uint8_t* Row(int y) const { return fPixels.data() + fStride * static_cast<std::size_t>(y); }
    std::uint8_t* Row(int y) { return fPixels.data() + fStride * static_cast<std::size_t>(y); }

    // The picture stretched to width x height by nearest pixel centre: target column x takes source column
    // floor((x + 1/2) * Width() / width), rows alike. Domain: 0 <= width, height <= MaxDimension, else
    // EInvalidGraphic; an empty picture or a target with no width or no height gives an empty picture (a
    // control may be resized to nothing in one direction only).
    TBitmap24 Stretched(int width, int height) const;

    // Reads a bitmap file: "BM", 14-byte file header, an information header of at least 40 bytes, one plane,
    // 24 bits per pixel, no compression, rows bottom-up (or top-down for a negative height), each padded to
    // 4 bytes. No bytes at all give an empty picture. Raises EInvalidGraphic for anything else, including
    // sizes that disagree with the number of bytes.
    static TBitmap24 LoadFromBmp(std::span<const std::uint8_t> bytes);
    // Writes the canonical file: 54 header bytes then the rows bottom-up; an empty picture gives no bytes.
    std::vector<std::uint8_t> SaveToBmp() const;

    friend bool operator==(const TBitmap24&, const TBitmap24&) = default;

private:
    int fWidth = 0;
    int fHeight = 0;
    std::size_t fStride = 0;
    std::vector<std::uint8_t> fPixels;
};

} // namespace brelmont
