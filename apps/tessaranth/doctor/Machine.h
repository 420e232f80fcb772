// What the doctor reads of the machine: files under a root folder (the real one, or a tree a
// test builds), who asks, and whether direct port access would be granted.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessaranth::host {

// Who the display runs as: the user and every group the process has.
struct Identity {
    uid_t user = 0;
    std::vector<gid_t> groups;
};

// The owner and permissions of a file.
struct FileFacts {
    uid_t owner;
    gid_t group;
    mode_t mode;
};

// A USB device of the vendor the USB2LCD's chip comes from.
struct FtdiDevice {
    std::string product;  // four hex digits, as the kernel lists it
    std::string node;     // its device file, /dev/bus/usb/BBB/DDD
};

class Machine {
public:
    using DirectPortAccess = std::function<bool(uint16_t base)>;

    Machine(std::string root, Identity identity, DirectPortAccess directPortAccess);
    // This machine as this process sees it; direct port access asked of the kernel.
    static Machine thisMachine();

    // The file at an absolute path of the machine; none when it is missing.
    std::optional<FileFacts> file(const std::string& path) const;
    bool mayReadAndWrite(const FileFacts& file) const;
    // The kernel module is loaded (or built in).
    bool moduleLoaded(const std::string& name) const;
    // Names from the group and user files, or the number when they do not list it.
    std::string groupName(gid_t group) const;
    std::string userName() const;
    // The process has the group now.
    bool hasGroup(gid_t group) const;
    // The group file lists the user as a member: joined, but not in this login yet when the
    // process does not have the group.
    bool listedIn(gid_t group) const;
    std::vector<FtdiDevice> ftdiDevices() const;
    bool directPortAccess(uint16_t base) const { return directPortAccess_(base); }

private:
    std::string under(const std::string& path) const { return root_ + path; }
    // The fields of the line of a colon-separated file (passwd, group) whose field `key` is `value`.
    std::vector<std::string> entry(const std::string& file, std::size_t key, const std::string& value) const;
    std::string readLine(const std::string& path) const;

    std::string root_;
    Identity identity_;
    DirectPortAccess directPortAccess_;
};

} // namespace tessaranth::host
