// SPDX-License-Identifier: GPL-2.0-or-later
// I2C through i2c-dev (see platform/I2c.h).
#include "platform/I2c.h"

#include "platform/posix/PosixBusFaults.h"
#include "platform/posix/PosixSlots.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tessaranth::platform::i2c::native {

namespace {

struct Slot {
    int fd = -1;
    uint8_t address = 0;
    bool plainI2c = true;
    // A continuation of a message longer than i2c-dev takes: its control byte, then the bytes.
    uint8_t scratch[maxMessageLength] = {};
};

posix::PosixSlots<Slot, 4> slots;

constexpr posix::NodeHelp help{
    "enable I2C and load the i2c-dev module (on a Raspberry Pi: dtparam=i2c_arm=on in /boot/firmware/config.txt, "
    "then reboot)",
    "i2c"};

int32_t failure(int result) { return result < 0 ? errno : 0; }

// One I2C_RDWR call with the messages gathered so far.
class Batch {
public:
    explicit Batch(const Slot& slot) : slot_(slot) {}
    int32_t add(const uint8_t* data, uint32_t length) {
        if (count_ == maxMessagesPerCall)
            if (const int32_t error = send()) return error;
        messages_[count_++] = i2c_msg{slot_.address, 0, static_cast<__u16>(length), const_cast<uint8_t*>(data)};
        return 0;
    }
    int32_t send() {
        if (count_ == 0) return 0;
        i2c_rdwr_ioctl_data call{messages_, count_};
        const int result = ioctl(slot_.fd, I2C_RDWR, &call);
        const uint32_t asked = count_;
        count_ = 0;
        if (result < 0) return errno;
        return static_cast<uint32_t>(result) < asked ? busError::shortTransfer : 0;
    }

private:
    const Slot& slot_;
    i2c_msg messages_[maxMessagesPerCall] = {};
    uint32_t count_ = 0;
};

// A message that i2c-dev takes whole goes into the batch; a longer one goes out in parts that
// each start with its control byte.
int32_t addMessage(Slot& slot, Batch& batch, const Message& message) {
    if (message.length <= maxMessageLength) return batch.add(message.data, message.length);
    if (const int32_t error = batch.add(message.data, maxMessageLength)) return error;
    slot.scratch[0] = message.data[0];
    for (uint32_t at = maxMessageLength; at < message.length; at += maxMessageLength - 1) {
        const uint32_t part = std::min(message.length - at, maxMessageLength - 1);
        if (const int32_t error = batch.send()) return error;
        std::memcpy(slot.scratch + 1, message.data + at, part);
        if (const int32_t error = batch.add(slot.scratch, part + 1)) return error;
    }
    return batch.send();
}

int32_t writeMessages(Slot& slot, const Message* messages, uint32_t count) {
    Batch batch(slot);
    for (uint32_t i = 0; i < count; ++i) {
        if (messages[i].length == 0 || !messages[i].data) continue;
        if (const int32_t error = addMessage(slot, batch, messages[i])) return error;
    }
    return batch.send();
}

// SMBus I2C-block writes: the control byte as the command, then at most 32 bytes per block.
int32_t writeBlocks(const Slot& slot, const Message& message) {
    for (uint32_t at = 1; at < message.length; at += smbusBlockMax) {
        const uint32_t part = std::min(message.length - at, smbusBlockMax);
        i2c_smbus_data data{};
        data.block[0] = static_cast<__u8>(part);
        std::memcpy(data.block + 1, message.data + at, part);
        i2c_smbus_ioctl_data call{I2C_SMBUS_WRITE, message.data[0], I2C_SMBUS_I2C_BLOCK_DATA, &data};
        if (const int32_t error = failure(ioctl(slot.fd, I2C_SMBUS, &call))) return error;
    }
    return 0;
}

int32_t writeSmbus(const Slot& slot, const Message* messages, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        if (messages[i].length == 0 || !messages[i].data) continue;
        if (const int32_t error = writeBlocks(slot, messages[i])) return error;
    }
    return 0;
}

// What the adapter can do, as far as the display needs it; false with the fault filled.
bool checkAdapter(Slot& slot, const char* device, uint8_t address7, BusFault& fault) {
    unsigned long functions = 0;
    if (ioctl(slot.fd, I2C_FUNCS, &functions) < 0) {
        fault.set("%s is no I2C adapter (%s): check the device's name", device, std::strerror(errno));
        return false;
    }
    slot.plainI2c = (functions & I2C_FUNC_I2C) != 0;
    if (!slot.plainI2c && !(functions & I2C_FUNC_SMBUS_WRITE_I2C_BLOCK)) {
        fault.set("%s can send neither I2C messages nor SMBus block writes: use another I2C adapter", device);
        return false;
    }
    if (ioctl(slot.fd, I2C_SLAVE, static_cast<unsigned long>(address7)) < 0) {
        if (errno == EBUSY)
            fault.set("0x%02X on %s belongs to a kernel driver: unbind it or remove its device-tree overlay",
                      static_cast<unsigned>(address7), device);
        else
            fault.set("0x%02X on %s cannot be used (%s): check the address", static_cast<unsigned>(address7), device,
                      std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace

int32_t open(const char* device, uint8_t address7, BusFault& fault) {
    if (address7 > 0x7F) {
        fault.set("0x%02X is no 7-bit I2C address: displays answer at 0x3C or 0x3D", static_cast<unsigned>(address7));
        return -1;
    }
    const int32_t handle = slots.free();
    if (handle < 0) {
        fault.set("%s cannot be opened: too many I2C devices are open", device);
        return -1;
    }
    const int fd = posix::openNode(device, help, fault);
    if (fd < 0) return -1;
    Slot& slot = slots.take(handle);
    slot.fd = fd;
    slot.address = address7;
    if (checkAdapter(slot, device, address7, fault)) return handle;
    close(handle);
    return -1;
}

int32_t write(int32_t handle, const Message* messages, uint32_t count) {
    Slot* slot = slots.find(handle);
    if (!slot) return busError::noDevice;
    return slot->plainI2c ? writeMessages(*slot, messages, count) : writeSmbus(*slot, messages, count);
}

void close(int32_t handle) {
    if (Slot* slot = slots.find(handle)) ::close(slot->fd);
    slots.release(handle);
}

} // namespace tessaranth::platform::i2c::native
