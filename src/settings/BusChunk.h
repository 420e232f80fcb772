// SPDX-License-Identifier: GPL-2.0-or-later
// The bus settings in a configuration file. The file's first 520 bytes are the record's image,
// and a reader of any version takes those and nothing more; the bus follows them as a chunk: a
// four-byte tag "TBUS", the payload's length (32 bits, little-endian), then every bus field in
// the order of busFields(), a number as 4 bytes little-endian, a text as its whole buffer.
// Chunks of other tags are skipped, so later additions can follow the same way; a chunk shorter
// than this version's leaves the fields it lacks at their defaults.
#pragma once

#include "settings/BusSettings.h"

#include <cstddef>
#include <span>

namespace tessaranth {

inline constexpr std::size_t busChunkCapacity = 512;

// The chunk into buffer; returns its length.
std::size_t writeBusChunk(const BusSettings& bus, std::span<unsigned char, busChunkCapacity> buffer);

// The bus of the chunks that follow the record's image (defaults without a bus chunk), bounded.
BusSettings readBusChunks(std::span<const unsigned char> chunks);

} // namespace tessaranth
