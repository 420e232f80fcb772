#include "RecordingController.h"

namespace tessaranth::test {

void RecordingController::defineGlyph(uint8_t index, const uint8_t rows[8]) {
    std::string line = "defineGlyph " + std::to_string(index);
    for (int row = 0; row < 8; ++row) line += " " + std::to_string(rows[row]);
    calls.push_back(line);
}

void RecordingController::writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) {
    calls.push_back("writeBlock " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(rows) + " " +
                    std::to_string(width));
    lastBlock.assign(bytes, bytes + width * 6);
}

} // namespace tessaranth::test
