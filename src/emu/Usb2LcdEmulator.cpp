// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/Usb2LcdEmulator.h"

namespace tessaranth::emu {

namespace {
// Enough to follow a run of frames; a long run keeps counting in the problem log instead.
constexpr size_t kKeptCalls = 10000;

// The adapter's own set-up of its T6963C at power-on (assumed), in the chip's byte order.
struct SetUpCommand {
    uint8_t low, high, command;
};
constexpr SetUpCommand kAdapterSetUp[] = {
    {0x00, 0x00, 0x40},  // text home 0
    {40, 0x00, 0x41},    // text area 40
    {0x00, 0x03, 0x42},  // graphic home 0x300
    {40, 0x00, 0x43},    // graphic area 40
    {0x03, 0x00, 0x22},  // offset register 3
};
constexpr uint8_t kAdapterMode = 0x81;  // EXOR, internal CG ROM

} // namespace

Usb2LcdEmulator::Usb2LcdEmulator(int width, int height) : T6963CEmulator(width, height) {
    for (const SetUpCommand& step : kAdapterSetUp) {
        writeData(step.low);
        writeData(step.high);
        writeCommand(step.command);
    }
    writeCommand(kAdapterMode);
}

int32_t Usb2LcdEmulator::open() {
    if (calls_.size() < kKeptCalls) calls_.push_back("open");
    if (open_) problems_.report("device opened twice");
    open_ = true;
    return 0;
}

int32_t Usb2LcdEmulator::setBaudRate(uint32_t baud) {
    if (calls_.size() < kKeptCalls) calls_.push_back("baud " + std::to_string(baud));
    if (!open_) problems_.report("baud rate set on a closed device");
    if (baud != kBaudRate) problems_.report("baud rate " + std::to_string(baud) + ", the adapter runs at " + std::to_string(kBaudRate));
    baud_ = baud;
    return 0;
}

int32_t Usb2LcdEmulator::write(const uint8_t* data, uint32_t length) {
    if (calls_.size() < kKeptCalls) calls_.push_back("write " + std::to_string(length));
    if (!open_) {
        problems_.report(std::to_string(length) + " bytes written to a closed device");
        return 1;
    }
    if (baud_ != kBaudRate) problems_.report(std::to_string(length) + " bytes written at " + std::to_string(baud_) + " baud");
    feed(data, length);
    return 0;
}

void Usb2LcdEmulator::close() {
    if (calls_.size() < kKeptCalls) calls_.push_back("close");
    if (!open_) problems_.report("closed a device that was not open");
    open_ = false;
}

void Usb2LcdEmulator::feed(const uint8_t* data, size_t length) {
    for (size_t i = 0; i < length; ++i) take(data[i]);
}

void Usb2LcdEmulator::take(uint8_t byte) {
    if (!commandNext_ && byte == kCommandPrefix) {
        commandNext_ = true;
        return;
    }
    if (!commandNext_) return takeData(byte);
    commandNext_ = false;
    if (isAdapterCommand(byte)) {
        if (adapterCommands_.size() < kKeptCalls) adapterCommands_.push_back(byte);
        return;
    }
    takeCommand(byte);
}

void Usb2LcdEmulator::takeCommand(uint8_t command) {
    if (!kParametersFollowCommand) return writeCommand(command);
    if (pendingCommand_) {
        problems_.report("command " + hexText(command) + " while command " + hexText(*pendingCommand_) + " waited for " +
                         std::to_string(parameterCount(*pendingCommand_)) + " parameter bytes");
        pendingCommand_.reset();
    }
    pendingCommand_ = command;
    pendingParameters_.clear();
    if (parameterCount(command) == 0) runPending();
}

void Usb2LcdEmulator::takeData(uint8_t byte) {
    if (!pendingCommand_) return writeData(byte);
    pendingParameters_.push_back(byte);
    if (pendingParameters_.size() == static_cast<size_t>(parameterCount(*pendingCommand_))) runPending();
}

void Usb2LcdEmulator::runPending() {
    for (uint8_t parameter : pendingParameters_) writeData(parameter);
    writeCommand(*pendingCommand_);
    pendingCommand_.reset();
}

} // namespace tessaranth::emu
