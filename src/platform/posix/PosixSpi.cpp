// SPDX-License-Identifier: GPL-2.0-or-later
// SPI through spidev, D/C and reset on GPIO lines (see platform/Spi.h).
#include "platform/Gpio.h"
#include "platform/Spi.h"

#include "platform/posix/PosixBusFaults.h"
#include "platform/posix/PosixSlots.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <linux/spi/spidev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tessaranth::platform::spi::native {

namespace {

struct Slot {
    int fd = -1;
    uint32_t bufferSize = defaultBufferSize;
    int32_t dcLines = -1;
    int32_t resetLines = -1;
    int dcLevel = -1;  // the level D/C has; -1 before the first write
    spi_ioc_transfer transfers[maxTransfersPerMessage] = {};
};

posix::PosixSlots<Slot, 4> slots;

constexpr posix::NodeHelp help{
    "enable SPI (on a Raspberry Pi: dtparam=spi=on in /boot/firmware/config.txt, then reboot)", "spi"};
constexpr char bufferSizeFile[] = "/sys/module/spidev/parameters/bufsiz";

uint32_t spidevBufferSize() {
    unsigned long size = 0;
    if (FILE* file = std::fopen(bufferSizeFile, "re")) {
        if (std::fscanf(file, "%lu", &size) != 1) size = 0;
        std::fclose(file);
    }
    return size > 0 && size <= (1ul << 22) ? static_cast<uint32_t>(size) : defaultBufferSize;
}

void pause(uint32_t microseconds) {
    timespec time{static_cast<time_t>(microseconds / 1'000'000), static_cast<long>(microseconds % 1'000'000) * 1000};
    while (nanosleep(&time, &time) != 0 && errno == EINTR) {}
}

// The request of SPI_IOC_MESSAGE(count), for a count known only at run time.
unsigned long messageRequest(uint32_t count) {
    return _IOC(_IOC_WRITE, SPI_IOC_MAGIC, 0, static_cast<unsigned>(count * sizeof(spi_ioc_transfer)));
}

// Sends the first count transfers of the slot in one message.
int32_t sendMessage(Slot& slot, uint32_t count, uint32_t bytes) {
    const int result = ioctl(slot.fd, messageRequest(count), slot.transfers);
    if (result < 0) return errno;
    return static_cast<uint32_t>(result) < bytes ? busError::shortTransfer : 0;
}

// Messages of at most bufsiz bytes: one transfer each, or with a pace as many paced transfers
// as fit.
int32_t sendBytes(Slot& slot, const uint8_t* bytes, uint32_t length, Pace pace) {
    const uint32_t group = pace.bytes == 0 ? slot.bufferSize : std::min(pace.bytes, slot.bufferSize);
    const uint32_t perMessage = std::min(maxTransfersPerMessage, slot.bufferSize / group);
    uint32_t at = 0;
    while (at < length) {
        uint32_t count = 0;
        const uint32_t start = at;
        for (; count < perMessage && at < length; ++count) {
            const uint32_t part = std::min(group, length - at);
            slot.transfers[count] = spi_ioc_transfer{};
            slot.transfers[count].tx_buf = reinterpret_cast<uintptr_t>(bytes + at);
            slot.transfers[count].len = part;
            slot.transfers[count].delay_usecs = pace.delayMicros;
            at += part;
        }
        if (const int32_t error = sendMessage(slot, count, at - start)) return error;
    }
    return 0;
}

// A line of the device's (D/C or reset) as a GPIO request; false with the fault filled.
bool requestLine(const Line& line, uint64_t initial, int32_t& lines, BusFault& fault) {
    if (!line.wired()) return true;
    const auto offset = static_cast<uint32_t>(line.offset);
    lines = gpio::native::open(line.chip, &offset, 1, initial, fault);
    return lines >= 0;
}

bool configure(Slot& slot, const Options& options, BusFault& fault) {
    uint8_t mode = options.mode;
    uint32_t speed = options.speedHz;
    if (ioctl(slot.fd, SPI_IOC_WR_MODE, &mode) < 0 || ioctl(slot.fd, SPI_IOC_WR_MAX_SPEED_HZ, &speed) < 0) {
        fault.set("%s does not take mode %u at %u Hz (%s): check the device and the speed", options.device,
                  static_cast<unsigned>(options.mode), static_cast<unsigned>(options.speedHz), std::strerror(errno));
        return false;
    }
    slot.bufferSize = spidevBufferSize();
    return requestLine(options.dc, 0, slot.dcLines, fault) && requestLine(options.reset, 1, slot.resetLines, fault);
}

} // namespace

int32_t open(const Options& options, BusFault& fault) {
    const int32_t handle = slots.free();
    if (handle < 0) {
        fault.set("%s cannot be opened: too many SPI devices are open", options.device);
        return -1;
    }
    const int fd = posix::openNode(options.device, help, fault);
    if (fd < 0) return -1;
    Slot& slot = slots.take(handle);
    slot.fd = fd;
    if (configure(slot, options, fault)) return handle;
    close(handle);
    return -1;
}

int32_t write(int32_t handle, bool dc, const uint8_t* bytes, uint32_t length, Pace pace) {
    Slot* slot = slots.find(handle);
    if (!slot) return busError::noDevice;
    if (slot->dcLines >= 0 && slot->dcLevel != static_cast<int>(dc)) {
        if (const int32_t error = gpio::native::set(slot->dcLines, dc ? 1 : 0, 1)) return error;
        slot->dcLevel = dc;
    }
    return sendBytes(*slot, bytes, length, pace);
}

int32_t resetPulse(int32_t handle, uint32_t microseconds) {
    Slot* slot = slots.find(handle);
    if (!slot) return busError::noDevice;
    if (slot->resetLines < 0) return 0;
    if (const int32_t error = gpio::native::set(slot->resetLines, 0, 1)) return error;
    pause(microseconds);
    if (const int32_t error = gpio::native::set(slot->resetLines, 1, 1)) return error;
    pause(microseconds);
    return 0;
}

void close(int32_t handle) {
    Slot* slot = slots.find(handle);
    if (!slot) return;
    ::close(slot->fd);
    gpio::native::close(slot->dcLines);
    gpio::native::close(slot->resetLines);
    slots.release(handle);
}

} // namespace tessaranth::platform::spi::native
