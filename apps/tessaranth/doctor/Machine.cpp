// SPDX-License-Identifier: GPL-2.0-or-later
#include "doctor/Machine.h"

#include "platform/posix/PosixPort.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tessaranth::host {

namespace {

constexpr const char* ftdiVendor = "0403";
constexpr const char* treeAccessList = "/access.facl";
constexpr const char* treeBusAnswers = "/bus.answers";
constexpr std::size_t modelLength = 128;

std::vector<std::string> split(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, separator);) fields.push_back(field);
    if (!line.empty() && line.back() == separator) fields.emplace_back();
    return fields;
}

// A number field of the user or group file; none when it is not one.
std::optional<uint32_t> idField(const std::vector<std::string>& fields) {
    uint32_t id = 0;
    if (fields.size() < 3 || fields[2].empty()) return std::nullopt;
    const std::string& text = fields[2];
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return id;
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
      directPortAccess_(std::move(directPortAccess)) {
    if (root_.empty()) return;
    const auto userId = [this](const std::string& name) { return idField(entry("/etc/passwd", 0, name)); };
    const auto groupNumber = [this](const std::string& name) -> std::optional<uint32_t> { return groupId(name); };
    described_ = readGetfacl(text(treeAccessList), {userId, groupNumber});
    answers_ = RecordedAnswers(text(treeBusAnswers));
}

Machine Machine::thisMachine() { return Machine("/", thisProcess(), askTheKernel); }

std::optional<FileFacts> Machine::file(const std::string& path) const {
    struct stat status {};
    if (::stat(under(path).c_str(), &status) != 0) return std::nullopt;
    const auto described = described_.find(path);
    if (described == described_.end())
        return FileFacts{status.st_uid, status.st_gid, status.st_mode, aclOfMode(status.st_mode)};
    FileFacts facts = described->second;
    facts.mode |= status.st_mode & S_IFMT;
    return facts;
}

// The effective ids are those with which the process would open the device.
bool Machine::may(const std::string& path, unsigned wanted) const {
    if (root_.empty()) {
        const int mode = ((wanted & readAccess) ? R_OK : 0) | ((wanted & writeAccess) ? W_OK : 0);
        return faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
    }
    const std::optional<FileFacts> facts = file(path);
    return facts && permits(*facts, identity_, wanted);
}

// Regular files only: a FIFO would wait for a writer.
std::string Machine::text(const std::string& path, std::size_t limit) const {
    struct stat status {};
    if (::stat(under(path).c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
    std::ifstream stream(under(path), std::ios::binary);
    std::string content(limit, '\0');
    stream.read(content.data(), static_cast<std::streamsize>(limit));
    content.resize(static_cast<std::size_t>(std::max<std::streamsize>(stream.gcount(), 0)));
    return content;
}

std::vector<std::string> Machine::names(const std::string& folder) const {
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(under(folder), error))
        found.push_back(item.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
}

// The kernel shows the device tree's model with its terminating NUL; older kernels only under
// /sys/firmware.
std::string Machine::deviceTreeModel() const {
    std::string model = text("/proc/device-tree/model", modelLength);
    if (model.empty()) model = text("/sys/firmware/devicetree/base/model", modelLength);
    model = model.substr(0, model.find('\0'));
    std::replace_if(model.begin(), model.end(), [](char c) { return c < ' ' || c > '~'; }, '?');
    return model;
}

bool Machine::moduleLoaded(const std::string& name) const { return std::filesystem::exists(under("/sys/module/" + name)); }

// A tree answers, as the kernel would, only through a device file the user may open.
platform::posix::I2cProbe Machine::i2cAnswer(const std::string& device, uint8_t address) const {
    if (root_.empty()) return platform::posix::probeI2c(device.c_str(), address);
    if (!mayReadAndWrite(device)) return {platform::posix::I2cAnswer::unknown, "cannot open it: Permission denied"};
    return answers_.i2c(device, address);
}

std::optional<platform::posix::GpioChipInfo> Machine::gpioChip(const std::string& node) const {
    if (root_.empty()) return platform::posix::gpioChipInfo(node.c_str());
    return mayReadAndWrite(node) ? answers_.gpioChip(node) : std::nullopt;
}

std::optional<platform::posix::GpioLineInfo> Machine::gpioLine(const std::string& node, uint32_t offset) const {
    if (root_.empty()) return platform::posix::gpioLineInfo(node.c_str(), offset);
    return mayReadAndWrite(node) ? answers_.gpioLine(node, offset) : std::nullopt;
}

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

std::string Machine::userName(uid_t user) const {
    const std::vector<std::string> fields = entry("/etc/passwd", 2, std::to_string(user));
    return fields.empty() ? std::to_string(user) : fields[0];
}

std::optional<gid_t> Machine::groupId(const std::string& name) const {
    return idField(entry("/etc/group", 0, name));
}

std::string Machine::home() const {
    const std::vector<std::string> fields = entry("/etc/passwd", 2, std::to_string(identity_.user));
    return fields.size() > 5 ? fields[5] : std::string();
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
    for (const std::string& device : names("/sys/bus/usb/devices")) {
        const std::string folder = "/sys/bus/usb/devices/" + device;
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
