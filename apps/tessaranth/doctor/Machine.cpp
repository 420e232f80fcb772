#include "doctor/Machine.h"

#include "platform/posix/PosixPort.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tessaranth::host {

namespace {

constexpr const char* ftdiVendor = "0403";

std::vector<std::string> split(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, separator);) fields.push_back(field);
    if (!line.empty() && line.back() == separator) fields.emplace_back();
    return fields;
}

Identity thisProcess() {
    Identity identity{getuid(), {getgid()}};
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0 && getgroups(count, groups.data()) == count) identity.groups.insert(identity.groups.end(), groups.begin(), groups.end());
    return identity;
}

// Granting direct access changes nothing on the port; the grant ends with the doctor.
bool askTheKernel(uint16_t base) { return platform::posix::machineDirectPortIo().grant(base); }

} // namespace

Machine::Machine(std::string root, Identity identity, DirectPortAccess directPortAccess)
    : root_(root == "/" ? std::string() : std::move(root)), identity_(std::move(identity)),
      directPortAccess_(std::move(directPortAccess)) {}

Machine Machine::thisMachine() { return Machine("/", thisProcess(), askTheKernel); }

std::optional<FileFacts> Machine::file(const std::string& path) const {
    struct stat status {};
    if (::stat(under(path).c_str(), &status) != 0) return std::nullopt;
    return FileFacts{status.st_uid, status.st_gid, status.st_mode};
}

// As the kernel decides: root may, else the owner's, the group's or the others' bits count.
bool Machine::mayReadAndWrite(const FileFacts& file) const {
    if (identity_.user == 0) return true;
    mode_t bits = S_IROTH | S_IWOTH;
    if (file.owner == identity_.user)
        bits = S_IRUSR | S_IWUSR;
    else if (hasGroup(file.group))
        bits = S_IRGRP | S_IWGRP;
    return (file.mode & bits) == bits;
}

bool Machine::moduleLoaded(const std::string& name) const { return std::filesystem::exists(under("/sys/module/" + name)); }

std::vector<std::string> Machine::entry(const std::string& file, std::size_t key, const std::string& value) const {
    std::ifstream stream(under(file));
    for (std::string line; std::getline(stream, line);) {
        std::vector<std::string> fields = split(line, ':');
        if (fields.size() > key && fields[key] == value) return fields;
    }
    return {};
}

std::string Machine::groupName(gid_t group) const {
    const std::vector<std::string> fields = entry("/etc/group", 2, std::to_string(group));
    return fields.empty() ? std::to_string(group) : fields[0];
}

std::string Machine::userName() const {
    const std::vector<std::string> fields = entry("/etc/passwd", 2, std::to_string(identity_.user));
    return fields.empty() ? std::to_string(identity_.user) : fields[0];
}

bool Machine::hasGroup(gid_t group) const {
    return std::find(identity_.groups.begin(), identity_.groups.end(), group) != identity_.groups.end();
}

bool Machine::listedIn(gid_t group) const {
    const std::vector<std::string> passwd = entry("/etc/passwd", 2, std::to_string(identity_.user));
    if (passwd.size() > 3 && passwd[3] == std::to_string(group)) return true;
    const std::vector<std::string> fields = entry("/etc/group", 2, std::to_string(group));
    if (fields.size() < 4) return false;
    const std::vector<std::string> members = split(fields[3], ',');
    return std::find(members.begin(), members.end(), userName()) != members.end();
}

std::string Machine::readLine(const std::string& path) const {
    std::ifstream stream(under(path));
    std::string line;
    std::getline(stream, line);
    return line;
}

// The kernel lists every USB device in /sys/bus/usb/devices with its IDs, bus and number.
std::vector<FtdiDevice> Machine::ftdiDevices() const {
    std::vector<FtdiDevice> devices;
    std::error_code error;
    for (const auto& device : std::filesystem::directory_iterator(under("/sys/bus/usb/devices"), error)) {
        const std::string folder = "/sys/bus/usb/devices/" + device.path().filename().string();
        if (readLine(folder + "/idVendor") != ftdiVendor) continue;
        char node[32];
        std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", std::atoi(readLine(folder + "/busnum").c_str()),
                      std::atoi(readLine(folder + "/devnum").c_str()));
        devices.push_back({readLine(folder + "/idProduct"), node});
    }
    std::sort(devices.begin(), devices.end(), [](const FtdiDevice& a, const FtdiDevice& b) { return a.node < b.node; });
    return devices;
}

} // namespace tessaranth::host
