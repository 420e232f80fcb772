// SPDX-License-Identifier: GPL-2.0-or-later
// The USB2LCD adapter with its T6963C display: a serial byte stream in which 0x8F announces
// that the next byte is a command and every other byte is data. The adapter's own commands
// are recorded and go no further.
//
// Assumed: the adapter takes a command's parameter bytes after the command (0x8F 0x24 lo hi)
// and then performs the chip's cycles in the chip's order (parameters, then the command). The
// adapter's protocol is private to it; kParametersFollowCommand is the one place to change this.
//
// Assumed: the plug-in sends the adapter no layout, so the adapter sets its T6963C up itself at
// power-on, for its 240x128 module: text at 0 and graphics at 0x300, 40 bytes a row each, CG
// RAM at offset 3 (0x1800), the layers combined by EXOR (so that text over a solid graphic bar,
// such as the current playlist entry, stays readable), the display off until told (see the .cpp).
#pragma once

#include "emu/T6963CEmulator.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaranth::emu {

class Usb2LcdEmulator : public T6963CEmulator {
public:
    static constexpr uint8_t kCommandPrefix = 0x8F;
    static constexpr uint32_t kBaudRate = 230400;
    static constexpr bool kParametersFollowCommand = true;

    Usb2LcdEmulator(int width, int height);

    // The four calls of the device library, as the plug-in makes them; 0 means success.
    int32_t open();
    int32_t setBaudRate(uint32_t baud);
    int32_t write(const uint8_t* data, uint32_t length);
    void close();

    // Feeds the stream straight to the adapter, as if the device were open at the right speed.
    void feed(const uint8_t* data, size_t length);

    bool isOpen() const { return open_; }
    uint32_t baudRate() const { return baud_; }
    // Every 0x8F-framed byte the adapter kept for itself (0x72, 0x78, 0x79), in order.
    const std::vector<uint8_t>& adapterCommands() const { return adapterCommands_; }
    // "open", "baud 230400", "write 12", "close": the device calls in order.
    const std::vector<std::string>& calls() const { return calls_; }

private:
    static bool isAdapterCommand(uint8_t byte) { return byte == 0x72 || byte == 0x78 || byte == 0x79; }
    void take(uint8_t byte);
    void takeCommand(uint8_t command);
    void takeData(uint8_t byte);
    void runPending();

    bool open_ = false;
    uint32_t baud_ = 0;
    bool commandNext_ = false;
    std::optional<uint8_t> pendingCommand_;  // a command waiting for its parameter bytes
    std::vector<uint8_t> pendingParameters_;
    std::vector<uint8_t> adapterCommands_;
    std::vector<std::string> calls_;
};

} // namespace tessaranth::emu
