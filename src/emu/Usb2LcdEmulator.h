// The USB2LCD adapter with its T6963C display: a serial byte stream in which 0x8F announces
// that the next byte is a command and every other byte is data. The adapter's own commands
// are recorded and go no further.
#pragma once

#include "emu/T6963CEmulator.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaranth::emu {

class Usb2LcdEmulator : public T6963CEmulator {
public:
    static constexpr uint8_t kCommandPrefix = 0x8F;
    static constexpr uint32_t kBaudRate = 230400;

    Usb2LcdEmulator(int width, int height) : T6963CEmulator(width, height) {}

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

    bool open_ = false;
    uint32_t baud_ = 0;
    bool commandNext_ = false;
    std::vector<uint8_t> adapterCommands_;
    std::vector<std::string> calls_;
};

} // namespace tessaranth::emu
