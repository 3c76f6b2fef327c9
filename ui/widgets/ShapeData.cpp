// SPDX-License-Identifier: MIT
#include "ui/widgets/ShapeData.h"

#include "base/LittleEndian.h"

#include <algorithm>
#include <string>
#include <utility>

namespace brelmont {

namespace {

constexpr std::uint32_t RegionHeaderSize = 32;
constexpr std::uint32_t RegionTypeRectangles = 1;
constexpr std::size_t RectSize = 16;

void PutRect(std::vector<std::uint8_t>& out, const TShapeRect& r) {
    AppendLe32(out, static_cast<std::uint32_t>(r.Left));
    AppendLe32(out, static_cast<std::uint32_t>(r.Top));
    AppendLe32(out, static_cast<std::uint32_t>(r.Right));
    AppendLe32(out, static_cast<std::uint32_t>(r.Bottom));
}

TShapeRect ReadRect(std::span<const std::uint8_t> bytes, std::size_t at) {
    return {static_cast<std::int32_t>(ReadLe32(bytes, at)),
            static_cast<std::int32_t>(ReadLe32(bytes, at + 4)),
            static_cast<std::int32_t>(ReadLe32(bytes, at + 8)),
            static_cast<std::int32_t>(ReadLe32(bytes, at + 12))};
}

[[noreturn]] void Reject(const std::string& why) {
    throw EInvalidGraphic("Invalid shape data: " + why);
}

std::string Describe(const TShapeRect& r) {
    return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + ")-(" + std::to_string(r.Right) +
           "," + std::to_string(r.Bottom) + ")";
}

bool WithinLimits(std::int32_t v) {
    return v >= -MaxShapeCoordinate && v <= MaxShapeCoordinate;
}

} // namespace

TShapeRect ShapeBounds(const TShape& shape) {
    if (shape.empty()) {
        return {};
    }
    TShapeRect bounds = shape.front();
    for (const TShapeRect& r : shape) {
        bounds.Left = std::min(bounds.Left, r.Left);
        bounds.Top = std::min(bounds.Top, r.Top);
        bounds.Right = std::max(bounds.Right, r.Right);
        bounds.Bottom = std::max(bounds.Bottom, r.Bottom);
    }
    return bounds;
}

bool IsNormalForm(const TShape& shape) {
    std::size_t bandStart = 0;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const TShapeRect& r = shape[i];
        if (r.Left >= r.Right || r.Top >= r.Bottom) {
            return false;
        }
        if (i == 0) {
            continue;
        }
        const TShapeRect& before = shape[i - 1];
        if (r.Top == before.Top) {
            if (r.Bottom != before.Bottom || r.Left <= before.Right) {
                return false;
            }
            continue;
        }
        if (r.Top < before.Bottom) {
            return false;
        }
        // A band that touches the one above must differ from it, or the two would have been merged.
        const std::size_t previousStart = bandStart;
        bandStart = i;
        if (r.Top != before.Bottom) {
            continue;
        }
        std::size_t next = i;
        while (next < shape.size() && shape[next].Top == r.Top) {
            ++next;
        }
        if (next - i == i - previousStart &&
            std::equal(shape.begin() + static_cast<std::ptrdiff_t>(i),
                       shape.begin() + static_cast<std::ptrdiff_t>(next),
                       shape.begin() + static_cast<std::ptrdiff_t>(previousStart),
                       [](const TShapeRect& a, const TShapeRect& b) {
                           return a.Left == b.Left && a.Right == b.Right;
                       })) {
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> EncodeShapeData(const std::optional<TShape>& shape) {
    std::vector<std::uint8_t> out;
    if (!shape) {
        AppendLe32(out, 0);
        return out;
    }
    const auto count = static_cast<std::uint32_t>(shape->size());
    out.reserve(4 + RegionHeaderSize + RectSize * shape->size());
    AppendLe32(out, RegionHeaderSize + static_cast<std::uint32_t>(RectSize) * count);
    AppendLe32(out, RegionHeaderSize);
    AppendLe32(out, RegionTypeRectangles);
    AppendLe32(out, count);
    AppendLe32(out, static_cast<std::uint32_t>(RectSize) * count);
    PutRect(out, ShapeBounds(*shape));
    for (const TShapeRect& r : *shape) {
        PutRect(out, r);
    }
    return out;
}

std::optional<TShape> DecodeShapeData(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4) {
        Reject(std::to_string(bytes.size()) + " bytes, too short for the byte count");
    }
    const std::uint32_t byteCount = ReadLe32(bytes, 0);
    if (byteCount == 0) {
        if (bytes.size() != 4) {
            Reject("a byte count of 0 followed by " + std::to_string(bytes.size() - 4) + " bytes");
        }
        return std::nullopt;
    }
    if (byteCount != bytes.size() - 4) {
        Reject("the byte count says " + std::to_string(byteCount) + ", " + std::to_string(bytes.size() - 4) +
               " bytes follow it");
    }
    if (byteCount < RegionHeaderSize) {
        Reject("only " + std::to_string(byteCount) + " bytes, too short for the region header");
    }
    const std::uint32_t headerSize = ReadLe32(bytes, 4);
    const std::uint32_t type = ReadLe32(bytes, 8);
    const std::uint32_t count = ReadLe32(bytes, 12);
    const std::uint32_t listSize = ReadLe32(bytes, 16);
    if (headerSize != RegionHeaderSize || type != RegionTypeRectangles) {
        Reject("header of size " + std::to_string(headerSize) + " and type " + std::to_string(type));
    }
    const std::size_t available = (byteCount - RegionHeaderSize) / RectSize;
    if ((byteCount - RegionHeaderSize) % RectSize != 0 || count != available ||
        static_cast<std::uint64_t>(listSize) != RectSize * static_cast<std::uint64_t>(count)) {
        Reject(std::to_string(count) + " rectangles in a list of " + std::to_string(listSize) +
               " bytes, with " + std::to_string(byteCount - RegionHeaderSize) + " bytes present");
    }
    const TShapeRect statedBounds = ReadRect(bytes, 20);
    TShape shape;
    shape.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const TShapeRect r = ReadRect(bytes, 4 + RegionHeaderSize + RectSize * i);
        if (!WithinLimits(r.Left) || !WithinLimits(r.Top) || !WithinLimits(r.Right) ||
            !WithinLimits(r.Bottom)) {
            Reject("rectangle " + Describe(r) + " lies too far out");
        }
        if (r.Left >= r.Right || r.Top >= r.Bottom) {
            Reject("empty or inverted rectangle " + Describe(r));
        }
        shape.push_back(r);
    }
    if (ShapeBounds(shape) != statedBounds) {
        Reject("the bounds " + Describe(statedBounds) + " are not those of the rectangles, " +
               Describe(ShapeBounds(shape)));
    }
    return shape;
}

std::optional<TColor> TransparentColorFor(TColor setting, const TBitmap24& picture) {
    if (setting == clNoTransparency || picture.Empty()) {
        return std::nullopt;
    }
    if (setting == clNone) {
        return picture.Pixel(0, 0);
    }
    return setting & 0xFFFFFF;
}

std::optional<TShape> BuildShape(const TBitmap24& picture, int width, int height, TColor transparentSetting) {
    const std::optional<TColor> transparent = TransparentColorFor(transparentSetting, picture);
    const TBitmap24 work = picture.Stretched(width, height);
    if (!transparent || work.Empty()) {
        return std::nullopt;
    }
    const auto key = static_cast<std::uint32_t>(*transparent);
    const auto blue = static_cast<std::uint8_t>(key >> 16);
    const auto green = static_cast<std::uint8_t>(key >> 8);
    const auto red = static_cast<std::uint8_t>(key);

    TShape shape;
    std::size_t bandStart = 0;
    std::size_t bandSize = 0;
    std::vector<std::pair<std::int32_t, std::int32_t>> runs;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = work.Row(y);
        auto transparentAt = [&](int x) {
            const std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
            return p[0] == blue && p[1] == green && p[2] == red;
        };
        runs.clear();
        int x = 0;
        while (x < width) {
            while (x < width && transparentAt(x)) {
                ++x;
            }
            const int start = x;
            while (x < width && !transparentAt(x)) {
                ++x;
            }
            if (x > start) {
                runs.emplace_back(start, x);
            }
        }
        if (runs.empty()) {
            bandSize = 0;
            continue;
        }
        const bool extendsBand =
            bandSize == runs.size() && shape[bandStart].Bottom == y &&
            std::equal(runs.begin(), runs.end(), shape.begin() + static_cast<std::ptrdiff_t>(bandStart),
                       [](const auto& run, const TShapeRect& r) {
                           return run.first == r.Left && run.second == r.Right;
                       });
        if (extendsBand) {
            for (std::size_t i = bandStart; i < shape.size(); ++i) {
                shape[i].Bottom = y + 1;
            }
            continue;
        }
        bandStart = shape.size();
        bandSize = runs.size();
        for (const auto& [left, right] : runs) {
            shape.push_back({left, y, right, y + 1});
        }
    }
    if (shape.empty()) {
        return std::nullopt;
    }
    return shape;
}

const std::optional<TShape> TImageShapes::fNoShape;

void TImageShapes::SetImage(TBitmap24 picture) {
    fImage = std::move(picture);
    fNormal = {};
}

void TImageShapes::SetImageDown(TBitmap24 picture) {
    fImageDown = std::move(picture);
    fDown = {};
}

void TImageShapes::SetTransparentColor(TColor setting) {
    if (setting == fTransparent) {
        return;
    }
    fTransparent = setting;
    for (Slot* slot : {&fNormal, &fDown}) {
        if (slot->Built) {
            *slot = {};
        }
    }
}

void TImageShapes::StoreBlock(Slot& slot, std::span<const std::uint8_t> block) {
    std::optional<TShape> shape = DecodeShapeData(block);
    const bool stored = shape.has_value();
    slot = {std::move(shape), stored, false};
}

void TImageShapes::SetNormalData(std::span<const std::uint8_t> block) {
    StoreBlock(fNormal, block);
}

void TImageShapes::SetDownData(std::span<const std::uint8_t> block) {
    StoreBlock(fDown, block);
}

void TImageShapes::SetSize(int width, int height) {
    if (fSized && (width != fWidth || height != fHeight)) {
        fNormal = {};
        fDown = {};
    }
    fSized = true;
    fWidth = width;
    fHeight = height;
}

const std::optional<TShape>& TImageShapes::Resolve(Slot& slot, const TBitmap24& picture) {
    if (!fSized || !TransparentColorFor(fTransparent, picture)) {
        return fNoShape;
    }
    if (!slot.Known) {
        ++fBuilds;
        slot = {BuildShape(picture, fWidth, fHeight, fTransparent), true, true};
    }
    return slot.Shape;
}

const std::optional<TShape>& TImageShapes::NormalShape() {
    return Resolve(fNormal, fImage);
}

const std::optional<TShape>& TImageShapes::DownShape() {
    if (!DownHasOwnShape()) {
        return NormalShape();
    }
    return Resolve(fDown, fImageDown);
}

} // namespace brelmont
