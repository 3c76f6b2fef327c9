// SPDX-License-Identifier: MIT
// brelmont_shapegen PICTURE.bmp WIDTH HEIGHT TRANSPARENT OUTPUT
// Writes the stored outline block (as TImageBtn's regionResource reads it) that the building rule gives for a
// 24-bit bitmap shown at WIDTH x HEIGHT. TRANSPARENT is "auto" (the top-left pixel), "none" (no cut-out, the
// block then holds nothing) or a colour as red + 256 * green + 65536 * blue, decimal or "$" hexadecimal.
#include "base/Exception.h"
#include "ui/widgets/ShapeData.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw brelmont::EInOutError("Cannot open " + path, 2);
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw brelmont::EInOutError("Cannot write " + path, 5);
    }
}

brelmont::TColor ParseTransparent(const std::string& text) {
    if (text == "auto") {
        return brelmont::clNone;
    }
    if (text == "none") {
        return brelmont::clNoTransparency;
    }
    return brelmont::StrToInt(text);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "usage: brelmont_shapegen PICTURE.bmp WIDTH HEIGHT auto|none|COLOUR OUTPUT\n";
        return 2;
    }
    try {
        const auto picture = brelmont::TBitmap24::LoadFromBmp(ReadFile(argv[1]));
        const int width = brelmont::StrToInt(argv[2]);
        const int height = brelmont::StrToInt(argv[3]);
        const auto shape = brelmont::BuildShape(picture, width, height, ParseTransparent(argv[4]));
        const auto block = brelmont::EncodeShapeData(shape);
        WriteFile(argv[5], block);
        if (shape) {
            const auto b = brelmont::ShapeBounds(*shape);
            std::cout << argv[5] << ": N=" << block.size() - 4 << ", " << shape->size()
                      << " rectangles, bounds (" << b.Left << "," << b.Top << ")-(" << b.Right << ","
                      << b.Bottom << ")\n";
        } else {
            std::cout << argv[5] << ": no shape (rectangular button)\n";
        }
    } catch (const brelmont::Exception& e) {
        std::cerr << "brelmont_shapegen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
