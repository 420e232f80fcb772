// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/OneBitBitmap.h"

#include <cstddef>

namespace tessaranth::emu {

namespace {

constexpr std::size_t headerBytes = 62;

void put16(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void put32(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
    put16(bytes, at, value & 0xFFFF);
    put16(bytes, at + 2, value >> 16);
}

} // namespace

std::vector<uint8_t> oneBitBitmap(int width, int height, const PixelFunction& lit) {
    const std::size_t stride = static_cast<std::size_t>((width + 31) / 32 * 4);
    const std::size_t imageBytes = stride * static_cast<std::size_t>(height);
    std::vector<uint8_t> bytes(headerBytes + imageBytes, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, static_cast<uint32_t>(bytes.size()));
    put32(bytes, 10, headerBytes);
    put32(bytes, 14, 40);
    put32(bytes, 18, static_cast<uint32_t>(width));
    put32(bytes, 22, static_cast<uint32_t>(height));
    put16(bytes, 26, 1);  // planes
    put16(bytes, 28, 1);  // bits per pixel
    put32(bytes, 34, static_cast<uint32_t>(imageBytes));
    put32(bytes, 38, 2835);  // 72 dots per inch, across and down
    put32(bytes, 42, 2835);
    put32(bytes, 46, 2);           // palette entries
    put32(bytes, 58, 0x00FFFFFF);  // the second entry white; the first stays black
    for (int y = 0; y < height; ++y) {
        uint8_t* row = &bytes[headerBytes + stride * static_cast<std::size_t>(height - 1 - y)];
        for (std::size_t i = 0; i < stride; ++i) row[i] = 0xFF;
        for (int x = 0; x < width; ++x)
            if (lit(x, y)) row[x / 8] = static_cast<uint8_t>(row[x / 8] & ~(0x80 >> (x % 8)));
    }
    return bytes;
}

} // namespace tessaranth::emu
