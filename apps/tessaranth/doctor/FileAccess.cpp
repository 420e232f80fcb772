// SPDX-License-Identifier: GPL-2.0-or-later
#include "doctor/FileAccess.h"

#include <sys/stat.h>

#include <algorithm>
#include <sstream>

namespace tessaranth::host {

namespace {

bool grants(const AclEntry& entry, unsigned wanted) { return (entry.perms & wanted) == wanted; }

// A user or group entry's perms count only as far as the mask, where there is one.
bool grantsWithinMask(const std::vector<AclEntry>& acl, const AclEntry& entry, unsigned wanted) {
    const auto mask = std::find_if(acl.begin(), acl.end(), [](const AclEntry& e) { return e.tag == AclTag::mask; });
    return grants(entry, wanted) && (mask == acl.end() || grants(*mask, wanted));
}

bool inGroup(const Identity& who, uint32_t group) {
    return std::find(who.groups.begin(), who.groups.end(), group) != who.groups.end();
}

// getfacl writes a name's unusual characters as backslash and three octal digits.
std::string unescape(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool octal = text[i] == '\\' && i + 3 < text.size() &&
                           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                       text.begin() + static_cast<std::ptrdiff_t>(i) + 4,
                                       [](char c) { return c >= '0' && c <= '7'; });
        if (!octal) {
            plain += text[i];
            continue;
        }
        plain += static_cast<char>(((text[i + 1] - '0') << 6 | (text[i + 2] - '0') << 3 | (text[i + 3] - '0')) & 0xFF);
        i += 3;
    }
    return plain;
}

std::optional<uint32_t> number(const std::string& text) {
    if (text.empty() || text.size() > 10 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const unsigned long long value = std::stoull(text);
    if (value > UINT32_MAX) return std::nullopt;
    return static_cast<uint32_t>(value);
}

std::optional<uint32_t> idOf(const std::string& name, const std::function<std::optional<uint32_t>(const std::string&)>& lookup) {
    if (const std::optional<uint32_t> known = lookup(name)) return known;
    return number(name);
}

unsigned permsOf(const std::string& text) {
    unsigned perms = 0;
    for (char c : text) perms |= c == 'r' ? readAccess : c == 'w' ? writeAccess : c == 'x' ? 1u : 0u;
    return perms;
}

std::optional<AclTag> tagOf(const std::string& name, bool qualified) {
    if (name == "user" || name == "u") return qualified ? AclTag::user : AclTag::owner;
    if (name == "group" || name == "g") return qualified ? AclTag::group : AclTag::owningGroup;
    if (name == "mask" || name == "m") return AclTag::mask;
    if (name == "other" || name == "o") return AclTag::others;
    return std::nullopt;
}

// One "tag:qualifier:perms" line, a comment after it left out.
std::optional<AclEntry> entryOf(const std::string& line, const IdLookup& ids) {
    const std::string text = line.substr(0, line.find_first_of("\t#"));
    const std::size_t first = text.find(':');
    const std::size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos) return std::nullopt;
    const std::string qualifier = unescape(text.substr(first + 1, second - first - 1));
    const std::optional<AclTag> tag = tagOf(text.substr(0, first), !qualifier.empty());
    if (!tag) return std::nullopt;
    std::optional<uint32_t> id = 0;
    if (*tag == AclTag::user) id = idOf(qualifier, ids.user);
    if (*tag == AclTag::group) id = idOf(qualifier, ids.group);
    if (!id) return std::nullopt;
    return AclEntry{*tag, *id, permsOf(text.substr(second + 1))};
}

mode_t bits(unsigned perms, int shift) { return static_cast<mode_t>((perms & 7u) << shift); }

// The mode bits a list stands for: the owner's, the mask's (else the owning group's), the others'.
mode_t modeOf(const std::vector<AclEntry>& acl) {
    mode_t mode = 0;
    bool masked = false;
    for (const AclEntry& entry : acl) {
        if (entry.tag == AclTag::owner) mode |= bits(entry.perms, 6);
        if (entry.tag == AclTag::mask) masked = true;
        if (entry.tag == AclTag::others) mode |= bits(entry.perms, 0);
    }
    for (const AclEntry& entry : acl)
        if (entry.tag == (masked ? AclTag::mask : AclTag::owningGroup)) mode |= bits(entry.perms, 3);
    return mode;
}

void finish(std::map<std::string, FileFacts>& records, std::string& path, FileFacts& facts) {
    if (!path.empty()) {
        std::sort(facts.acl.begin(), facts.acl.end(), [](const AclEntry& a, const AclEntry& b) {
            return a.tag != b.tag ? a.tag < b.tag : a.id < b.id;
        });
        facts.mode = modeOf(facts.acl);
        records[path] = facts;
    }
    path.clear();
    facts = FileFacts{static_cast<uid_t>(-1), static_cast<gid_t>(-1), 0, {}};
}

} // namespace

std::vector<AclEntry> aclOfMode(mode_t mode) {
    return {{AclTag::owner, 0, (mode >> 6) & 7u}, {AclTag::owningGroup, 0, (mode >> 3) & 7u}, {AclTag::others, 0, mode & 7u}};
}

// The order of the kernel's posix_acl_permission.
bool permits(const FileFacts& file, const Identity& who, unsigned wanted) {
    if (who.user == 0) return true;
    bool groupMatched = false;
    for (const AclEntry& entry : file.acl) {
        switch (entry.tag) {
        case AclTag::owner:
            if (file.owner == who.user) return grants(entry, wanted);
            break;
        case AclTag::user:
            if (entry.id == who.user) return grantsWithinMask(file.acl, entry, wanted);
            break;
        case AclTag::owningGroup:
        case AclTag::group:
            if (inGroup(who, entry.tag == AclTag::group ? entry.id : file.group)) {
                groupMatched = true;
                if (grants(entry, wanted)) return grantsWithinMask(file.acl, entry, wanted);
            }
            break;
        case AclTag::mask: break;
        case AclTag::others: return !groupMatched && grants(entry, wanted);
        }
    }
    return false;
}

std::map<std::string, FileFacts> readGetfacl(const std::string& text, const IdLookup& ids) {
    std::map<std::string, FileFacts> records;
    std::string path;
    FileFacts facts{};
    finish(records, path, facts);
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (line.rfind("# file: ", 0) == 0) {
            finish(records, path, facts);
            path = unescape(line.substr(8));
            if (path.empty() || path.front() != '/') path = "/" + path;
        } else if (line.rfind("# owner: ", 0) == 0) {
            facts.owner = idOf(unescape(line.substr(9)), ids.user).value_or(static_cast<uid_t>(-1));
        } else if (line.rfind("# group: ", 0) == 0) {
            facts.group = idOf(unescape(line.substr(9)), ids.group).value_or(static_cast<gid_t>(-1));
        } else if (!line.empty() && line.front() != '#' && line.rfind("default:", 0) != 0) {
            if (const std::optional<AclEntry> entry = entryOf(line, ids)) facts.acl.push_back(*entry);
        }
    }
    finish(records, path, facts);
    return records;
}

} // namespace tessaranth::host
