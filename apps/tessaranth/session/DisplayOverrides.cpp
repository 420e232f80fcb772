// SPDX-License-Identifier: GPL-2.0-or-later
#include "session/DisplayOverrides.h"

#include "Errors.h"

#include "config/WiringTable.h"
#include "controllers/ControllerTable.h"
#include "geometry/DisplayFormat.h"
#include "settings/Settings.h"
#include "settings/SettingsFields.h"

#include <cctype>
#include <cstdio>
#include <iterator>
#include <string_view>

namespace tessaranth::host {

namespace {

std::string lowercase(std::string_view text) {
    std::string lower;
    for (const char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// The short name of a controller: its dialog name in lower case, letters and digits only, up to
// a bracket ("Noritake 800(A)" -> "noritake800", "HD61830 (N/A)" -> "hd61830").
std::string shortName(const ControllerRow& row) {
    std::string name;
    for (const char* c = row.name; *c && *c != '('; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c))) name += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    return name;
}

std::string sizeText(uint8_t format) {
    const DisplaySize size = displaySize(format);
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

const BusField& fieldNamed(std::string_view name) {
    if (const BusField* field = findBusField(name)) return *field;
    throw UsageError("no bus setting " + std::string(name));  // a name below without its field
}

std::string hexadecimal(int64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%02llX", static_cast<unsigned long long>(value));
    return text;
}

// The named setting takes the number in text, or the option is refused with the range.
void assignNumber(DisplayOverrides& o, const char* name, std::string_view text, const char* what) {
    const BusField& field = fieldNamed(name);
    const std::optional<int64_t> value = settingNumber(text);
    BusSettings scratch;
    if (!value || !setBusValue(scratch, field, *value)) {
        const std::string range = writtenInHex(field) ? hexadecimal(field.least) + " to " + hexadecimal(field.most)
                                      : std::to_string(field.least) + " to " + std::to_string(field.most);
        throw UsageError("--bus: " + std::string(what) + " is a number from " + range + ", not '" + std::string(text) + "'");
    }
    o.bus.push_back({&field, *value, {}});
}

void assignText(DisplayOverrides& o, const char* name, std::string_view text, const char* what) {
    const BusField& field = fieldNamed(name);
    BusSettings scratch;
    if (!setBusText(scratch, field, text))
        throw UsageError("--bus: " + std::string(what) + " needs 1 to " + std::to_string(field.width - 1) +
                         " characters, not '" + std::string(text) + "'");
    o.bus.push_back({&field, 0, std::string(text)});
}

// CHIP:LINE of a D/C or reset line.
void assignLine(DisplayOverrides& o, std::string_view text, const char* chipName, const char* lineName, const char* what) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) throw UsageError("--bus: " + std::string(what) + " is CHIP:LINE, not '" + std::string(text) + "'");
    assignText(o, chipName, text.substr(0, colon), what);
    assignNumber(o, lineName, text.substr(colon + 1), what);
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t next = text.find(separator, at);
        parts.push_back(text.substr(at, next - at));
        if (next == std::string_view::npos) return parts;
        at = next + 1;
    }
}

// NAME=VALUE, split.
std::pair<std::string_view, std::string_view> keyAndValue(std::string_view part, const char* form) {
    const std::size_t equals = part.find('=');
    if (equals == std::string_view::npos || equals == 0)
        throw UsageError("--bus " + std::string(form) + ": '" + std::string(part) + "' is not NAME=VALUE");
    return {part.substr(0, equals), part.substr(equals + 1)};
}

void i2cBus(DisplayOverrides& o, std::string_view rest) {
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string_view::npos) throw UsageError("--bus i2c needs DEVICE:ADDRESS, e.g. i2c:/dev/i2c-1:0x3c");
    assignText(o, "I2C device", rest.substr(0, colon), "the I2C device");
    assignNumber(o, "I2C address", rest.substr(colon + 1), "the I2C address");
}

void spiBus(DisplayOverrides& o, std::string_view rest) {
    const std::vector<std::string_view> parts = split(rest, ',');
    assignText(o, "SPI device", parts[0], "the SPI device");
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const auto [key, value] = keyAndValue(parts[i], "spi");
        if (key == "hz")
            assignNumber(o, "SPI speed", value, "hz");
        else if (key == "dc")
            assignLine(o, value, "D/C chip", "D/C line", "dc");
        else if (key == "reset")
            assignLine(o, value, "Reset chip", "Reset line", "reset");
        else
            throw UsageError("--bus spi takes hz=N, dc=CHIP:LINE and reset=CHIP:LINE, not '" + std::string(key) + "'");
    }
}

// The GPIO lines by the names of the wiring: d0..d7 for the data lines, the control lines by
// their first word in the wiring table (strobe, line, init, select) or by their pin (pin1, ...).
std::string gpioFieldName(std::string_view key) {
    const std::string name = lowercase(key);
    if (name.size() == 2 && name[0] == 'd' && name[1] >= '0' && name[1] <= '7') return "GPIO D" + name.substr(1);
    for (std::size_t i = 0; i < std::size(wiringLineNames); ++i) {
        const std::string_view line = wiringLineNames[i];
        const std::string pin = std::to_string(wiringLinePins[i]);
        if (name == lowercase(line.substr(0, line.find(' '))) || name == "pin" + pin) return "GPIO pin " + pin;
    }
    throw UsageError("--bus gpio names the lines d0..d7, strobe (pin1), line (pin14), init (pin16) and select (pin17), "
                     "not '" + std::string(key) + "'");
}

void gpioBus(DisplayOverrides& o, std::string_view rest) {
    const std::vector<std::string_view> parts = split(rest, ',');
    assignNumber(o, "Parallel on GPIO", "1", "gpio");
    assignText(o, "GPIO chip", parts[0], "the GPIO chip");
    if (parts.size() == 1) throw UsageError("--bus gpio needs the lines too: gpio:CHIP,d0=LINE,...,strobe=LINE,...");
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const auto [key, value] = keyAndValue(parts[i], "gpio");
        const std::string name = gpioFieldName(key);
        assignNumber(o, name.c_str(), value, std::string(key).c_str());
    }
}

void lptBus(DisplayOverrides& o, std::string_view rest) {
    const std::optional<int64_t> address = settingNumber(rest);
    if (!address || *address < 1 || *address > 0xFFFF)
        throw UsageError("--bus lpt needs the port's address from 0x1 to 0xFFFF, e.g. lpt:0x378, not '" + std::string(rest) + "'");
    assignNumber(o, "Parallel on GPIO", "0", "lpt");
    o.lptAddress = static_cast<uint16_t>(*address);
}

const char* busOf(Transport transport) {
    switch (transport) {
    case Transport::i2c: return "I2C (--bus i2c:DEVICE:ADDRESS)";
    case Transport::spi: return "SPI (--bus spi:DEVICE,...)";
    case Transport::parallelPort: return "the parallel port (--bus lpt:ADDRESS) or GPIO lines (--bus gpio:CHIP,...)";
    case Transport::usbAdapter: break;
    }
    return "USB, found by itself (no --bus)";
}

bool drivenOver(Transport transport, BusForm kind) {
    switch (kind) {
    case BusForm::i2c: return transport == Transport::i2c;
    case BusForm::spi: return transport == Transport::spi;
    case BusForm::gpio:
    case BusForm::lpt: return transport == Transport::parallelPort;
    }
    return false;
}

void applySize(Settings& settings, const ControllerRow& row, const DisplayOverrides& o) {
    if (!o.width) {
        if (o.controller && !row.serves(settings.displayFormat()))
            for (uint8_t format = 0; format < displayFormatCount; ++format)
                if (row.serves(format)) return settings.setDisplayFormat(format);
        return;
    }
    for (uint8_t format = 0; format < displayFormatCount; ++format) {
        const DisplaySize size = displaySize(format);
        if (row.serves(format) && size.width == *o.width && size.height == *o.height)
            return settings.setDisplayFormat(format);
    }
    throw UsageError(std::string("--size: the ") + row.name + " serves " + servedSizes(row) + ", not " +
                     std::to_string(*o.width) + "x" + std::to_string(*o.height));
}

void applyBus(Settings& settings, const ControllerRow& row, const DisplayOverrides& o) {
    if (!o.busKind) return;
    if (!drivenOver(row.transport, *o.busKind))
        throw UsageError(std::string("--bus: the ") + row.name + " is driven over " + busOf(row.transport));
    BusSettings bus = settings.bus();
    for (const BusAssignment& a : o.bus)
        if (a.field->kind == FieldKind::text)
            setBusText(bus, *a.field, a.text);
        else
            setBusValue(bus, *a.field, a.number);
    settings.setBus(bus);
    if (o.lptAddress) settings.setLptAddress(*o.lptAddress);
}

} // namespace

std::string servedSizes(const ControllerRow& row) {
    std::string list;
    for (uint8_t format = 0; format < displayFormatCount; ++format)
        if (row.serves(format)) list += (list.empty() ? "" : ", ") + sizeText(format);
    return list;
}

uint8_t controllerNamed(const std::string& name) {
    const std::string wanted = lowercase(name);
    for (const ControllerRow& row : controllerTable)
        if (wanted == shortName(row) || wanted == lowercase(row.name)) return row.value;
    throw UsageError("--controller is one of " + controllerNameList() + ", not '" + name + "'");
}

std::string controllerNameList() {
    std::string list;
    for (const ControllerRow& row : controllerTable) list += (list.empty() ? "" : ", ") + shortName(row);
    return list;
}

void setSize(DisplayOverrides& o, const std::string& text) {
    const std::size_t x = lowercase(text).find('x');
    const std::optional<int64_t> width = x == std::string::npos ? std::nullopt : settingNumber(std::string_view(text).substr(0, x));
    const std::optional<int64_t> height = x == std::string::npos ? std::nullopt : settingNumber(std::string_view(text).substr(x + 1));
    if (!width || !height || *width <= 0 || *height <= 0 || *width > 0xFFFF || *height > 0xFFFF)
        throw UsageError("--size is WIDTHxHEIGHT in pixels, such as 128x64, not '" + text + "'");
    o.width = static_cast<uint16_t>(*width);
    o.height = static_cast<uint16_t>(*height);
}

void setBus(DisplayOverrides& o, const std::string& text) {
    const std::size_t colon = text.find(':');
    const std::string kind = text.substr(0, colon);
    const std::string_view rest = colon == std::string::npos ? std::string_view() : std::string_view(text).substr(colon + 1);
    o.bus.clear();
    o.lptAddress.reset();
    if (kind == "i2c") {
        i2cBus(o, rest);
        o.busKind = BusForm::i2c;
    } else if (kind == "spi") {
        spiBus(o, rest);
        o.busKind = BusForm::spi;
    } else if (kind == "gpio") {
        gpioBus(o, rest);
        o.busKind = BusForm::gpio;
    } else if (kind == "lpt") {
        lptBus(o, rest);
        o.busKind = BusForm::lpt;
    } else {
        throw UsageError("--bus is i2c:DEVICE:ADDRESS, spi:DEVICE[,hz=N][,dc=CHIP:LINE][,reset=CHIP:LINE], "
                         "gpio:CHIP,NAME=LINE,... or lpt:ADDRESS, not '" + text + "'");
    }
}

void applyOverrides(Settings& settings, const DisplayOverrides& o) {
    if (o.controller) settings.setController(*o.controller);
    const ControllerRow* row = findController(settings.controller());
    if (!row) {
        if (o.width || o.busKind)
            throw UsageError("the stored controller (" + std::to_string(settings.controller()) +
                             ") is none that is known: name one with --controller");
        return;
    }
    applySize(settings, *row, o);
    applyBus(settings, *row, o);
}

} // namespace tessaranth::host
