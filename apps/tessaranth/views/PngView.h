// SPDX-License-Identifier: GPL-2.0-or-later
// The virtual display as PNG files: frame-000001.png, frame-000002.png, ... in a folder, one for
// every frame or for every Nth.
#pragma once

#include "views/DisplayView.h"

#include <cstdint>
#include <string>

namespace tessaranth::host {

// Every dot of the glass as a square of this many pixels in the files.
constexpr int pngScale = 3;

class PngView : public DisplayView {
public:
    // Creates the folder when it is missing; throws Failure when it cannot.
    PngView(std::string folder, int32_t every);

    // Throws Failure when a file cannot be written.
    void present(const emu::VirtualDisplay& display) override;
    std::string description() const override;
    int64_t written() const { return written_; }

private:
    std::string folder_;
    int32_t every_;
    int64_t frames_ = 0;
    int64_t written_ = 0;
};

} // namespace tessaranth::host
