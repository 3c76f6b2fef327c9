// SPDX-License-Identifier: MIT
// Outlines of the image button, free of any toolkit. A shape is a set of pixels held as rectangles in the
// normal form of a window region: horizontal bands from top to bottom, within a band runs from left to right
// that do not touch, vertically adjacent rows with identical runs merged into one band. The stored shape
// block ("RegionData") is a 4-byte byte count N followed, when N > 0, by a 32-byte region header and the
// rectangles, all little-endian. BuildShape is the rule that turns a picture into its outline; TImageShapes
// holds a button's two shapes with the caching the button relies on. Callers: TImageBtn, brelmont_shapegen.
#pragma once

#include "ui/widgets/Bitmap24.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace brelmont {

struct TShapeRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;  // exclusive
    std::int32_t Bottom = 0; // exclusive
    friend bool operator==(const TShapeRect&, const TShapeRect&) = default;
};

// Rectangles in the normal form; empty means "no pixels".
using TShape = std::vector<TShapeRect>;

// Largest absolute coordinate a stored shape may use; button outlines are far inside this.
inline constexpr std::int32_t MaxShapeCoordinate = 1 << 16;

// The union of the rectangles; all zero for an empty shape.
TShapeRect ShapeBounds(const TShape& shape);

// Whether the rectangles are in the normal form described above.
bool IsNormalForm(const TShape& shape);

// The block with its byte count; an absent shape gives the 4 zero bytes meaning "nothing stored".
std::vector<std::uint8_t> EncodeShapeData(const std::optional<TShape>& shape);
// Reads a block written by EncodeShapeData (or by the window system): the count must match the header and
// the number of bytes, the rectangles must be non-empty, within +-MaxShapeCoordinate, and their union must be
// the stated bounds. The rectangles are kept as they come. Returns nothing for a count of 0. Raises
// EInvalidGraphic for anything else, never reading past the bytes.
std::optional<TShape> DecodeShapeData(std::span<const std::uint8_t> bytes);

// The colour that is cut out: none for clNoTransparency or an empty picture, the picture's top-left pixel for
// clNone, otherwise the setting's low 24 bits.
std::optional<TColor> TransparentColorFor(TColor setting, const TBitmap24& picture);

// The outline of the picture stretched to width x height: runs of pixels whose three bytes differ from the
// transparent colour. Nothing when there is no transparent colour, the picture or the target is empty, or no
// pixel is opaque. Domain: 0 <= width, height <= TBitmap24::MaxDimension; EInvalidGraphic otherwise.
std::optional<TShape> BuildShape(const TBitmap24& picture, int width, int height, TColor transparentSetting);

// A button's pictures and their two outlines. A shape is built from the picture at most once per size and
// picture and kept as its encoded block; a stored block is used as it is, without scanning the picture. A
// size change discards both shapes, a picture change its own, a transparent-colour change the built ones.
class TImageShapes {
public:
    const TBitmap24& Image() const { return fImage; }
    const TBitmap24& ImageDown() const { return fImageDown; }
    void SetImage(TBitmap24 picture);
    void SetImageDown(TBitmap24 picture);
    TColor TransparentColor() const { return fTransparent; }
    void SetTransparentColor(TColor setting);

    // Blocks as the button stores them; reading gives 4 zero bytes while nothing is stored or built.
    std::vector<std::uint8_t> NormalData() const { return EncodeShapeData(fNormal.Shape); }
    std::vector<std::uint8_t> DownData() const { return EncodeShapeData(fDown.Shape); }
    // Raise EInvalidGraphic (and keep the previous shape) for a malformed block.
    void SetNormalData(std::span<const std::uint8_t> block);
    void SetDownData(std::span<const std::uint8_t> block);

    // The button's size. The first call only records it (stored blocks are made for the size the button is
    // first shown at); later calls with another size discard both shapes.
    void SetSize(int width, int height);
    int Width() const { return fWidth; }
    int Height() const { return fHeight; }

    // The outline for the up face; nothing means a rectangular window.
    const std::optional<TShape>& NormalShape();
    // The pressed face has its own outline only when both pictures are present; otherwise this is the up one.
    const std::optional<TShape>& DownShape();
    bool DownHasOwnShape() const { return !fImage.Empty() && !fImageDown.Empty(); }

    // How many times a picture has been scanned; the tests hold the caching to its word with it.
    int BuildCount() const { return fBuilds; }

private:
    struct Slot {
        std::optional<TShape> Shape;
        bool Known = false; // Shape is valid for the current size and picture (possibly "no shape")
        bool Built = false; // it came from the picture rather than from a stored block
    };
    const std::optional<TShape>& Resolve(Slot& slot, const TBitmap24& picture);
    static void StoreBlock(Slot& slot, std::span<const std::uint8_t> block);
    static const std::optional<TShape> fNoShape;

    TBitmap24 fImage;
    TBitmap24 fImageDown;
    TColor fTransparent = clNone;
    bool fSized = false;
    int fWidth = 0;
    int fHeight = 0;
    Slot fNormal;
    Slot fDown;
    int fBuilds = 0;
};

} // namespace brelmont
