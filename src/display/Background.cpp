// SPDX-License-Identifier: GPL-2.0-or-later
// The background reader: a one-bit Windows bitmap (pixel data from byte 62, rows bottom-up,
// padded to four bytes, a 0 bit lit) into the display's own byte format.
#include "display/LCD.h"

#include "platform/Platform.h"

#include <algorithm>
#include <fstream>
#include <span>

namespace tessaranth {

namespace {

constexpr std::streamoff pixelDataOffset = 62;
constexpr size_t rowBufferBytes = 64;

// Bytes of a file row that carry pixels, and the padding that follows them.
struct RowFormat {
    size_t taken;
    size_t padding;
};

// Three file bytes become four 6-pixel cells; a file row is padded to four bytes.
RowFormat cellRowFormat(int32_t graphicRowBytes) {
    const size_t groups = static_cast<size_t>(std::max(graphicRowBytes, 0)) * 6 / 24;
    const size_t taken = std::min(groups * 3, rowBufferBytes - rowBufferBytes % 3);
    return {taken, (4 - taken % 4) % 4};
}

// Bytes of 8 pixels, taken as they are; a 128-wide display reads a 144-pixel bitmap.
RowFormat byteRowFormat(uint16_t width) {
    return {std::min<size_t>(width / 8, rowBufferBytes), width == 128 ? 4u : 0u};
}

// Reads the pixel bytes of one file row, inverted so that a lit pixel is a 1 bit, then drops
// the padding. Returns how many pixel bytes were read.
size_t readRow(std::ifstream& file, uint8_t* row, RowFormat format) {
    char bytes[rowBufferBytes];
    file.read(bytes, static_cast<std::streamsize>(format.taken));
    const auto got = static_cast<size_t>(file.gcount());
    for (size_t i = 0; i < got; ++i) row[i] = static_cast<uint8_t>(255 - static_cast<uint8_t>(bytes[i]));
    file.ignore(static_cast<std::streamsize>(format.padding));
    return got;
}

// Stores a byte when it falls inside the image; nothing a file or layout holds writes past it.
void put(std::span<uint8_t> image, size_t index, uint8_t value) {
    if (index < image.size()) image[index] = value;
}

void storeCells(std::span<uint8_t> image, size_t start, const uint8_t* row, size_t count) {
    for (size_t g = 0; g + 3 <= count; g += 3, start += 4) {
        const uint8_t b0 = row[g], b1 = row[g + 1], b2 = row[g + 2];
        put(image, start, static_cast<uint8_t>(b0 >> 2));
        put(image, start + 1, static_cast<uint8_t>(((b0 & 0x03) << 4) | (b1 >> 4)));
        put(image, start + 2, static_cast<uint8_t>(((b1 & 0x0F) << 2) | (b2 >> 6)));
        put(image, start + 3, static_cast<uint8_t>(b2 & 0x3F));
    }
}

void storeBytes(std::span<uint8_t> image, size_t start, const uint8_t* row, size_t count) {
    for (size_t k = 0; k < count; ++k) put(image, start + k, row[k]);
}

} // namespace

void LCD::loadBackground(const char* path) {
    if (family() == ControllerFamily::none) return;
    const bool page = isPageController();
    std::span<uint8_t> image(backgroundImage_);
    std::fill(image.begin(), image.end(), uint8_t{0});
    backgroundPointer_ = backgroundImage_;
    std::ifstream file(path ? path : "", std::ios::binary);
    if (!file) {
        platform::messageBox("Skin not found.", "Tessaranth", platform::mbIconError);
        return;
    }
    file.seekg(pixelDataOffset);
    const RowFormat format = page ? byteRowFormat(width()) : cellRowFormat(graphicRowBytes());
    const size_t imageRowBytes = page ? width() / 8u : static_cast<size_t>(std::max(graphicRowBytes(), 0));
    uint8_t row[rowBufferBytes];
    for (size_t j = 0; j < height(); ++j) {
        const size_t got = readRow(file, row, format);
        const size_t start = (height() - 1u - j) * imageRowBytes;
        (page ? storeBytes : storeCells)(image, start, row, got);
        if (got < format.taken) break;
    }
}

} // namespace tessaranth
