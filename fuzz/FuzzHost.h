// SPDX-License-Identifier: GPL-2.0-or-later
// What every fuzz target shares: a host whose port and message boxes go nowhere, a player
// window that answers from the fuzzer's bytes, and scratch files in memory. The registry of the
// fuzz builds is in memory too (MemoryRegistry.h).
#pragma once

#include "tessaranth/plugin_abi.h"

#include <cstddef>
#include <cstdint>

namespace tessaranth::fuzz {

// Reads the fuzzer's bytes front to back; past the end every read gives 0.
class ByteReader {
public:
    ByteReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }
    int32_t word() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(byte()) << (8 * i);
        return static_cast<int32_t>(value);
    }
    // Copies up to `count` bytes into destination; returns how many there were.
    std::size_t copy(void* destination, std::size_t count);
    bool empty() const { return position_ >= size_; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// Installs host services that swallow everything.
void installQuietHost();

// Writes the bytes to a file in memory of this process's own (one per name) and returns its
// path.
const char* writeScratchFile(const char* name, const uint8_t* data, std::size_t size);

// A player whose answers and title come from the fuzzer's bytes.
class FuzzPlayer {
public:
    void* window() { return &window_; }
    void refill(ByteReader& reader);

private:
    static intptr_t onMessage(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam);
    static int32_t onTitle(void* context, char* buffer, int32_t size);

    int32_t answers_[16] = {};
    char title_[300] = {};
    char fileName_[600] = {};
    bool nullFileName_ = false;
    TessaranthPlayerWindow window_{this, onMessage, onTitle};
};

// Runs the plug-in the way a host does with the player above: Init, then up to `frames` frames
// (beforeFrame and a player refill before each), then Quit. Frames past the first
// `framesWithoutBytes` run only while bytes remain.
template <class BeforeFrame>
void runPlugin(ByteReader& reader, int frames, BeforeFrame beforeFrame, int framesWithoutBytes = 0) {
    FuzzPlayer player;
    VisModule& module = *winampVisGetHeader()->lookupModule(0);
    module.playerWindow = player.window();
    player.refill(reader);
    module.initCallback(&module);
    for (int frame = 0; frame < frames && (frame < framesWithoutBytes || !reader.empty()); ++frame) {
        beforeFrame(module);
        player.refill(reader);
        module.renderCallback(&module);
    }
    module.quitCallback(&module);
}

} // namespace tessaranth::fuzz
