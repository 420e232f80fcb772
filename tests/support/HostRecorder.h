// SPDX-License-Identifier: GPL-2.0-or-later
// Stands in for the host's services: records every port access, message box, sleep and USB
// write the plug-in makes, in order.
#pragma once

#include "tessaranth/plugin_abi.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tessaranth::test {

struct PortAccess {
    bool write;
    uint16_t port;
    uint16_t value;  // the value written, or the value answered to a read
    bool operator==(const PortAccess&) const = default;
};

struct MessageBoxRecord {
    std::string text;
    std::string caption;
    uint32_t style;
};

class HostRecorder {
public:
    // withUsb: install the four USB services, so the adapter counts as loaded.
    explicit HostRecorder(bool withUsb = false);
    ~HostRecorder();
    HostRecorder(const HostRecorder&) = delete;
    HostRecorder& operator=(const HostRecorder&) = delete;

    // Installs the services again (after a test replaced or removed them).
    void install();
    void clear();

    std::vector<PortAccess> accesses;
    std::vector<MessageBoxRecord> boxes;
    std::vector<uint32_t> sleeps;
    std::vector<uint8_t> usbBytes;
    std::vector<std::string> usbCalls;  // "open", "baud 230400", "write 3", "close"
    int32_t usbOpenResult = 0;
    std::function<uint16_t(uint16_t)> answerRead = [](uint16_t) -> uint16_t { return 0; };

    // Only the port writes, as (port, value) pairs.
    std::vector<PortAccess> writes() const;

private:
    TessaranthHostServices services_{};
};

} // namespace tessaranth::test
