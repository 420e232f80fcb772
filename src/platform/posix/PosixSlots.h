// SPDX-License-Identifier: GPL-2.0-or-later
// A fixed table of open devices: a handle is an index into it. Opening fills a free slot,
// closing empties it; a handle that names no filled slot finds nothing. No allocation.
#pragma once

#include <array>
#include <cstdint>

namespace tessaranth::platform::posix {

template <typename Slot, int32_t Count>
class PosixSlots {
public:
    // A free slot's handle, or -1 when all are taken.
    int32_t free() const {
        for (int32_t handle = 0; handle < Count; ++handle)
            if (!used_[handle]) return handle;
        return -1;
    }
    Slot& take(int32_t handle) {
        used_[handle] = true;
        slots_[handle] = Slot{};
        return slots_[handle];
    }
    Slot* find(int32_t handle) {
        return handle >= 0 && handle < Count && used_[handle] ? &slots_[handle] : nullptr;
    }
    void release(int32_t handle) {
        if (find(handle)) used_[handle] = false;
    }

private:
    std::array<Slot, Count> slots_{};
    std::array<bool, Count> used_{};
};

} // namespace tessaranth::platform::posix
