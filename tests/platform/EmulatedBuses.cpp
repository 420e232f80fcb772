// SPDX-License-Identifier: GPL-2.0-or-later
#include "EmulatedBuses.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/gpio.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <linux/spi/spidev.h>
#include <stdexcept>
#include <umockdev.h>

namespace tessaranth::test {

namespace {

constexpr int requestNodeCount = 4;
constexpr const char* chipLabels[] = {"pinctrl-bcm2711", "pinctrl-rp1"};
constexpr uint32_t chipLines[] = {58, 54};

template <typename T>
T* resolve(UMockdevIoctlData* data, size_t offset, size_t length) {
    GError* error = nullptr;
    UMockdevIoctlData* child = umockdev_ioctl_data_resolve(data, offset, length, &error);
    if (!child) {
        g_clear_error(&error);
        return nullptr;
    }
    return reinterpret_cast<T*>(child->data);
}

UMockdevIoctlData* resolveData(UMockdevIoctlData* data, size_t offset, size_t length) {
    GError* error = nullptr;
    UMockdevIoctlData* child = umockdev_ioctl_data_resolve(data, offset, length, &error);
    g_clear_error(&error);
    return child;
}

std::string requestNode(int index) { return "/dev/gpio-request-" + std::to_string(index); }

} // namespace

EmulatedBuses::EmulatedBuses() : i2cFunctions(I2C_FUNC_I2C | I2C_FUNC_SMBUS_WRITE_I2C_BLOCK) {
    testbed_ = umockdev_testbed_new();
    handler_ = umockdev_ioctl_base_new();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&EmulatedBuses::handle), this);
    addNode("i2c-1");
    addNode("spidev0.0");
    addNode("gpiochip0");
    addNode("gpiochip1");
    for (int index = 0; index < requestNodeCount; ++index) addNode(requestNode(index).substr(5));
}

EmulatedBuses::~EmulatedBuses() {
    g_object_unref(handler_);
    g_object_unref(testbed_);
}

void EmulatedBuses::addNode(const std::string& name) {
    const std::string subsystem = name.starts_with("i2c") ? "i2c-dev" : name.starts_with("spi") ? "spidev" : "gpio";
    const std::string description = "P: /devices/" + name + "\nN: " + name + "\nE: DEVNAME=/dev/" + name +
                                    "\nE: SUBSYSTEM=" + subsystem + "\n";
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed_, description.c_str(), &error) ||
        !umockdev_testbed_attach_ioctl(testbed_, ("/dev/" + name).c_str(), handler_, &error)) {
        const std::string message = error ? error->message : "unknown";
        g_clear_error(&error);
        throw std::runtime_error("umockdev: " + name + ": " + message);
    }
}

void EmulatedBuses::setSpiBufferSize(uint32_t size) {
    const std::filesystem::path folder =
        std::filesystem::path(umockdev_testbed_get_root_dir(testbed_)) / "sys/module/spidev/parameters";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "bufsiz") << size << "\n";
}

int EmulatedBuses::handle(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self) {
    auto& buses = *static_cast<EmulatedBuses*>(self);
    const std::string node = umockdev_ioctl_client_get_devnode(client);
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    long result = 0;
    int error = 0;
    {
        std::lock_guard<std::mutex> guard(buses.mutex_);
        ++buses.ioctlCount;
        error = buses.failWith != 0 ? buses.failWith : buses.answer(client, node, request, result);
    }
    umockdev_ioctl_client_complete(client, error ? -1 : result, error);
    return TRUE;
}

int EmulatedBuses::answer(UMockdevIoctlClient* client, const std::string& node, unsigned long request, long& result) {
    if (node == "/dev/i2c-1") return answerI2c(client, request, result);
    if (node == "/dev/spidev0.0") return answerSpi(client, request, result);
    if (node == "/dev/gpiochip0" || node == "/dev/gpiochip1") return answerChip(client, node.back() - '0', request);
    if (node.rfind("/dev/gpio-request-", 0) == 0) return answerLines(client, std::stoi(node.substr(18)), request);
    return ENOTTY;
}

int EmulatedBuses::answerI2c(UMockdevIoctlClient* client, unsigned long request, long& result) {
    UMockdevIoctlData* argument = umockdev_ioctl_client_get_arg(client);
    if (request == I2C_FUNCS) {
        *resolve<unsigned long>(argument, 0, sizeof(unsigned long)) = i2cFunctions;
        return 0;
    }
    if (request == I2C_SLAVE) {
        const unsigned long address = *reinterpret_cast<unsigned long*>(argument->data);
        if (static_cast<long>(address) == i2cHeldAddress) return EBUSY;
        i2cAddressesClaimed.push_back(address);
        return 0;
    }
    if (request == I2C_SMBUS) {
        UMockdevIoctlData* call = resolveData(argument, 0, sizeof(i2c_smbus_ioctl_data));
        const auto* smbus = reinterpret_cast<i2c_smbus_ioctl_data*>(call->data);
        if (smbus->size == I2C_SMBUS_QUICK && smbus->read_write == I2C_SMBUS_WRITE) {
            const uint16_t address = static_cast<uint16_t>(i2cAddressesClaimed.back());
            if (address == i2cNackAddress) return ENXIO;
            i2cCalls.push_back({{}, {address}, -1, true});
            return 0;
        }
        if (smbus->size != I2C_SMBUS_I2C_BLOCK_DATA || smbus->read_write != I2C_SMBUS_WRITE) return EINVAL;
        const auto* data =
            resolve<i2c_smbus_data>(call, offsetof(i2c_smbus_ioctl_data, data), sizeof(i2c_smbus_data));
        if (data->block[0] > I2C_SMBUS_BLOCK_MAX) return EINVAL;
        if (i2cNackAddress >= 0 && i2cAddressesClaimed.back() == static_cast<unsigned long>(i2cNackAddress))
            return ENXIO;
        i2cCalls.push_back({{std::vector<uint8_t>(data->block + 1, data->block + 1 + data->block[0])},
                            {static_cast<uint16_t>(i2cAddressesClaimed.back())}, smbus->command});
        return 0;
    }
    if (request != I2C_RDWR) return ENOTTY;
    UMockdevIoctlData* call = resolveData(argument, 0, sizeof(i2c_rdwr_ioctl_data));
    const uint32_t count = reinterpret_cast<i2c_rdwr_ioctl_data*>(call->data)->nmsgs;
    if (count == 0 || count > I2C_RDWR_IOCTL_MAX_MSGS) return EINVAL;
    UMockdevIoctlData* messages = resolveData(call, offsetof(i2c_rdwr_ioctl_data, msgs), count * sizeof(i2c_msg));
    I2cCall recorded;
    for (uint32_t i = 0; i < count; ++i) {
        const i2c_msg message = reinterpret_cast<i2c_msg*>(messages->data)[i];
        if (message.len > 8192) return EINVAL;
        if (static_cast<int>(message.addr) == i2cNackAddress) return EREMOTEIO;
        const auto* bytes = resolve<uint8_t>(messages, i * sizeof(i2c_msg) + offsetof(i2c_msg, buf), message.len);
        recorded.messages.emplace_back(bytes, bytes + message.len);
        recorded.addresses.push_back(message.addr);
    }
    i2cCalls.push_back(std::move(recorded));
    result = shortTransfers ? count - 1 : count;
    return 0;
}

int EmulatedBuses::answerSpi(UMockdevIoctlClient* client, unsigned long request, long& result) {
    UMockdevIoctlData* argument = umockdev_ioctl_client_get_arg(client);
    if (request == SPI_IOC_WR_MODE) {
        spiModes.push_back(*resolve<uint8_t>(argument, 0, 1));
        return 0;
    }
    if (request == SPI_IOC_WR_MAX_SPEED_HZ) {
        spiSpeeds.push_back(*resolve<uint32_t>(argument, 0, 4));
        return 0;
    }
    if (_IOC_TYPE(request) != SPI_IOC_MAGIC || _IOC_NR(request) != 0 || _IOC_DIR(request) != _IOC_WRITE) return ENOTTY;
    const size_t size = _IOC_SIZE(request);
    if (size == 0 || size % sizeof(spi_ioc_transfer) != 0) return EINVAL;
    UMockdevIoctlData* transfers = resolveData(argument, 0, size);
    std::vector<SpiTransfer> message;
    long total = 0;
    for (size_t i = 0; i < size / sizeof(spi_ioc_transfer); ++i) {
        const spi_ioc_transfer transfer = reinterpret_cast<spi_ioc_transfer*>(transfers->data)[i];
        const auto* bytes =
            resolve<uint8_t>(transfers, i * sizeof(spi_ioc_transfer) + offsetof(spi_ioc_transfer, tx_buf), transfer.len);
        message.push_back({std::vector<uint8_t>(bytes, bytes + transfer.len), transfer.delay_usecs});
        total += transfer.len;
    }
    spiMessages.push_back(std::move(message));
    result = shortTransfers ? total - 1 : total;
    return 0;
}

int EmulatedBuses::answerChip(UMockdevIoctlClient* client, int chip, unsigned long request) {
    UMockdevIoctlData* argument = umockdev_ioctl_client_get_arg(client);
    if (request == GPIO_GET_CHIPINFO_IOCTL) {
        auto* info = resolve<gpiochip_info>(argument, 0, sizeof(gpiochip_info));
        if (!info) return EFAULT;
        std::snprintf(info->name, sizeof info->name, "gpiochip%d", chip);
        std::snprintf(info->label, sizeof info->label, "%s", chipLabels[chip]);
        info->lines = chipLines[chip];
        return 0;
    }
    if (request == GPIO_V2_GET_LINEINFO_IOCTL) {
        auto* info = resolve<gpio_v2_line_info>(argument, 0, sizeof(gpio_v2_line_info));
        if (!info) return EFAULT;
        const bool used = chip == 0 && std::ranges::count(usedLines, info->offset) > 0;
        info->flags = used ? GPIO_V2_LINE_FLAG_USED : 0;
        std::snprintf(info->consumer, sizeof info->consumer, "%s", used ? "kernel-driver" : "");
        return 0;
    }
    if (request != GPIO_V2_GET_LINE_IOCTL) return ENOTTY;
    auto* lines = resolve<gpio_v2_line_request>(argument, 0, sizeof(gpio_v2_line_request));
    if (lines->num_lines == 0 || lines->num_lines > GPIO_V2_LINES_MAX) return EINVAL;
    LineRequest recorded{chip, {lines->offsets, lines->offsets + lines->num_lines}, lines->config.flags, 0,
                         lines->consumer};
    for (uint32_t offset : recorded.offsets)
        if (offset >= chipLines[chip] || (chip == 0 && std::ranges::count(usedLines, offset) > 0)) return EBUSY;
    for (uint32_t a = 0; a < lines->config.num_attrs; ++a)
        if (lines->config.attrs[a].attr.id == GPIO_V2_LINE_ATTR_ID_OUTPUT_VALUES)
            recorded.initial = lines->config.attrs[a].attr.values & lines->config.attrs[a].mask;
    if (requestNodes_ == requestNodeCount) return ENOMEM;
    lines->fd = ::open(requestNode(requestNodes_++).c_str(), O_RDWR | O_CLOEXEC);
    lineRequests.push_back(std::move(recorded));
    return lines->fd < 0 ? errno : 0;
}

int EmulatedBuses::answerLines(UMockdevIoctlClient* client, int requestIndex, unsigned long request) {
    if (request != GPIO_V2_LINE_SET_VALUES_IOCTL) return ENOTTY;
    const auto* values = resolve<gpio_v2_line_values>(umockdev_ioctl_client_get_arg(client), 0,
                                                     sizeof(gpio_v2_line_values));
    lineSets.push_back({requestIndex, values->bits, values->mask});
    return 0;
}

} // namespace tessaranth::test
