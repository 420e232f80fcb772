// One-bit Windows bitmaps for the background tests: a 62-byte header (file header, 40-byte
// information header, two-entry palette), rows bottom-up padded to four bytes, a lit pixel
// stored as a 0 bit.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tessaranth::test {

using PixelFunction = std::function<bool(int x, int y)>;

std::vector<uint8_t> bitmapBytes(int width, int height, const PixelFunction& lit);
// Writes the bytes to a file of this process (in a temporary folder removed when the process
// ends) and returns its path.
std::string writeTestFile(const std::string& name, const std::vector<uint8_t>& bytes);

} // namespace tessaranth::test
