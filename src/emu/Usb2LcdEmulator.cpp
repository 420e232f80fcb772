#include "emu/Usb2LcdEmulator.h"

namespace tessaranth::emu {

namespace {
// Enough to follow a run of frames; a long run keeps counting in the problem log instead.
constexpr size_t kKeptCalls = 10000;
} // namespace

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
    if (!commandNext_) return writeData(byte);
    commandNext_ = false;
    if (isAdapterCommand(byte)) {
        if (adapterCommands_.size() < kKeptCalls) adapterCommands_.push_back(byte);
        return;
    }
    writeCommand(byte);
}

} // namespace tessaranth::emu
