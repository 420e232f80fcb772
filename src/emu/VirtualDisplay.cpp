// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/VirtualDisplay.h"

#include "emu/NoritakeGu800Emulator.h"
#include "emu/Sed133xEmulator.h"
#include "emu/Sh1106Emulator.h"
#include "emu/Ssd1306Emulator.h"
#include "emu/Ssd1322Emulator.h"
#include "emu/St7920Emulator.h"
#include "emu/StrobedBus.h"
#include "emu/T6963CEmulator.h"
#include "emu/Usb2LcdEmulator.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace tessaranth::emu {

namespace {

enum Controller : uint8_t {
    T6963C = 0, SED1330 = 1, SED1335 = 2, KS0108B = 3, HD61830 = 4, Noritake = 5, USB2LCD = 6,
    SSD1306 = 7, SSD1309 = 8, SH1106 = 9, ST7920 = 10, SSD1322 = 11
};

// Format 9 names no size (256x32 was never made); 256x64 came after it.
constexpr std::array<DisplaySize, 11> kFormats{{
    {128, 64}, {128, 128}, {240, 64}, {240, 128}, {256, 128}, {320, 200}, {320, 240}, {192, 64}, {128, 32}, {0, 0}, {256, 64}}};

// The panels a module comes in, its usual one first.
using PanelChoices = std::vector<std::pair<PanelColour, PanelKind>>;

PanelChoices panelChoices(uint8_t controller) {
    switch (controller) {
    case Noritake: return {{PanelColour::usual, PanelKind::Vfd}};
    case SSD1306:
    case SSD1309:
    case SH1106:
        return {{PanelColour::white, PanelKind::OledWhite}, {PanelColour::blue, PanelKind::OledBlue},
                {PanelColour::yellowBlue, PanelKind::OledYellowBlue}};
    case ST7920: return {{PanelColour::blue, PanelKind::StnBlue}, {PanelColour::yellowGreen, PanelKind::StnYellowGreen}};
    case SSD1322: return {{PanelColour::amber, PanelKind::OledYellow}, {PanelColour::white, PanelKind::OledWhite}};
    default: return {{PanelColour::green, PanelKind::LcdGreen}, {PanelColour::blue, PanelKind::LcdBlue}};
    }
}

// "white, blue or yellow-blue".
std::string choiceText(const PanelChoices& choices) {
    std::string text;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (i > 0) text += i + 1 == choices.size() ? " or " : ", ";
        text += nameOf(choices[i].first);
    }
    return text;
}

// The emulator of a bus display at a size its modules come in; null at any other size.
std::unique_ptr<BusEmulator> makeBusChip(const DisplaySetup& setup, DisplaySize size) {
    const bool is128x64 = size.width == 128 && size.height == 64;
    switch (setup.controller) {
    case SSD1306:
        if (size.width != 128 || (size.height != 64 && size.height != 32)) return nullptr;
        return std::make_unique<Ssd1306Emulator>(Ssd1306Emulator::Panel{.height = size.height, .address7 = setup.i2cAddress});
    case SSD1309:
        if (!is128x64) return nullptr;
        return std::make_unique<Ssd1306Emulator>(Ssd1306Emulator::Panel{
            .chip = Ssd1306Emulator::Chip::Ssd1309, .address7 = setup.i2cAddress, .chargePumpPowersPanel = false});
    case SH1106:
        if (!is128x64) return nullptr;
        return std::make_unique<Sh1106Emulator>(
            Sh1106Emulator::Panel{.firstColumn = setup.sh1106FirstColumn, .address7 = setup.i2cAddress});
    case ST7920:
        if (!is128x64) return nullptr;
        return std::make_unique<St7920Emulator>(St7920Emulator::Panel{});
    default:
        if (size.width != 256 || size.height != 64) return nullptr;
        return std::make_unique<Ssd1322Emulator>(Ssd1322Emulator::Panel{});
    }
}

// The sizes makeBusChip takes, as a person reads them.
const char* moduleSizes(uint8_t controller) {
    if (controller == SSD1306) return "128x64 or 128x32";
    return controller == SSD1322 ? "256x64" : "128x64";
}

const char* controllerName(uint8_t controller) {
    switch (controller) {
    case T6963C: return "T6963C";
    case SED1330: return "SED1330";
    case SED1335: return "SED1335";
    case KS0108B: return "KS0108B";
    case HD61830: return "HD61830";
    case Noritake: return "Noritake 800";
    case USB2LCD: return "USB2LCD";
    case SSD1306: return "SSD1306";
    case SSD1309: return "SSD1309";
    case SH1106: return "SH1106";
    case ST7920: return "ST7920";
    case SSD1322: return "SSD1322";
    default: return "unknown controller";
    }
}

// The cable as the settings describe it; every emulator orders its four signals the way the
// settings list them (CS, A0, WR, RD).
Wiring wiringOf(const DisplaySetup& setup) {
    return {pinOfWireChoice(setup.wiringCS), pinOfWireChoice(setup.wiringA0), pinOfWireChoice(setup.wiringWR),
            pinOfWireChoice(setup.wiringRD)};
}

} // namespace

DisplaySize VirtualDisplay::sizeOfFormat(uint8_t displayFormat) {
    return displayFormat < kFormats.size() ? kFormats[displayFormat] : DisplaySize{0, 0};
}

VirtualDisplay::~VirtualDisplay() = default;

std::unique_ptr<VirtualDisplay> VirtualDisplay::create(const DisplaySetup& setup, std::string* error) {
    const DisplaySize size = sizeOfFormat(setup.displayFormat);
    std::string reason;
    std::unique_ptr<VirtualDisplay> display(new VirtualDisplay);
    if (size.width == 0)
        reason = "display format " + std::to_string(setup.displayFormat) + " is not emulated";
    else if (display->build(setup, size, reason))
        return display;
    if (error) *error = reason;
    return nullptr;
}

template <class Chip>
void VirtualDisplay::attachStrobed(DisplaySize size) {
    auto chip = std::make_unique<Chip>(size.width, size.height);
    strobedBus_ = std::make_unique<StrobedBus>(*chip);
    device_ = strobedBus_.get();
    emulator_ = std::move(chip);
}

bool VirtualDisplay::build(const DisplaySetup& setup, DisplaySize size, std::string& error) {
    const std::string name = controllerName(setup.controller);
    const std::string sizeText = std::to_string(size.width) + "x" + std::to_string(size.height);
    switch (setup.controller) {
    case T6963C: attachStrobed<T6963CEmulator>(size); break;
    case SED1330:
    case SED1335: attachStrobed<Sed133xEmulator>(size); break;
    case Noritake: attachStrobed<NoritakeGu800Emulator>(size); break;
    case KS0108B: {
        if (size.width != 128 && size.width != 192) {
            error = "KS0108B modules are 128 or 192 pixels wide, not " + std::to_string(size.width);
            return false;
        }
        auto chip = std::make_unique<Ks0108bEmulator>(size.width, size.height, size.width / 64, setup.ks0108bSelect);
        device_ = chip.get();
        emulator_ = std::move(chip);
        break;
    }
    case USB2LCD: {
        auto chip = std::make_unique<Usb2LcdEmulator>(size.width, size.height);
        usb_ = chip.get();
        emulator_ = std::move(chip);
        if (!choosePanel(setup.controller, setup.panel, error)) return false;
        description_ = name + " " + sizeText + " on USB";
        return true;
    }
    case SSD1306:
    case SSD1309:
    case SH1106:
    case ST7920:
    case SSD1322: return buildOnBus(setup, size, error);
    default:
        error = name + " (controller " + std::to_string(setup.controller) + ") is not emulated";
        return false;
    }
    if (!choosePanel(setup.controller, setup.panel, error)) return false;
    port_ = std::make_unique<ParallelPort>(setup.lptAddress, wiringOf(setup), *device_, emulator_->problems());
    description_ = name + " " + sizeText + " on port " + hexText(setup.lptAddress);
    if (setup.parallelOnGpio) {
        std::copy(setup.dataLines.begin(), setup.dataLines.end(), pinLines_.begin());
        std::copy(setup.controlLines.begin(), setup.controlLines.end(), pinLines_.begin() + 8);
        description_ = name + " " + sizeText + " on GPIO lines";
        onGpio_ = true;
    }
    return true;
}

// The chips of today's small modules, each at the sizes its modules come in.
bool VirtualDisplay::buildOnBus(const DisplaySetup& setup, DisplaySize size, std::string& error) {
    const std::string name = controllerName(setup.controller);
    const std::string sizeText = std::to_string(size.width) + "x" + std::to_string(size.height);
    std::unique_ptr<BusEmulator> chip = makeBusChip(setup, size);
    if (!chip) {
        error = name + " modules are " + moduleSizes(setup.controller) + ", not " + sizeText;
        return false;
    }
    const bool spi = setup.controller == ST7920 || setup.controller == SSD1322;
    bus_ = spi ? Bus::spi : Bus::i2c;
    // The ST7920 has no busy flag: the platform waits its instruction time after each write.
    if (setup.controller == ST7920) spiGapMicros_ = St7920Emulator::Assumed::kBusyNanos / 1000;
    busChip_ = chip.get();
    emulator_ = std::move(chip);
    if (!choosePanel(setup.controller, setup.panel, error)) return false;
    description_ = name + " " + sizeText + " (" + std::string(nameOf(panelColour_)) + ")" +
                   (spi ? " on SPI" : " on I2C at " + hexText(setup.i2cAddress));
    return true;
}

bool VirtualDisplay::choosePanel(uint8_t controller, PanelColour colour, std::string& error) {
    const PanelChoices choices = panelChoices(controller);
    for (const auto& [named, kind] : choices)
        if (colour == named || colour == PanelColour::usual) {
            emulator_->setPanelKind(kind);
            panelColour_ = named;
            return true;
        }
    const std::string name = controllerName(controller);
    error = choices.size() == 1 ? name + " panels come in one colour only"
                                : name + " panels are " + choiceText(choices) + ", not " + std::string(nameOf(colour));
    return false;
}

void VirtualDisplay::writePort(uint16_t port, uint16_t value) {
    if (port_)
        port_->write(port, value);
    else
        emulator_->problems().report("port write " + hexText(port) + " <- " + hexText(value) + " to a display on USB");
}

uint16_t VirtualDisplay::readPort(uint16_t port) {
    if (port_) return port_->read(port);
    emulator_->problems().report("port read " + hexText(port) + " from a display on USB");
    return 0xFF;
}

int32_t VirtualDisplay::usbOpen() {
    if (usb_) return usb_->open();
    emulator_->problems().report("USB device opened for a display on the parallel port");
    return 2;  // the device library's "device not found"
}

int32_t VirtualDisplay::usbSetBaudRate(uint32_t baud) {
    if (usb_) return usb_->setBaudRate(baud);
    emulator_->problems().report("USB baud rate set for a display on the parallel port");
    return 1;
}

int32_t VirtualDisplay::usbWrite(const uint8_t* data, uint32_t length) {
    if (usb_) return usb_->write(data, length);
    emulator_->problems().report("USB write for a display on the parallel port");
    return 1;
}

void VirtualDisplay::usbClose() {
    if (usb_) return usb_->close();
    emulator_->problems().report("USB close for a display on the parallel port");
}

uint64_t VirtualDisplay::busMicros() const {
    const auto real = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_);
    return static_cast<uint64_t>(real.count()) + wireMicros_;
}

bool VirtualDisplay::onBus(Bus bus, const char* what, std::string& fault) {
    if (bus_ == bus) return true;
    fault = "the virtual display is " + description_ + ", not on " + what;
    emulator_->problems().report(fault);
    return false;
}

bool VirtualDisplay::i2cOpen(uint8_t address7, std::string& fault) {
    if (!onBus(Bus::i2c, "I2C", fault)) return false;
    i2cAddress_ = address7;
    return true;
}

void VirtualDisplay::i2cMessage(std::span<const uint8_t> bytesAfterAddress) {
    if (bus_ != Bus::i2c) return emulator_->problems().report("I2C message for a display that is not on I2C");
    busChip_->i2cMessage(i2cAddress_, bytesAfterAddress);
}

bool VirtualDisplay::spiOpen(uint32_t speedHz, std::string& fault) {
    if (!onBus(Bus::spi, "SPI", fault)) return false;
    busChip_->setSpiClockHz(speedHz);
    return true;
}

void VirtualDisplay::spiTransfer(bool dcHigh, std::span<const uint8_t> bytes) {
    if (bus_ != Bus::spi) return emulator_->problems().report("SPI transfer for a display that is not on SPI");
    busChip_->spiTransfer(dcHigh, bytes, busMicros());
    const uint64_t hz = busChip_->spiClockHz();
    wireMicros_ += (bytes.size() * 8ull * 1'000'000 + hz - 1) / hz + spiGapMicros_;
}

void VirtualDisplay::spiResetPulse(uint32_t microseconds) {
    if (bus_ != Bus::spi) return emulator_->problems().report("SPI reset for a display that is not on SPI");
    busChip_->resetPulse();
    wireMicros_ += 2ull * microseconds;
}

bool VirtualDisplay::gpioOpen(std::span<const uint32_t> lines, uint64_t initial, std::string& fault) {
    if (!onGpio_ || lines.size() > requestPins_.size()) {
        fault = onGpio_ ? "more GPIO lines asked for than a request holds" : "the virtual display is " + description_ + ", not on GPIO lines";
        emulator_->problems().report(fault);
        return false;
    }
    requestLines_ = static_cast<uint32_t>(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto pin = std::find(pinLines_.begin(), pinLines_.end(), static_cast<int32_t>(lines[i]));
        requestPins_[i] = pin == pinLines_.end() ? int8_t{-1} : static_cast<int8_t>(pin - pinLines_.begin());
        if (pin == pinLines_.end()) emulator_->problems().report("GPIO line " + std::to_string(lines[i]) + " is wired to no pin");
    }
    gpioLevels_ = initial;
    driveGpioPins();
    return true;
}

void VirtualDisplay::gpioSet(uint64_t bits, uint64_t mask) {
    if (requestLines_ == 0) return emulator_->problems().report("GPIO lines set before they were asked for");
    gpioLevels_ = (gpioLevels_ & ~mask) | (bits & mask);
    driveGpioPins();
}

// The levels of the lines as the port's registers: the data register, then the control
// register, whose pins 1, 14 and 17 the port inverts; a pin no line drives stays high.
void VirtualDisplay::driveGpioPins() {
    uint8_t data = 0, pins = 0x0F;
    for (uint32_t i = 0; i < requestLines_; ++i) {
        const int pin = requestPins_[i];
        const bool high = (gpioLevels_ >> i) & 1;
        if (pin >= 0 && pin < 8 && high) data = static_cast<uint8_t>(data | (1u << pin));
        if (pin >= 8 && !high) pins = static_cast<uint8_t>(pins & ~(1u << (pin - 8)));
    }
    constexpr uint8_t invertedPins = 0x0B;
    port_->write(port_->base(), data);
    port_->write(static_cast<uint16_t>(port_->base() + 2), static_cast<uint8_t>(pins ^ invertedPins));
}

} // namespace tessaranth::emu
