// SPDX-License-Identifier: MIT
// Reading and writing the little-endian integers of the stored picture and outline formats, byte by byte, so
// that neither the host's byte order nor the alignment of the data matters. Callers check the bounds: every
// function here reads or writes exactly the bytes at `at` onwards and expects them to exist.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace brelmont {

inline std::uint16_t ReadLe16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

inline std::uint32_t ReadLe32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

inline void WriteLe16(std::span<std::uint8_t> bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void WriteLe32(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

inline void AppendLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.resize(out.size() + 4);
    WriteLe32(out, out.size() - 4, value);
}

} // namespace brelmont
