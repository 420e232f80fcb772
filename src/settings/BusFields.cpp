// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings/BusFields.h"

#include "settings/Settings.h"

#include <array>
#include <cstddef>
#include <cstring>

namespace tessaranth {

namespace {

#define TESSARANTH_NUMBER(name, kind, member, least, most)                                                     \
    BusField {                                                                                                 \
        name, FieldKind::kind, offsetof(BusSettings, member), sizeof(BusSettings::member), least, most         \
    }
#define TESSARANTH_TEXT(name, member)                                                                          \
    BusField { name, FieldKind::text, offsetof(BusSettings, member), sizeof(BusSettings::member), 0, 0 }
#define TESSARANTH_LINE(name, member)                                                                          \
    BusField { name, FieldKind::dword, offsetof(BusSettings, member), sizeof(int32_t), -1, busLimits::highestLine }

constexpr BusField fields[] = {
    TESSARANTH_TEXT("I2C device", i2cDevice),
    TESSARANTH_NUMBER("I2C address", dword, i2cAddress, busLimits::lowestI2cAddress, busLimits::highestI2cAddress),
    TESSARANTH_TEXT("SPI device", spiDevice),
    TESSARANTH_NUMBER("SPI speed", dword, spiSpeedHz, busLimits::slowestSpiHz, busLimits::fastestSpiHz),
    TESSARANTH_TEXT("D/C chip", dc.chip),
    TESSARANTH_LINE("D/C line", dc.offset),
    TESSARANTH_TEXT("Reset chip", reset.chip),
    TESSARANTH_LINE("Reset line", reset.offset),
    TESSARANTH_NUMBER("SH1106 column offset", dword, sh1106ColumnOffset, 0, busLimits::highestColumnOffset),
    TESSARANTH_NUMBER("Parallel on GPIO", flag, parallelOnGpio, 0, 1),
    TESSARANTH_TEXT("GPIO chip", parallelChip),
    TESSARANTH_LINE("GPIO D0", dataLines[0]),
    TESSARANTH_LINE("GPIO D1", dataLines[1]),
    TESSARANTH_LINE("GPIO D2", dataLines[2]),
    TESSARANTH_LINE("GPIO D3", dataLines[3]),
    TESSARANTH_LINE("GPIO D4", dataLines[4]),
    TESSARANTH_LINE("GPIO D5", dataLines[5]),
    TESSARANTH_LINE("GPIO D6", dataLines[6]),
    TESSARANTH_LINE("GPIO D7", dataLines[7]),
    TESSARANTH_LINE("GPIO pin 1", controlLines[0]),
    TESSARANTH_LINE("GPIO pin 14", controlLines[1]),
    TESSARANTH_LINE("GPIO pin 16", controlLines[2]),
    TESSARANTH_LINE("GPIO pin 17", controlLines[3]),
};

#undef TESSARANTH_NUMBER
#undef TESSARANTH_TEXT
#undef TESSARANTH_LINE

static_assert([] {
    for (const BusField& field : fields)
        if (field.kind == FieldKind::text ? field.width > busDeviceSize : field.width != 1 && field.width != 4)
            return false;
    return true;
}(), "texts fit a device buffer, numbers are bytes or 32-bit words");

template <class T>
T& at(BusSettings& bus, const BusField& field) {
    return *reinterpret_cast<T*>(reinterpret_cast<unsigned char*>(&bus) + field.offset);
}

template <class T>
const T& at(const BusSettings& bus, const BusField& field) {
    return *reinterpret_cast<const T*>(reinterpret_cast<const unsigned char*>(&bus) + field.offset);
}

void storeNumber(BusSettings& bus, const BusField& field, int64_t value) {
    if (field.width == 1)
        relaxedStore(at<uint8_t>(bus, field), static_cast<uint8_t>(value));
    else
        relaxedStore(at<uint32_t>(bus, field), static_cast<uint32_t>(value));
}

void copyField(BusSettings& destination, const BusSettings& source, const BusField& field) {
    if (field.kind != FieldKind::text) {
        storeNumber(destination, field, busValue(source, field));
        return;
    }
    char text[busDeviceSize];
    copyBusText(source, field, text);
    relaxedCopyText(&at<char>(destination, field), field.width, text);
}

bool textInBounds(const BusSettings& bus, const BusField& field) {
    const char* text = &at<char>(bus, field);
    return text[0] != '\0' && std::memchr(text, '\0', field.width) != nullptr;
}

} // namespace

std::span<const BusField> busFields() { return fields; }

const BusField* findBusField(std::string_view name) {
    for (const BusField& field : fields)
        if (name == field.name) return &field;
    return nullptr;
}

bool writtenInHex(const BusField& field) { return field.offset == offsetof(BusSettings, i2cAddress); }

int64_t busValue(const BusSettings& bus, const BusField& field) {
    if (field.width == 1) return relaxedLoad(at<uint8_t>(bus, field));
    const uint32_t word = relaxedLoad(at<uint32_t>(bus, field));
    return field.least < 0 ? int64_t{static_cast<int32_t>(word)} : int64_t{word};
}

bool setBusValue(BusSettings& bus, const BusField& field, int64_t value) {
    if (field.kind == FieldKind::text || value < field.least || value > field.most) return false;
    storeNumber(bus, field, value);
    return true;
}

void copyBusText(const BusSettings& bus, const BusField& field, char (&buffer)[busDeviceSize]) {
    relaxedCopyText(buffer, field.width, &at<char>(bus, field));
}

bool setBusText(BusSettings& bus, const BusField& field, std::string_view text) {
    if (field.kind != FieldKind::text || text.empty() || text.size() >= field.width ||
        text.find('\0') != std::string_view::npos)
        return false;
    char copy[busDeviceSize] = {};
    text.copy(copy, text.size());
    relaxedCopyText(&at<char>(bus, field), field.width, copy);
    return true;
}

void copyBus(BusSettings& destination, const BusSettings& source) {
    for (const BusField& field : fields) copyField(destination, source, field);
}

void boundBus(BusSettings& bus) {
    const BusSettings defaults;
    for (const BusField& field : fields) {
        const bool inBounds = field.kind == FieldKind::text
                                  ? textInBounds(bus, field)
                                  : busValue(bus, field) >= field.least && busValue(bus, field) <= field.most;
        if (!inBounds) copyField(bus, defaults, field);
    }
}

bool sameBus(const BusSettings& a, const BusSettings& b) {
    for (const BusField& field : fields) {
        if (field.kind != FieldKind::text) {
            if (busValue(a, field) != busValue(b, field)) return false;
            continue;
        }
        char left[busDeviceSize], right[busDeviceSize];
        copyBusText(a, field, left);
        copyBusText(b, field, right);
        if (std::strcmp(left, right) != 0) return false;
    }
    return true;
}

} // namespace tessaranth
