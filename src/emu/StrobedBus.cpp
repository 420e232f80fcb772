// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/StrobedBus.h"

namespace tessaranth::emu {

void StrobedBus::linesChanged(const BusLines& lines) {
    const bool selected = !lines.high[ChipSelect];
    const bool writing = selected && !lines.high[Write];
    const bool reading = selected && !lines.high[Read];
    if (writing_ && !writing) {
        if (lineHigh_)
            chip_.writeCommand(lines.data);
        else
            chip_.writeData(lines.data);
    }
    if (!reading_ && reading) driven_ = chip_.busRead(lines.high[CommandLine]);
    if (!reading) driven_.reset();
    writing_ = writing;
    reading_ = reading;
    lineHigh_ = lines.high[CommandLine];
}

} // namespace tessaranth::emu
