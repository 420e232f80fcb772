// SPDX-License-Identifier: GPL-2.0-or-later
// Stands in for the file dialogs: answers every request with a set path (or "cancelled") and
// records what was asked.
#pragma once

#include "platform/FileDialogs.h"

#include <string>
#include <vector>

namespace tessaranth::test {

struct FileDialogRecord {
    platform::FileDialogKind kind;
    std::string title;
    std::string filter;
    std::string defaultExtension;
};

class FakeFileDialogs {
public:
    FakeFileDialogs();  // registers itself as the handler; cancels until told otherwise
    ~FakeFileDialogs();  // restores the default handler
    FakeFileDialogs(const FakeFileDialogs&) = delete;
    FakeFileDialogs& operator=(const FakeFileDialogs&) = delete;

    void choose(std::string path) { answer_ = std::move(path), cancel_ = false; }
    void cancel() { cancel_ = true; }

    std::vector<FileDialogRecord> requests;

private:
    static bool handle(void* context, const platform::FileDialogRequest& request, char* path,
                       std::size_t size);

    std::string answer_;
    bool cancel_ = true;
};

} // namespace tessaranth::test
