// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/posix/BusProbes.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/gpio.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tessaranth::platform::posix {

namespace {

// An open device node, closed when it goes.
class Node {
public:
    explicit Node(const char* path) : fd_(::open(path, O_RDWR | O_CLOEXEC)) {}
    ~Node() {
        if (fd_ >= 0) ::close(fd_);
    }
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

I2cProbe unknown(const char* what) { return {I2cAnswer::unknown, std::string(what) + ": " + std::strerror(errno)}; }

// A device that does not acknowledge its address: the adapters say so in these words.
bool notAcknowledged(int error) { return error == ENXIO || error == EREMOTEIO || error == EIO || error == ETIMEDOUT; }

I2cProbe answerOf(int result, const char* what) {
    if (result >= 0) return {I2cAnswer::answers, ""};
    if (notAcknowledged(errno)) return {I2cAnswer::silent, ""};
    return unknown(what);
}

// The address and a stop, with no bytes: plain I2C where the adapter has it, else SMBus.
I2cProbe quickWrite(int fd, uint8_t address7) {
    unsigned long functions = 0;
    if (ioctl(fd, I2C_FUNCS, &functions) < 0) return unknown("I2C_FUNCS");
    if (functions & I2C_FUNC_I2C) {
        uint8_t none[1] = {};
        i2c_msg message{address7, 0, 0, none};
        i2c_rdwr_ioctl_data call{&message, 1};
        return answerOf(ioctl(fd, I2C_RDWR, &call), "a write of no bytes");
    }
    if (functions & I2C_FUNC_SMBUS_QUICK) {
        i2c_smbus_ioctl_data call{I2C_SMBUS_WRITE, 0, I2C_SMBUS_QUICK, nullptr};
        return answerOf(ioctl(fd, I2C_SMBUS, &call), "an SMBus quick write");
    }
    return {I2cAnswer::unknown, "the adapter has neither plain I2C nor the SMBus quick write"};
}

} // namespace

I2cProbe probeI2c(const char* node, uint8_t address7) {
    const Node device(node);
    if (device.fd() < 0) return unknown("cannot open it");
    if (ioctl(device.fd(), I2C_SLAVE, static_cast<unsigned long>(address7)) < 0)
        return errno == EBUSY ? I2cProbe{I2cAnswer::held, ""} : unknown("I2C_SLAVE");
    return quickWrite(device.fd(), address7);
}

std::optional<GpioChipInfo> gpioChipInfo(const char* node) {
    const Node chip(node);
    gpiochip_info info{};
    if (chip.fd() < 0 || ioctl(chip.fd(), GPIO_GET_CHIPINFO_IOCTL, &info) < 0) return std::nullopt;
    return GpioChipInfo{std::string(info.label, strnlen(info.label, sizeof info.label)), info.lines};
}

std::optional<GpioLineInfo> gpioLineInfo(const char* node, uint32_t offset) {
    const Node chip(node);
    gpio_v2_line_info info{};
    info.offset = offset;
    if (chip.fd() < 0 || ioctl(chip.fd(), GPIO_V2_GET_LINEINFO_IOCTL, &info) < 0) return std::nullopt;
    return GpioLineInfo{(info.flags & GPIO_V2_LINE_FLAG_USED) != 0,
                        std::string(info.consumer, strnlen(info.consumer, sizeof info.consumer))};
}

} // namespace tessaranth::platform::posix
