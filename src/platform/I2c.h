// SPDX-License-Identifier: GPL-2.0-or-later
// I2C from user space: the display at one 7-bit address on one adapter (/dev/i2c-N on Linux).
// The host's I2C services, when it installed all three, take the calls instead (an emulator, a
// trace); otherwise the platform's device code serves them:
//   - open checks what the adapter can do (I2C_FUNCS) and claims the address (I2C_SLAVE, so a
//     kernel driver that holds it is reported);
//   - write sends each message as one I2C write (START, address, the bytes, then a repeated
//     START or the STOP): through I2C_RDWR, at most `maxMessagesPerCall` messages per call and
//     more messages split across calls, a message longer than `maxMessageLength` split into
//     several that each repeat its first byte. An adapter without plain I2C (no I2C_FUNC_I2C)
//     but with I2C_FUNC_SMBUS_WRITE_I2C_BLOCK gets SMBus I2C-block writes instead: the message's
//     first byte (the control byte) as the SMBus command byte, then at most `smbusBlockMax`
//     bytes, the control byte repeated before each further block.
// The first byte of a message is the display's control byte (0x00 commands, 0x40 data), which
// is what makes splitting a message harmless.
// Windows has no such bus: open answers "not available on Windows".
#pragma once

#include "platform/BusFault.h"
#include "tessaranth/plugin_abi.h"

#include <cstdint>

namespace tessaranth::platform::i2c {

using Message = TessaranthI2cMessage;

constexpr uint32_t maxMessagesPerCall = 42;   // I2C_RDWR_IOCTL_MAX_MSGS
constexpr uint32_t maxMessageLength = 8192;   // i2c-dev's limit of one message
constexpr uint32_t smbusBlockMax = 32;        // I2C_SMBUS_BLOCK_MAX

// A handle >= 0, or -1 with the fault filled ("no /dev/i2c-1: enable I2C ...").
int32_t open(const char* device, uint8_t address7, BusFault& fault);
// Sends the messages in order: 0 when all went out, else the error number (see busError; an
// unknown handle is busError::noDevice). Messages without bytes are skipped.
int32_t write(int32_t handle, const Message* messages, uint32_t count);
void close(int32_t handle);

// Whether the host serves I2C.
bool hostServes();

namespace native {
int32_t open(const char* device, uint8_t address7, BusFault& fault);
int32_t write(int32_t handle, const Message* messages, uint32_t count);
void close(int32_t handle);
} // namespace native

} // namespace tessaranth::platform::i2c
