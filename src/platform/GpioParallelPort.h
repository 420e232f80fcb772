// SPDX-License-Identifier: GPL-2.0-or-later
// A parallel port made of GPIO lines, so that the parallel-port drivers run on a board's GPIO
// header with their own cycles and their own wiring settings. It has the LPT port's registers:
// the data register drives 8 data lines (D0..D7, pins 2..9) and bits 0..3 of the control
// register drive 4 control lines (pins 1, 14, 16, 17), with the port's hardware inversion of
// pins 1, 14 and 17 reproduced (line level = control bit XOR 1 for those three), so a wiring
// setting that names a pin means the same signal on GPIO as on the LPT port. Which GPIO line
// stands for which pin is the user's choice; all lines are on one chip.
//
// Register writes become line updates (one GPIO_V2_LINE_SET_VALUES_IOCTL each). Successive
// writes are coalesced into one update only where the electrical order of the bus cycle is
// kept. The data register's write starts a cycle; a control line that leaves its level after it
// starts a strobe, and its return is the strobe's trailing, latching edge; once a cycle has
// latched, changes up to the next data are the hold's release and the next cycle's setup (a
// select line released and set again, C/D switched), never a latching edge. The rule:
//   - no line changes twice in one update (a pulse keeps both its edges);
//   - a latching edge is in an update with nothing but other latching edges, after every update
//     that set up the data and the control levels (setup before the latching edge);
//   - whatever follows a latching edge (the next data, a select line released, C/D switched
//     back) goes in a later update (data and levels held until after the edge).
// A level and the data may share the update that starts a strobe: every chip here latches at
// the strobe's end (T6963C, SED133x and Noritake at the rising edge of /WR or /CE, the KS0108B at
// the falling edge of E), and one ioctl call lies between that update and the latching one.
// Reads of the data register (the T6963C's timing reads) answer the last value written and
// cost no ioctl; the status register has no lines and reads 0.
//
// Updates per bus byte, by the rule and the drivers' cycles in src/controllers (tested):
//   T6963C    2: {C/D, data, /WR and /CE low}, {/CE and /WR high}; a command byte's C/D
//             switch back joins the next byte's first update, or stands alone before another
//             command: at most 3.
//   SED133x   2: {A0, data, /CS and /WR low}, {/WR and /CS high}.
//   Noritake  2: {C/D, data, /WR low}, {/WR high}.
//   KS0108B   3: {RS, chip select, data, E high}, {E low}, {chip select released}; the release
//             joins the next byte's first update when that byte goes to another chip.
// An update waits for the write that cannot join it, so a burst ends with flush() (the driver's
// transport calls it when a driver call returns, and before it sleeps or closes).
#pragma once

#include "platform/BusDevice.h"

#include <cstdint>

namespace tessaranth::platform {

struct ParallelLines {
    static constexpr int dataLines = 8;
    static constexpr int controlLines = 4;
    const char* chip = nullptr;         // path, name, number or label of the GPIO chip
    int32_t data[dataLines] = {-1, -1, -1, -1, -1, -1, -1, -1};   // D0..D7; -1: not wired
    int32_t control[controlLines] = {-1, -1, -1, -1};             // pins 1, 14, 16, 17
};

class GpioParallelPort : public BusDevice {
public:
    static constexpr uint8_t invertedPins = 0x0B;    // pins 1, 14 and 17 of the control register
    static constexpr uint8_t initialControl = 0x04;  // every control pin high
    static constexpr int maxLines = ParallelLines::dataLines + ParallelLines::controlLines;

    explicit GpioParallelPort(const ParallelLines& lines, Clock::duration retryInterval = defaultRetryInterval);
    ~GpioParallelPort() override { release(); }

    void writeData(uint8_t value);
    void writeControl(uint8_t value);
    uint8_t readData() const { return data_; }
    uint8_t readStatus() const { return 0; }
    // Sends the update still waiting; resumed when any update since the last flush went to a
    // device that had been down.
    Delivery flush();

    // The line levels a register pair means: bit i is line i of the request (data bits 0..7,
    // then control pins 1, 14, 16, 17), before the wiring leaves lines out.
    static uint16_t levels(uint8_t data, uint8_t control);

private:
    int32_t openDevice(BusFault& fault) override;
    void closeDevice(int32_t handle) override;

    // Adds the changes of one register write (the lines in changed, to their levels in
    // newLevels) to the waiting update, sending that first where the rule says so.
    void stage(uint16_t changed, uint16_t newLevels, bool latching);
    void send();
    // Which line of the request is given twice, or -1.
    int32_t repeatedLine() const;
    // The request's bit of each port line, or 0 for a line that is not wired.
    uint64_t requestBits(uint16_t portLines) const;

    char chip_[64] = {};
    uint32_t offsets_[maxLines] = {};
    int8_t requestIndex_[maxLines] = {};
    uint32_t lineCount_ = 0;
    uint8_t data_ = 0;
    uint16_t target_;            // the levels of the lines once the waiting update is sent
    uint16_t pending_ = 0;       // the lines the waiting update changes
    uint8_t pendingKinds_ = 0;   // what the waiting update holds (see the .cpp)
    uint8_t away_ = 0;           // control pins that left their level since the cycle's data
    bool latched_ = false;       // the cycle's latching edge has come
    bool resumed_ = false;
};

} // namespace tessaranth::platform
