// The parallel port as every port driver sees it: the data, status and control registers at
// the configured base address, the four control-line masks taken from the wiring settings, and
// the last value written to the control register.
#pragma once

#include <cstdint>

namespace tessaranth {

class ParallelPort {
public:
    static constexpr uint16_t dataOffset = 0;
    static constexpr uint16_t statusOffset = 1;
    static constexpr uint16_t controlOffset = 2;

    // Reads the masks for the four lines from the wiring settings.
    void takeWiring();

    uint8_t csMask() const { return csMask_; }
    uint8_t a0Mask() const { return a0Mask_; }
    uint8_t wrMask() const { return wrMask_; }
    uint8_t rdMask() const { return rdMask_; }
    uint8_t controlShadow() const { return controlShadow_; }

    // The base address is read from the plug-in at every access.
    static uint16_t base();

    // Sets the shadow without touching the port (the base value a cycle starts from).
    void setControlShadow(uint8_t value) { controlShadow_ = value; }
    // Sets the shadow and writes it to the control register.
    void writeControl(uint8_t value);
    // Flips the lines in `mask` and writes the shadow to the control register.
    void toggle(uint8_t mask);
    // The caller's 16-bit value goes to the data register as given.
    static void writeData(uint16_t value);
    static uint8_t readData();
    static uint8_t readStatus();

private:
    uint8_t csMask_ = 0;
    uint8_t a0Mask_ = 0;
    uint8_t wrMask_ = 0;
    uint8_t rdMask_ = 0;
    uint8_t controlShadow_ = 0;
};

} // namespace tessaranth
