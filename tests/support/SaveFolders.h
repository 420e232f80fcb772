// SPDX-License-Identifier: GPL-2.0-or-later
// Where the save tests write: a fresh folder on a chosen kind of file system, the way the
// temporary files of a save are made, and what is left in a folder afterwards.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace tessaranth::test {

// A file system in memory (tmpfs), or one on a disk.
enum class Medium { memory, disk };

// A fresh folder on the medium, removed with what it holds.
class SaveFolder {
public:
    explicit SaveFolder(Medium medium);
    ~SaveFolder();
    SaveFolder(const SaveFolder&) = delete;
    SaveFolder& operator=(const SaveFolder&) = delete;

    // Empty when the machine has no such file system to write to.
    const std::string& path() const { return path_; }
    // Why there is no folder, or empty.
    const std::string& problem() const { return problem_; }

private:
    std::string path_;
    std::string problem_;
};

// While it lives, saves start from an unnamed temporary file where the file system has them
// (allowed), or name it from the start as they do where it has none.
class UnnamedFiles {
public:
    explicit UnnamedFiles(bool allowed);
    ~UnnamedFiles();
    UnnamedFiles(const UnnamedFiles&) = delete;
    UnnamedFiles& operator=(const UnnamedFiles&) = delete;
};

// The file's bytes; empty when there is none.
std::string readFile(const std::string& path);
// Every name in the folder but the ones given.
std::vector<std::string> otherFiles(const std::string& folder, std::initializer_list<std::string> known);

} // namespace tessaranth::test
