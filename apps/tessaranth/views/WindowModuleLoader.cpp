#include "views/WindowModuleLoader.h"

#include "Errors.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace tessaranth::host {

const WindowModule& loadWindowModule(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw Failure("the window is not installed (no " + path +
                      "): install tessaranth-dialog, or use --view terminal or --view png:DIR");
    // Never unloaded, so the handle may go at once.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) throw Failure("cannot load the window: " + std::string(dlerror()));
    auto entry = reinterpret_cast<WindowModuleEntry>(dlsym(handle, windowModuleEntry));
    dlclose(handle);
    const WindowModule* module = entry ? entry() : nullptr;
    if (!module) throw Failure(path + " has no " + windowModuleEntry + " (a window module of another version?)");
    return *module;
}

} // namespace tessaranth::host
