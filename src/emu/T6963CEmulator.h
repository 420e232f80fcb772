// SPDX-License-Identifier: GPL-2.0-or-later
// A T6963C with its 64 KB of display memory and a module of the given size, run with the
// 6-pixel font. Parameters are written before their command, words low byte first.
#pragma once

#include "emu/Emulator.h"
#include "emu/StrobedBus.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tessaranth::emu {

class T6963CEmulator : public Emulator, public StrobedChip {
public:
    T6963CEmulator(int width, int height);

    void writeCommand(uint8_t command) override;
    void writeData(uint8_t byte) override;
    uint8_t readStatus() const;
    uint8_t readData();

    // The bus: C/D high is a command (or the status on a read), low is data.
    std::optional<uint8_t> busRead(bool lineHigh) override;

    ScreenImage screen() const override;

    // The chip's state, for tests and for the virtual display's status line.
    uint8_t memory(uint16_t address) const { return memory_[address]; }
    uint16_t addressPointer() const { return addressPointer_; }
    uint16_t textHome() const { return textHome_; }
    uint16_t textArea() const { return textArea_; }
    uint16_t graphicHome() const { return graphicHome_; }
    uint16_t graphicArea() const { return graphicArea_; }
    uint16_t cgRamBase() const;

    static constexpr int kFontWidth = 6;  // the FS pin as the modules are strapped
    // How many parameter bytes a command takes (0 for unknown commands).
    static int parameterCount(uint8_t command);

private:
    enum class AutoMode : uint8_t { Off, Write, Read };

    bool takeParameters(uint8_t command);
    uint16_t parameterWord() const;
    void runCommand(uint8_t command);
    void setRegister(uint8_t command);
    void setMode(uint8_t command);
    void startAuto(uint8_t command);
    void dataAccess(uint8_t command);
    void bitSetReset(uint8_t command);
    void storeByte(uint8_t byte);

    bool textPixel(int x, int y) const;
    bool graphicPixel(int x, int y) const;
    bool cursorPixel(int x, int y) const;
    uint8_t characterRow(uint8_t code, int row) const;
    bool combine(bool text, bool graphic) const;

    int width_;
    int height_;
    std::vector<uint8_t> memory_;
    std::array<uint8_t, 2> parameters_{};
    int receivedParameters_ = 0;
    uint16_t addressPointer_ = 0;
    uint16_t textHome_ = 0;
    uint16_t textArea_ = 0;
    uint16_t graphicHome_ = 0;
    uint16_t graphicArea_ = 0;
    uint8_t offset_ = 0;
    uint8_t cursorX_ = 0;
    uint8_t cursorY_ = 0;
    uint8_t cursorLines_ = 1;
    uint8_t mode_ = 0;         // the low nibble of the last mode set
    uint8_t displayMode_ = 0;  // the low nibble of the last display mode
    AutoMode auto_ = AutoMode::Off;
    uint8_t readLatch_ = 0;
};

} // namespace tessaranth::emu
