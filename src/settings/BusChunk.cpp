// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings/BusChunk.h"

#include "settings/BusFields.h"

#include <cstdint>
#include <cstring>

namespace tessaranth {

namespace {

constexpr unsigned char busTag[4] = {'T', 'B', 'U', 'S'};
constexpr std::size_t headerSize = 8;

std::size_t fieldSize(const BusField& field) { return field.kind == FieldKind::text ? field.width : 4; }

void putWord(unsigned char* out, uint32_t word) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(word >> (8 * i));
}

uint32_t getWord(const unsigned char* in) {
    return uint32_t{in[0]} | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16 | uint32_t{in[3]} << 24;
}

void readField(BusSettings& bus, const BusField& field, const unsigned char* in) {
    if (field.kind == FieldKind::text) {
        const char* text = reinterpret_cast<const char*>(in);
        const void* end = std::memchr(text, '\0', field.width);
        setBusText(bus, field, std::string_view(text, end ? static_cast<const char*>(end) - text : field.width));
        return;
    }
    const uint32_t word = getWord(in);
    setBusValue(bus, field, field.least < 0 ? int64_t{static_cast<int32_t>(word)} : int64_t{word});
}

void readPayload(BusSettings& bus, std::span<const unsigned char> payload) {
    std::size_t at = 0;
    for (const BusField& field : busFields()) {
        if (payload.size() - at < fieldSize(field)) return;
        readField(bus, field, payload.data() + at);
        at += fieldSize(field);
    }
}

} // namespace

std::size_t writeBusChunk(const BusSettings& bus, std::span<unsigned char, busChunkCapacity> buffer) {
    std::memset(buffer.data(), 0, buffer.size());
    std::size_t at = headerSize;
    for (const BusField& field : busFields()) {
        if (at + fieldSize(field) > buffer.size()) break;
        if (field.kind == FieldKind::text) {
            char text[busDeviceSize];
            copyBusText(bus, field, text);
            std::memcpy(buffer.data() + at, text, std::strlen(text));
        } else {
            putWord(buffer.data() + at, static_cast<uint32_t>(busValue(bus, field)));
        }
        at += fieldSize(field);
    }
    std::memcpy(buffer.data(), busTag, sizeof busTag);
    putWord(buffer.data() + sizeof busTag, static_cast<uint32_t>(at - headerSize));
    return at;
}

BusSettings readBusChunks(std::span<const unsigned char> chunks) {
    BusSettings bus;
    while (chunks.size() >= headerSize) {
        const uint32_t length = getWord(chunks.data() + sizeof busTag);
        if (length > chunks.size() - headerSize) break;
        if (std::memcmp(chunks.data(), busTag, sizeof busTag) == 0) {
            readPayload(bus, chunks.subspan(headerSize, length));
            break;
        }
        chunks = chunks.subspan(headerSize + length);
    }
    return bus;
}

} // namespace tessaranth
