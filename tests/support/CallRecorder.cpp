// SPDX-License-Identifier: GPL-2.0-or-later
#include "CallRecorder.h"

namespace tessaranth::test {

void CallRecorder::writeRow(int column, int row, const uint8_t* bytes, int32_t count) {
    calls.push_back({"writeRow", {column, row, count}, {bytes, bytes + count}, {}});
}

void CallRecorder::writeBlock(const uint8_t* bytes, uint16_t x, uint16_t y, uint16_t rows, uint16_t width) {
    const int count = page_ ? width * 6 : rows * width;
    calls.push_back({"writeBlock", {x, y, rows, width}, {bytes, bytes + count}, {}});
}

std::vector<ControllerCall> CallRecorder::only(const std::string& op) const {
    std::vector<ControllerCall> found;
    for (const ControllerCall& call : calls)
        if (call.op == op) found.push_back(call);
    return found;
}

} // namespace tessaranth::test
