// SPDX-License-Identifier: GPL-2.0-or-later
#include "DisplayTraffic.h"

#include <utility>

namespace tessaranth::test {

int lopsided(int x, int y) {
    const bool lit = (x * 7 + y * 3) % 11 < 3 || x == 2 * y || (x < 5 && y < 3);
    return lit ? emu::ScreenImage::kFullLevel : 0;
}

int lopsidedGrey(int x, int y) { return (x / 3 + y * y + (x > 200 ? 5 : 0)) % (emu::ScreenImage::kFullLevel + 1); }

std::vector<uint8_t> pageBytes(const Picture& picture, int page, int width) {
    std::vector<uint8_t> bytes(static_cast<size_t>(width), 0);
    for (int x = 0; x < width; ++x)
        for (int bit = 0; bit < 8; ++bit)
            if (picture(x, page * 8 + bit) != 0) bytes[static_cast<size_t>(x)] |= static_cast<uint8_t>(1 << bit);
    return bytes;
}

namespace {
void send(emu::ControlByteChip& chip, uint8_t control, std::vector<uint8_t> bytes) {
    bytes.insert(bytes.begin(), control);
    chip.i2cMessage(chip.i2cAddress(), bytes);
}
} // namespace

void sendCommands(emu::ControlByteChip& chip, std::vector<uint8_t> commands) { send(chip, 0x00, std::move(commands)); }

void sendData(emu::ControlByteChip& chip, std::vector<uint8_t> data) { send(chip, 0x40, std::move(data)); }

int pixelsDiffering(const emu::ScreenImage& image, const Picture& picture) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += image.level(x, y) == picture(x, y) ? 0 : 1;
    return count;
}

} // namespace tessaranth::test
