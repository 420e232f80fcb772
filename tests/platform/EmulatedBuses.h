// SPDX-License-Identifier: GPL-2.0-or-later
// Device nodes of the Linux buses emulated with umockdev: /dev/i2c-1, /dev/spidev0.0 and two GPIO
// chips (/dev/gpiochip0 "pinctrl-bcm2711" with 58 lines, /dev/gpiochip1 "pinctrl-rp1" with 54),
// whose ioctls this class answers as the kernel's i2c-dev, spidev and GPIO uAPI v2 would, and
// records. The program must run under umockdev-wrapper (see BusTestMain.cpp).
// A line request answers with a descriptor of a node of its own (/dev/gpiochipN-request-K), so
// the lines' ioctls reach this class too. The handler runs on umockdev's thread: read the
// records after the call under test has returned.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;

namespace tessaranth::test {

struct I2cCall {
    std::vector<std::vector<uint8_t>> messages;  // I2C_RDWR: each message's bytes
    std::vector<uint16_t> addresses;
    int smbusCommand = -1;                       // I2C_SMBUS block write: the command byte
    bool quick = false;                          // an SMBus quick write
};

struct SpiTransfer {
    std::vector<uint8_t> bytes;
    uint16_t delayMicros;
    bool operator==(const SpiTransfer&) const = default;
};

struct LineRequest {
    int chip;
    std::vector<uint32_t> offsets;
    uint64_t flags;
    uint64_t initial;
    std::string consumer;
};

struct LineSet {
    int request;  // index into lineRequests
    uint64_t bits;
    uint64_t mask;
};

class EmulatedBuses {
public:
    EmulatedBuses();
    ~EmulatedBuses();
    EmulatedBuses(const EmulatedBuses&) = delete;
    EmulatedBuses& operator=(const EmulatedBuses&) = delete;

    // Writes the spidev module's bufsiz parameter that the system shows.
    void setSpiBufferSize(uint32_t size);

    // What the devices answer; change under lock().
    std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(mutex_); }
    unsigned long i2cFunctions;
    int failWith = 0;            // every ioctl on every node fails with this errno (0: none)
    bool shortTransfers = false; // I2C_RDWR and SPI messages report one unit less than asked
    int i2cNackAddress = -1;     // writes to this address fail with EREMOTEIO
    int i2cHeldAddress = -1;     // a kernel driver holds this address: I2C_SLAVE fails with EBUSY
    std::vector<uint32_t> usedLines;  // lines of gpiochip0 held by "kernel-driver"

    // What they were asked; read under lock().
    std::vector<unsigned long> i2cAddressesClaimed;
    std::vector<I2cCall> i2cCalls;
    std::vector<uint8_t> spiModes;
    std::vector<uint32_t> spiSpeeds;
    std::vector<std::vector<SpiTransfer>> spiMessages;
    std::vector<LineRequest> lineRequests;
    std::vector<LineSet> lineSets;
    int ioctlCount = 0;

private:
    static int handle(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self);
    int answer(UMockdevIoctlClient* client, const std::string& node, unsigned long request, long& result);
    int answerI2c(UMockdevIoctlClient* client, unsigned long request, long& result);
    int answerSpi(UMockdevIoctlClient* client, unsigned long request, long& result);
    int answerChip(UMockdevIoctlClient* client, int chip, unsigned long request);
    int answerLines(UMockdevIoctlClient* client, int requestIndex, unsigned long request);
    void addNode(const std::string& name);

    UMockdevTestbed* testbed_ = nullptr;
    UMockdevIoctlBase* handler_ = nullptr;
    std::mutex mutex_;
    int requestNodes_ = 0;
};

} // namespace tessaranth::test
