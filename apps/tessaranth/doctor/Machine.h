// SPDX-License-Identifier: GPL-2.0-or-later
// What the doctor reads of the machine: files under a root folder (the real one, or a tree a
// test builds), who asks, whether they may use a device file, and whether direct port access
// would be granted.
//
// On the real machine the kernel decides access (faccessat with the effective ids), so access
// control lists count as well as the mode bits: the udev rules that give a device to the user
// logged in at the machine (TAG+="uaccess") do so by an ACL entry. A tree other than the real
// root lists the owners, groups, modes and ACL entries of its files in its file `access.facl`,
// in the text `getfacl --absolute-names` prints (paths as the machine has them, names as the
// tree's /etc/passwd and /etc/group have them); the doctor then decides as the kernel would for
// the tree's user. Files the list leaves out have the owner, group and mode they have on disk.
// What the kernel answers about the buses (an I2C address, a GPIO chip and its lines) is asked
// of the kernel on the real machine, and read from the tree's recorded answers otherwise (see
// RecordedAnswers.h).
#pragma once

#include "doctor/FileAccess.h"
#include "doctor/RecordedAnswers.h"

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tessaranth::host {

// A USB device of the vendor the USB2LCD's chip comes from.
struct FtdiDevice {
    std::string product;  // four hex digits, as the kernel lists it
    std::string node;     // its device file, /dev/bus/usb/BBB/DDD
};

class Machine {
public:
    using DirectPortAccess = std::function<bool(uint16_t base)>;

    Machine(std::string root, Identity identity, DirectPortAccess directPortAccess);
    // This machine as this process sees it; access and direct port access asked of the kernel.
    static Machine thisMachine();

    const Identity& identity() const { return identity_; }
    // The file at an absolute path of the machine; none when it is missing.
    std::optional<FileFacts> file(const std::string& path) const;
    bool mayRead(const std::string& path) const { return may(path, readAccess); }
    bool mayReadAndWrite(const std::string& path) const { return may(path, readAccess | writeAccess); }
    // At most `limit` bytes of a regular file; empty when it is missing or something else.
    std::string text(const std::string& path, std::size_t limit = 1 << 20) const;
    // The names in a folder, sorted; none when it is missing.
    std::vector<std::string> names(const std::string& folder) const;
    // What the device tree calls the machine (a board's model); empty without a device tree.
    std::string deviceTreeModel() const;
    // The kernel module is loaded (or built in).
    bool moduleLoaded(const std::string& name) const;
    // Names from the group and user files, or the number when they do not list it.
    std::string groupName(gid_t group) const;
    std::string userName() const { return userName(identity_.user); }
    std::string userName(uid_t user) const;
    std::optional<gid_t> groupId(const std::string& name) const;
    // The user's home folder from the user file; empty when it does not list one.
    std::string home() const;
    // The process has the group now.
    bool hasGroup(gid_t group) const;
    // The group file lists the user as a member: joined, but not in this login yet when the
    // process does not have the group.
    bool listedIn(gid_t group) const;
    std::vector<FtdiDevice> ftdiDevices() const;
    bool directPortAccess(uint16_t base) const { return directPortAccess_(base); }
    // Whether a device acknowledges the address on the I2C device file.
    platform::posix::I2cProbe i2cAnswer(const std::string& device, uint8_t address) const;
    // The GPIO chip of a device file; none when it is no chip (or cannot be asked).
    std::optional<platform::posix::GpioChipInfo> gpioChip(const std::string& node) const;
    // A line of a GPIO chip; none when the chip has no such line (or cannot be asked).
    std::optional<platform::posix::GpioLineInfo> gpioLine(const std::string& node, uint32_t offset) const;

private:
    std::string under(const std::string& path) const { return root_ + path; }
    bool may(const std::string& path, unsigned wanted) const;
    // The fields of the line of a colon-separated file (passwd, group) whose field `key` is `value`.
    std::vector<std::string> entry(const std::string& file, std::size_t key, const std::string& value) const;
    std::string readLine(const std::string& path) const;

    std::string root_;  // empty: the real machine
    Identity identity_;
    DirectPortAccess directPortAccess_;
    std::map<std::string, FileFacts> described_;  // a tree's access.facl
    RecordedAnswers answers_;                      // a tree's bus.answers
};

} // namespace tessaranth::host
