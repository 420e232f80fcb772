// SPDX-License-Identifier: GPL-2.0-or-later
// A driver of either family on the parallel port (or on GPIO lines in its place): the port opens
// with the driver, and its buffered cycles go out at the end of every frame and at close.
#pragma once

#include "controllers/ParallelPort.h"

#include <utility>

namespace tessaranth {

template <class Family>
class OnParallelPort : public Family {
public:
    explicit OnParallelPort(ParallelPort port) : port_(std::move(port)) {}

    bool open() override {
        port_.open();
        return true;
    }
    void endFrame() override { port_.flush(); }
    void close() override { port_.flush(); }

protected:
    ParallelPort port_;
};

} // namespace tessaranth
