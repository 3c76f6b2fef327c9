// SPDX-License-Identifier: MIT
// The layout of the help archive appended to the program, shared by the program that unpacks it and the build
// tool that packs and appends it, so the two can never disagree.
//
// Each entry is a text header (name, decimal size, extension; each left-aligned and padded with spaces) and
// then its data. The program's start mark is 16 magic bytes, the archive's start offset and an "appended"
// flag, both 32-bit little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brelmont::archive {

inline constexpr std::size_t NameField = 10;
inline constexpr std::size_t SizeField = 10;
inline constexpr std::size_t ExtensionField = 4;
inline constexpr std::size_t HeaderSize = NameField + SizeField + ExtensionField;
static_assert(HeaderSize == 24);

inline constexpr std::size_t MarkMagicSize = 16;
inline constexpr std::size_t MarkStartAt = MarkMagicSize;
inline constexpr std::size_t MarkAppendedAt = MarkStartAt + 4;
inline constexpr std::size_t MarkSize = MarkAppendedAt + 4;
// "APND" read as a little-endian number: set once the build has appended an archive.
inline constexpr std::uint32_t MarkAppended = 0x444E5041;

} // namespace brelmont::archive
