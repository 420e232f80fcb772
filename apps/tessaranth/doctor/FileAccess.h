// SPDX-License-Identifier: GPL-2.0-or-later
// Who may read and write a file, decided as the kernel decides it: by the entries of the file's
// access control list (the three entries of the mode bits when it has no others), in the
// kernel's order. And the text in which `getfacl` prints such lists, which is how a tree of the
// doctor's tests describes its device files: a test can give its files neither other owners
// nor other groups without root, and the kernel would decide for the test's user rather than
// for the tree's.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tessaranth::host {

// Who the display runs as: the user and every group the process has.
struct Identity {
    uid_t user = 0;
    std::vector<gid_t> groups;
};

// The kinds of entry, in the kernel's order.
enum class AclTag { owner, user, owningGroup, group, mask, others };

struct AclEntry {
    AclTag tag;
    uint32_t id;     // user and group: the one it names
    unsigned perms;  // read 4, write 2, execute 1
};

constexpr unsigned readAccess = 4;
constexpr unsigned writeAccess = 2;

// The owner and permissions of a file.
struct FileFacts {
    uid_t owner;
    gid_t group;
    mode_t mode;
    std::vector<AclEntry> acl;  // ordered by tag, then id
};

// The list of a file without extended entries: its mode bits.
std::vector<AclEntry> aclOfMode(mode_t mode);

// The kernel's decision whether `who` gets `wanted` (readAccess | writeAccess): root does; the
// owner by the owner's entry; a user named by an entry by it, within the mask; a member of the
// owning group or of a named group by one of the group entries that grants it all, within the
// mask; and only when no group entry matched, everyone else by the others' entry.
bool permits(const FileFacts& file, const Identity& who, unsigned wanted);

// Turns the names of users and groups into their numbers; none for a name it does not know.
struct IdLookup {
    std::function<std::optional<uint32_t>(const std::string&)> user;
    std::function<std::optional<uint32_t>(const std::string&)> group;
};

// The records of `getfacl --absolute-names FILE...` by absolute path: "# file:", "# owner:" and
// "# group:" lines, then one "tag:qualifier:rwx" line an entry, by name or number. Default
// entries of folders and the comments after an entry are left out, and so are entries naming
// someone `ids` does not know, since they apply to no one there. The mode has no type bits.
std::map<std::string, FileFacts> readGetfacl(const std::string& text, const IdLookup& ids);

} // namespace tessaranth::host
