// SPDX-License-Identifier: GPL-2.0-or-later
// A library loaded at run time (a port driver, the USB adapter's device library).
#pragma once

namespace tessaranth::platform {

class DynamicLibrary {
public:
    DynamicLibrary() = default;
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;
    ~DynamicLibrary() { close(); }

    bool open(const char* name);
    bool isOpen() const { return handle_ != nullptr; }
    void* symbol(const char* name) const;
    // False when the library could not be released.
    bool close();

    template <class Function>
    Function function(const char* name) const {
        return reinterpret_cast<Function>(symbol(name));
    }

private:
    void* handle_ = nullptr;
};

} // namespace tessaranth::platform
