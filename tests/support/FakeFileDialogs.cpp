// SPDX-License-Identifier: GPL-2.0-or-later
#include "FakeFileDialogs.h"

#include <algorithm>
#include <cstring>

namespace tessaranth::test {

FakeFileDialogs::FakeFileDialogs() { platform::setFileDialogHandler(&FakeFileDialogs::handle, this); }

FakeFileDialogs::~FakeFileDialogs() { platform::setFileDialogHandler(nullptr, nullptr); }

bool FakeFileDialogs::handle(void* context, const platform::FileDialogRequest& request, char* path,
                             std::size_t size) {
    auto& self = *static_cast<FakeFileDialogs*>(context);
    self.requests.push_back({request.kind, request.title ? request.title : "",
                             request.filter ? request.filter : "",
                             request.defaultExtension ? request.defaultExtension : ""});
    if (self.cancel_) return false;
    // Copies as a dialog would: as much as fits, terminated only when there is room.
    std::memcpy(path, self.answer_.c_str(), std::min(size, self.answer_.size() + 1));
    return true;
}

} // namespace tessaranth::test
