// SPDX-License-Identifier: GPL-2.0-or-later
// GPIO lines through the GPIO character device's uAPI v2 (see platform/Gpio.h).
#include "platform/Gpio.h"

#include "platform/posix/PosixBusFaults.h"
#include "platform/posix/PosixSlots.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/gpio.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tessaranth::platform::gpio::native {

namespace {

struct Slot {
    int fd = -1;
};

posix::PosixSlots<Slot, 16> slots;

constexpr posix::NodeHelp help{"check the chip's name or label (gpiodetect lists the chips)", "gpio"};
constexpr char consumer[] = "tessaranth";

bool allDigits(const char* text) {
    for (const char* c = text; *c; ++c)
        if (*c < '0' || *c > '9') return false;
    return text[0] != '\0';
}

bool labelled(const char* path, const char* label) {
    const int fd = ::open(path, O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    gpiochip_info info{};
    const bool found =
        ioctl(fd, GPIO_GET_CHIPINFO_IOCTL, &info) == 0 && std::strncmp(info.label, label, sizeof info.label) == 0;
    ::close(fd);
    return found;
}

// The chip labelled label among the chips in /dev: its node in path, or false.
bool findLabel(const char* label, char* path, size_t size) {
    DIR* folder = opendir("/dev");
    if (!folder) return false;
    bool found = false;
    while (const dirent* entry = readdir(folder)) {
        if (std::strncmp(entry->d_name, "gpiochip", 8) != 0 || !allDigits(entry->d_name + 8)) continue;
        std::snprintf(path, size, "/dev/%s", entry->d_name);
        if ((found = labelled(path, label))) break;
    }
    closedir(folder);
    return found;
}

// The node of a chip named by path, name, number or label; false with the fault filled.
bool chipNode(const char* chip, char* path, size_t size, BusFault& fault) {
    if (chip[0] == '/')
        std::snprintf(path, size, "%s", chip);
    else if (allDigits(chip))
        std::snprintf(path, size, "/dev/gpiochip%s", chip);
    else if (std::strncmp(chip, "gpiochip", 8) == 0)
        std::snprintf(path, size, "/dev/%s", chip);
    else if (!findLabel(chip, path, size)) {
        fault.set("no GPIO chip is labelled %s: check the chip's name or label (gpiodetect lists the chips)", chip);
        return false;
    }
    return true;
}

// Every line exists on the chip; false with the fault filled.
bool checkLines(int fd, const char* node, const uint32_t* lines, uint32_t count, BusFault& fault) {
    gpiochip_info info{};
    if (ioctl(fd, GPIO_GET_CHIPINFO_IOCTL, &info) < 0) {
        fault.set("%s is no GPIO chip (%s): check the chip's name", node, std::strerror(errno));
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        if (lines[i] >= info.lines) {
            fault.set("%s has %u lines, no line %u: check the line numbers", node, info.lines, lines[i]);
            return false;
        }
    }
    return true;
}

// Why a request failed: a line in use (naming who holds it) or the system's reason.
void describeRequestFailure(int fd, const char* node, const uint32_t* lines, uint32_t count, int error,
                            BusFault& fault) {
    for (uint32_t i = 0; error == EBUSY && i < count; ++i) {
        gpio_v2_line_info info{};
        info.offset = lines[i];
        if (ioctl(fd, GPIO_V2_GET_LINEINFO_IOCTL, &info) == 0 && (info.flags & GPIO_V2_LINE_FLAG_USED)) {
            fault.set("line %u of %s is in use by %s: free it (gpioinfo shows who holds each line)", lines[i], node,
                      info.consumer[0] ? info.consumer : "another program");
            return;
        }
    }
    fault.set("the lines of %s cannot be had (%s): check the line numbers and that nothing else holds them", node,
              std::strerror(error));
}

int requestLines(int fd, const char* node, const uint32_t* lines, uint32_t count, uint64_t initial, BusFault& fault) {
    gpio_v2_line_request request{};
    for (uint32_t i = 0; i < count; ++i) request.offsets[i] = lines[i];
    std::snprintf(request.consumer, sizeof request.consumer, "%s", consumer);
    request.num_lines = count;
    request.config.flags = GPIO_V2_LINE_FLAG_OUTPUT;
    request.config.num_attrs = 1;
    request.config.attrs[0].attr.id = GPIO_V2_LINE_ATTR_ID_OUTPUT_VALUES;
    request.config.attrs[0].attr.values = initial;
    request.config.attrs[0].mask = count == 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
    if (ioctl(fd, GPIO_V2_GET_LINE_IOCTL, &request) == 0 && request.fd >= 0) return request.fd;
    describeRequestFailure(fd, node, lines, count, errno, fault);
    return -1;
}

} // namespace

int32_t open(const char* chip, const uint32_t* lines, uint32_t count, uint64_t initial, BusFault& fault) {
    char node[320];
    if (!chipNode(chip, node, sizeof node, fault)) return -1;
    const int32_t handle = slots.free();
    if (handle < 0) {
        fault.set("%s cannot be used: too many GPIO requests are open", node);
        return -1;
    }
    const int fd = posix::openNode(node, help, fault);
    if (fd < 0) return -1;
    const int linesFd = checkLines(fd, node, lines, count, fault) ? requestLines(fd, node, lines, count, initial, fault)
                                                                    : -1;
    ::close(fd);
    if (linesFd < 0) return -1;
    slots.take(handle).fd = linesFd;
    return handle;
}

int32_t set(int32_t handle, uint64_t bits, uint64_t mask) {
    Slot* slot = slots.find(handle);
    if (!slot) return busError::noDevice;
    gpio_v2_line_values values{bits, mask};
    return ioctl(slot->fd, GPIO_V2_LINE_SET_VALUES_IOCTL, &values) < 0 ? errno : 0;
}

void close(int32_t handle) {
    if (Slot* slot = slots.find(handle)) ::close(slot->fd);
    slots.release(handle);
}

} // namespace tessaranth::platform::gpio::native
