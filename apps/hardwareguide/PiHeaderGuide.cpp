// SPDX-License-Identifier: GPL-2.0-or-later
#include "PiHeaderGuide.h"

#include "HardwareGuide.h"

#include "config/WiringTable.h"
#include "controllers/ControllerTable.h"
#include "controllers/DriverOptions.h"
#include "controllers/PiHeader.h"

#include <cstdio>

namespace tessaranth::guide {

namespace {

const BusSetup defaults{};

std::string hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

// The names of the controllers on a transport, "SSD1306, SSD1309 and SH1106".
std::vector<std::string> namesOn(Transport transport) {
    std::vector<std::string> names;
    for (const ControllerRow& row : controllerTable)
        if (row.transport == transport) names.emplace_back(row.name);
    return names;
}

// The SPI chip select of the default device, /dev/spidev0.C: "SPI0 CEC".
std::string chipSelect() {
    const std::string device = piheader::spiDevice;
    return "SPI0 CE" + device.substr(device.rfind('.') + 1);
}

HeaderWiring i2cWiring() {
    const std::string names = joined(namesOn(Transport::i2c));
    return {names + " on I2C", "the I2C OLEDs",
            {{"GND", "GND"}, {"VCC", "3.3 V"}, {"SCL", "I2C1 SCL"}, {"SDA", "I2C1 SDA"}},
            "The bus is " + std::string(defaults.i2cDevice) + " and the address " + hex(defaults.i2cAddress) +
                " unless the settings say otherwise (a module whose address jumper is moved answers at 0x3D). "
                "Enable the bus with the line dtparam=i2c_arm=on in config.txt; dtparam=i2c_arm_baudrate=400000 "
                "beside it lets the display draw four times as many frames."};
}

HeaderWiring spiWiring(const ControllerRow& row) {
    const std::string name = row.name;
    if (!takesDcLine(row))
        return {name + " on SPI", "the " + name,
                {{"GND", "GND"}, {"VCC", "5 V"}, {"PSB", "GND"}, {"E (SCLK)", "SPI0 SCLK"}, {"R/W (SID)", "SPI0 MOSI"},
                 {"RS (CS)", chipSelect()}, {"RST", "", defaults.reset.offset}},
                "PSB on GND selects the serial interface; the driver makes the chip select active high, as the " + name +
                    " wants it, and never sends faster than the " + name + " takes. A module run at 5 V wants more "
                    "than the Pi's 3.3 V for a high input: run it at 3.3 V where the module allows, or put a level "
                    "shifter (a 74HCT125) between. Enable the bus with dtparam=spi=on in config.txt."};
    return {name + " on SPI", "the " + name,
            {{"GND", "GND"}, {"VCC", "3.3 V"}, {"SCLK (D0)", "SPI0 SCLK"}, {"SDIN (D1)", "SPI0 MOSI"}, {"CS", chipSelect()},
             {"D/C", "", defaults.dc.offset}, {"RES", "", defaults.reset.offset}},
            "The module must be set for 4-wire SPI (its interface jumpers or resistors, as its manual says). The bus "
            "is " + std::string(defaults.spiDevice) + " at " + std::to_string(defaults.spiSpeedHz / 1'000'000) +
                " MHz unless the settings say otherwise; enable it with dtparam=spi=on in config.txt."};
}

HeaderWiring parallelWiring() {
    std::vector<std::string> names;
    for (const ControllerWiring& wiring : controllerWirings()) names.emplace_back(wiring.heading);
    HeaderWiring wiring{"The parallel controllers on GPIO lines", "a parallel controller", {}, ""};
    for (std::size_t bit = 0; bit < piheader::parallelData.size(); ++bit)
        wiring.connections.push_back({"D" + std::to_string(bit), "", piheader::parallelData[bit]});
    for (std::size_t line = 0; line < piheader::parallelControl.size(); ++line)
        wiring.connections.push_back({wiringLineNames[line], "", piheader::parallelControl[line]});
    wiring.connections.push_back({"GND", "GND"});
    wiring.notes = "The " + joined(names) +
                   " run on GPIO lines with the same cycles as on the parallel port: each port pin above has a line "
                   "of the header's chip, and the \"Wiring\" page puts the display's signals on the port's pins as its "
                   "tables above show. These lines are a suggestion that leaves I2C, SPI, the serial console and an "
                   "I2S sound card free; any free lines of the chip do, set in the settings. R/W goes to GND: the "
                   "plug-in never reads. The modules are 5 V parts whose inputs want more than the Pi's 3.3 V: drive "
                   "them through level shifters (a 74HCT245 for the data lines, a 74HCT125 for the control lines).";
    return wiring;
}

// "GPIO 24", "GPIO 2 (I2C1 SDA)", "GND"
std::string lineName(const piheader::HeaderPin& pin) {
    if (pin.gpio < 0) return pin.function;
    const std::string function = pin.function;
    return "GPIO " + std::to_string(pin.gpio) + (function.empty() ? "" : " (" + function + ")");
}

const piheader::HeaderPin* pinOf(const HeaderConnection& connection) {
    return connection.function.empty() ? piheader::pinOfGpio(connection.gpio) : piheader::pinWith(connection.function);
}

std::string wiringSection(const HeaderWiring& wiring) {
    std::string text = "### " + wiring.heading + "\n\n" + tableRow({"signal", "header pin", "line"}) + tableRow({"---", "---", "---"});
    for (const HeaderConnection& connection : wiring.connections) {
        const piheader::HeaderPin* pin = pinOf(connection);
        text += tableRow({connection.signal, std::to_string(pin->pin), lineName(*pin)});
    }
    return text + "\n" + wiring.notes + "\n\n";
}

// What the displays put on a header pin, "SDA of the I2C OLEDs; D3 of a parallel controller".
std::string usesOf(const piheader::HeaderPin& pin, const std::vector<HeaderWiring>& wirings) {
    std::vector<std::string> uses;
    for (const HeaderWiring& wiring : wirings)
        for (const HeaderConnection& connection : wiring.connections)
            if (pinOf(connection) == &pin) uses.push_back(connection.signal + " of " + wiring.displays);
    std::string text;
    for (const std::string& use : uses) text += (text.empty() ? "" : "; ") + use;
    return text;
}

std::string headerTable(const std::vector<HeaderWiring>& wirings) {
    std::string text = tableRow({"pin", "line", "what the displays put there"}) + tableRow({"---", "---", "---"});
    for (const piheader::HeaderPin& pin : piheader::pins)
        text += tableRow({std::to_string(pin.pin), lineName(pin), usesOf(pin, wirings)});
    return text;
}

} // namespace

std::vector<HeaderWiring> headerWirings() {
    std::vector<HeaderWiring> wirings{i2cWiring()};
    for (const ControllerRow& row : controllerTable)
        if (row.transport == Transport::spi) wirings.push_back(spiWiring(row));
    wirings.push_back(parallelWiring());
    return wirings;
}

int headerPin(const HeaderConnection& connection) {
    const piheader::HeaderPin* pin = pinOf(connection);
    return pin ? pin->pin : 0;
}

std::string piHeaderSection() {
    const std::vector<HeaderWiring> wirings = headerWirings();
    std::string text = std::string(piSectionStart) + "\n\n";
    text += "Pin 1 (3.3 V) has the square pad: the odd pins are the row nearer the middle of the board, the even "
            "pins the row along its edge, pins 1 and 2 at the end away from the USB ports. The lines are GPIO "
            "numbers (BCM), which are the line numbers of the header's GPIO chip: " + std::string(piheader::chip) +
            " on a Pi 4 and older; on a Pi 5 name the chip by its label, pinctrl-rp1, which holds on every "
            "kernel. Any GND pin will do where the tables say GND, and any 3.3 V or 5 V pin likewise.\n\n";
    for (const HeaderWiring& wiring : wirings) text += wiringSection(wiring);
    text += "### The whole header\n\n" + headerTable(wirings);
    return text + "\n" + std::string(piSectionEnd);
}

} // namespace tessaranth::guide
