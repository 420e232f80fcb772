// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/TConfigForm.h"

#include "config/WiringTable.h"
#include "controllers/ControllerTable.h"
#include "controllers/PiHeader.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/BusFields.h"
#include "settings/Settings.h"
#include "settings/SettingsFields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>

namespace tessaranth {

namespace {

const ControlSpec& controlSpec(int control) { return formControls()[static_cast<std::size_t>(control)]; }

bool isChoice(ControlKind kind) {
    return kind == ControlKind::dropDown || kind == ControlKind::editableDropDown || kind == ControlKind::list ||
           kind == ControlKind::radioGroup;
}

constexpr uint16_t portAddresses[] = {0x378, 0x278, 0x3BC, 0x2BC};

constexpr std::string_view wireLabelNames[] = {"SelectWire", "CommandWire", "WriteWire", "ReadWire"};
constexpr std::string_view wiringListNames[] = {"WiringCS", "WiringA0", "WiringWR", "WiringRD"};

// The kernel's user-space buses exist on Linux boards only; a Windows build shows their controls
// disabled and says why.
#if defined(_WIN32)
constexpr bool kernelBuses = false;
#else
constexpr bool kernelBuses = true;
#endif

std::string busText(const BusSettings& bus, const BusField& field) {
    if (field.kind == FieldKind::text) {
        char text[busDeviceSize];
        copyBusText(bus, field, text);
        return text;
    }
    const int64_t value = busValue(bus, field);
    char text[24];
    if (writtenInHex(field))
        std::snprintf(text, sizeof text, "0x%02llX", static_cast<unsigned long long>(value));
    else
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
    return text;
}

// What the note says of a value that was refused.
std::string refusal(const BusField& field) {
    char text[80];
    if (field.kind == FieldKind::text)
        std::snprintf(text, sizeof text, "%s (1 to %d characters)", field.name, field.width - 1);
    else if (writtenInHex(field))
        std::snprintf(text, sizeof text, "%s (0x%02llX to 0x%02llX)", field.name, static_cast<long long>(field.least),
                      static_cast<long long>(field.most));
    else
        std::snprintf(text, sizeof text, "%s (%lld to %lld)", field.name, static_cast<long long>(field.least),
                      static_cast<long long>(field.most));
    return text;
}

const char* busName(Transport transport) {
    switch (transport) {
    case Transport::i2c:
        return "I2C";
    case Transport::spi:
        return "SPI";
    default:
        return "GPIO";
    }
}

} // namespace

TConfigForm::TConfigForm() {
    const auto controls = formControls();
    states_.resize(controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        states_[i].enabled = controls[i].enabled;
        states_[i].visible = controls[i].visible;
        if (controls[i].caption && controls[i].kind != ControlKind::edit) states_[i].text = controls[i].caption;
    }
    setText(named("VersionInfo"), gPlugin->getVersionText());
    select(named("WiringPreset"), 0);
    gSettings->loadFromRegistry();
    fill();
}

int TConfigForm::named(std::string_view name) { return formControlIndex(name); }

void TConfigForm::answerFileDialogs(platform::FileDialogHandler handler, void* context) {
    platform::setFileDialogHandler(handler, context);
}

std::optional<int32_t> TConfigForm::toInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    }
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

void TConfigForm::changed(int control) {
    if (view_) view_->controlChanged(control);
}

void TConfigForm::setText(int control, std::string text) {
    mutableState(control).text = std::move(text);
    changed(control);
}

void TConfigForm::select(int control, int item) {
    mutableState(control).selected = item;
    changed(control);
}

void TConfigForm::enable(int control, bool enabled) {
    mutableState(control).enabled = enabled;
    changed(control);
}

void TConfigForm::run(int control, int32_t value) {
    const ControlSpec& c = controlSpec(control);
    if (c.handler)
        (this->*c.handler)(value);
    else if (c.write)
        c.write(*gSettings, value);
}

void TConfigForm::fill() {
    for (int i = 0; i < static_cast<int>(states_.size()); ++i) fillControl(i);
    setText(named("BackgroundLocation"), gSettings->background());
    fillPortAddress();
    fillBus();
    applyControllerTable(gSettings->controller());
}

void TConfigForm::fillBus() {
    const BusSettings bus = gSettings->bus();
    for (const BusField& field : busFields()) {
        const int control = named(field.name);
        if (control < 0) continue;  // set by the preset, the registry or a file only
        if (controlSpec(control).kind == ControlKind::checkBox) {
            mutableState(control).checked = busValue(bus, field) != 0;
            changed(control);
        } else {
            setText(control, busText(bus, field));
        }
    }
    select(named("BusPreset"), 0);
}

// Stores the edit's value as it is typed, as long as it is within the setting's range. An edit
// left with a value out of range says the range and shows the stored value again.
void TConfigForm::storeBusText(int control, bool leaving) {
    const BusField* field = findBusField(controlSpec(control).name);
    if (!field) return;
    BusSettings bus = gSettings->bus();
    const std::string& text = state(control).text;
    bool stored = false;
    if (field->kind == FieldKind::text) {
        stored = setBusText(bus, *field, text);
    } else if (const auto value = settingNumber(text)) {
        stored = setBusValue(bus, *field, *value);
    }
    if (stored) {
        gSettings->setBus(bus);
    } else if (leaving) {
        if (view_) view_->showError(("'" + text + "' is not a valid " + refusal(*field)).c_str());
        setText(control, busText(gSettings->bus(), *field));
    }
}

void TConfigForm::fillControl(int control) {
    const ControlSpec& c = controlSpec(control);
    if (!c.read) return;
    const int32_t value = c.read(*gSettings);
    ControlState& s = mutableState(control);
    switch (c.kind) {
    case ControlKind::edit:
        textChanged(control, std::to_string(value));
        return;
    case ControlKind::checkBox:
        s.checked = value != 0;
        break;
    case ControlKind::slider:
        s.position = std::clamp<int32_t>(value, c.minimum, c.maximum);
        break;
    default:
        s.selected = value >= 0 && static_cast<std::size_t>(value) < c.items.size() ? value : -1;
        break;
    }
    changed(control);
}

void TConfigForm::fillPortAddress() {
    const int control = named("LPTAddress");
    const uint16_t address = gSettings->lptAddress();
    const auto entry = std::find(std::begin(portAddresses), std::end(portAddresses), address);
    ControlState& s = mutableState(control);
    if (entry != std::end(portAddresses)) {
        s.selected = static_cast<int>(entry - std::begin(portAddresses));
        s.text = controlSpec(control).items[static_cast<std::size_t>(s.selected)];
    } else {
        char text[8];
        std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(address));
        s.selected = -1;
        s.text = text;
    }
    changed(control);
}

void TConfigForm::applyControllerTable(uint8_t controller) {
    const ControllerRow* row = findController(controller);
    const auto& labels = row ? row->signalNames : unknownSignalNames;
    for (std::size_t line = 0; line < labels.size(); ++line) setText(named(wireLabelNames[line]), labels[line]);
    enable(named("Brightness"), row && row->brightness);
    // The block modes draw with the character generator.
    const bool blockModes = !row || row->family == ControllerFamily::textLayer;
    enable(named("BlockAnalyzer"), blockModes);
    enable(named("BlockScope"), blockModes);
    enable(named("ShowVUMeter"), blockModes);
    applyTransport();
}

// The bus group shows the controls of the chosen controller's transport; on Windows, which has
// none of these buses, they stay disabled and the group says so.
void TConfigForm::applyTransport() {
    const ControllerRow* row = findController(gSettings->controller());
    const Transport transport = row ? row->transport : Transport::parallelPort;
    const bool parallel = transport == Transport::parallelPort;
    const bool onGpio = parallel && state("Parallel on GPIO").checked;
    const bool needsBus = transport == Transport::i2c || transport == Transport::spi || onGpio;
    const bool note = !kernelBuses && needsBus;
    const auto shown = [&](BusUse use) {
        switch (use) {
        case BusUse::i2c:
        case BusUse::sh1106:
            return transport == Transport::i2c;
        case BusUse::spi:
            return transport == Transport::spi;
        case BusUse::dcLine:
        case BusUse::resetLine:
            return transport == Transport::spi && !note;
        case BusUse::gpioSwitch:
        case BusUse::gpio:
            return parallel;
        case BusUse::preset:
            return (parallel || transport == Transport::i2c) && !note;
        default:
            return false;
        }
    };
    const auto enabled = [&](BusUse use) {
        if (use == BusUse::sh1106) return row && takesColumnOffset(*row);
        if (use == BusUse::dcLine) return row && takesDcLine(*row);
        return use != BusUse::gpio || onGpio;
    };
    const auto controls = formControls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const BusUse use = controls[i].bus;
        if (use == BusUse::none) continue;
        mutableState(static_cast<int>(i)).visible = shown(use);
        enable(static_cast<int>(i), kernelBuses && enabled(use));
    }
    const int noteControl = named("BusNote");
    mutableState(noteControl).visible = note;
    setText(noteControl, note ? std::string(busName(transport)) + " is not available on Windows" : std::string());
}

void TConfigForm::textChanged(int control, std::string_view text) {
    const ControlSpec& c = controlSpec(control);
    if (c.kind == ControlKind::editableDropDown) {
        // Typed into the list's edit: the view shows it already, and nothing else follows.
        mutableState(control).text = text;
        return;
    }
    if (c.kind != ControlKind::edit) return;
    setText(control, std::string(text));
    if (c.bus != BusUse::none) storeBusText(control, false);
    if (c.kind == ControlKind::edit && (c.editRule == EditRule::emptyZero || c.editRule == EditRule::emptyOne))
        convertAndStore(control);
}

void TConfigForm::editExited(int control) {
    if (controlSpec(control).bus != BusUse::none) {
        storeBusText(control, true);
        return;
    }
    if (controlSpec(control).kind == ControlKind::edit && controlSpec(control).editRule == EditRule::onExit) convertAndStore(control);
}

void TConfigForm::convertAndStore(int control) {
    const ControlSpec& c = controlSpec(control);
    const std::string& text = state(control).text;
    if (text.empty() && c.editRule != EditRule::onExit) {
        textChanged(control, c.editRule == EditRule::emptyOne ? "1" : "0");
        return;
    }
    const std::optional<int32_t> value = toInteger(text);
    if (!value) {
        if (view_) view_->showError(("'" + text + "' is not a valid integer value").c_str());
        return;
    }
    run(control, *value);
}

void TConfigForm::checkBoxToggled(int control, bool checked) {
    if (controlSpec(control).kind != ControlKind::checkBox || !state(control).enabled) return;
    mutableState(control).checked = checked;
    if (controlSpec(control).checkRule == CheckRule::anyClick) run(control, checked);
}

void TConfigForm::checkBoxMouseUp(int control) {
    if (controlSpec(control).kind != ControlKind::checkBox || !state(control).enabled) return;
    if (controlSpec(control).checkRule == CheckRule::mouseUp) run(control, state(control).checked);
}

void TConfigForm::itemChosen(int control, int item) {
    const ControlSpec& c = controlSpec(control);
    if (!isChoice(c.kind) || !state(control).enabled) return;
    if (item < 0 || static_cast<std::size_t>(item) >= c.items.size()) return;
    ControlState& s = mutableState(control);
    s.selected = item;
    if (c.kind == ControlKind::editableDropDown) s.text = c.items[static_cast<std::size_t>(item)];
    changed(control);
    run(control, item);
}

void TConfigForm::sliderMoved(int control, int position) {
    const ControlSpec& c = controlSpec(control);
    if (c.kind != ControlKind::slider || !state(control).enabled) return;
    mutableState(control).position = std::clamp<int>(position, c.minimum, c.maximum);
    changed(control);
    run(control, state(control).position);
}

void TConfigForm::buttonPressed(int control) {
    if (controlSpec(control).kind == ControlKind::button && state(control).enabled) run(control, 0);
}

void TConfigForm::UpdateDelayChange(int32_t value) { gPlugin->setUpdateDelay(value); }

void TConfigForm::InverseGFXMouseUp(int32_t ticked) {
    gSettings->setInverse(static_cast<uint32_t>(ticked));
    gPlugin->requestBackgroundReload();
}

void TConfigForm::BrightnessChange(int32_t index) {
    gSettings->setBrightness(static_cast<uint32_t>(index));
    gPlugin->requestBrightnessChange();
}

void TConfigForm::ShowPlaylistMouseUp(int32_t ticked) {
    gSettings->setShowPlaylist(static_cast<uint32_t>(ticked));
    if (ticked)
        gPlugin->requestPlaylistRedraw();
    else
        gPlugin->requestPlaylistClear();
}

void TConfigForm::TrackNumberingMouseUp(int32_t ticked) {
    gSettings->setTrackNumbering(static_cast<uint32_t>(ticked));
    if (state("ShowPlaylist").checked) gPlugin->requestPlaylistRedraw();
}

void TConfigForm::CurrentSongPositionExit(int32_t value) {
    gSettings->setCurrentPosition(static_cast<uint32_t>(value));
}

void TConfigForm::UploadBMPClick(int32_t) {
    char path[1024] = {};
    if (!view_ || !view_->choosePicture("Select Tessaranth background", "Tessaranth background (*.bmp)|*.bmp", path,
                                        sizeof path))
        return;
    path[sizeof path - 1] = '\0';
    setText(named("BackgroundLocation"), path);
    gSettings->setBackground(path);
    gPlugin->requestBackgroundReload();
}

void TConfigForm::ShowAnalyzerMouseUp(int32_t ticked) {
    if (!ticked) {
        if (state("BlockAnalyzer").checked)
            gPlugin->requestAnalyzerTextClear();
        else
            gPlugin->requestAnalyzerGraphicsClear();
    }
    gSettings->setShowAnalyzer(static_cast<uint32_t>(ticked));
}

void TConfigForm::BlockAnalyzerMouseUp(int32_t ticked) {
    gSettings->setBlockAnalyzer(static_cast<uint32_t>(ticked));
    if (ticked)
        gPlugin->requestAnalyzerGraphicsClear();
    else
        gPlugin->requestAnalyzerTextClear();
    enable(named("FalloffValue"), !ticked);
    enable(named("PeakHoldValue"), !ticked);
}

void TConfigForm::ShowScopeMouseUp(int32_t ticked) {
    if (!ticked) {
        if (state("BlockScope").checked)
            gPlugin->requestScopeTextClear();
        else
            gPlugin->requestScopeGraphicsClear();
    }
    gSettings->setShowScope(static_cast<uint32_t>(ticked));
}

void TConfigForm::BlockScopeMouseUp(int32_t ticked) {
    gSettings->setBlockScope(static_cast<uint32_t>(ticked));
    if (ticked)
        gPlugin->requestScopeGraphicsClear();
    else
        gPlugin->requestScopeTextClear();
}

void TConfigForm::FilledScopeClick(int32_t ticked) { gSettings->setScopeType(ticked ? 1 : 0); }

void TConfigForm::ShowVUMeterMouseUp(int32_t ticked) {
    if (!ticked) gPlugin->requestVUClear();
    gSettings->setShowVUMeter(static_cast<uint32_t>(ticked));
}

void TConfigForm::LPTAddressClick(int32_t entry) {
    gSettings->setLptAddress(portAddresses[static_cast<std::size_t>(entry)]);
}

void TConfigForm::ControllerClicked(int32_t index) {
    gSettings->setController(static_cast<uint32_t>(index));
    applyControllerTable(static_cast<uint8_t>(index));
}

void TConfigForm::WiringPresetChange(int32_t entry) {
    const auto& preset = wiringPresetLines[static_cast<std::size_t>(entry)];
    if (preset[0] < 0) return;
    for (std::size_t line = 0; line < preset.size(); ++line) select(named(wiringListNames[line]), preset[line]);
    for (std::string_view list : wiringListNames) run(named(list), state(list).selected);
}

void TConfigForm::ParallelOnGpioClick(int32_t ticked) {
    BusSettings bus = gSettings->bus();
    bus.parallelOnGpio = ticked ? 1 : 0;
    gSettings->setBus(bus);
    applyTransport();
}

// The Raspberry Pi's header: its I2C and SPI devices, the D/C and reset lines and the lines
// suggested for a parallel-port controller; the address, speed and column offset stay.
void TConfigForm::BusPresetChange(int32_t entry) {
    constexpr int32_t piHeaderDefaults = 1;  // the entry after "select preset..."
    if (entry != piHeaderDefaults) return;
    BusSettings bus = gSettings->bus();
    piheader::useI2c(bus);
    piheader::useSpi(bus);
    piheader::useParallelLines(bus);
    gSettings->setBus(bus);
    fillBus();
    applyTransport();
}

void TConfigForm::GetButtonClick(int32_t) {
    gSettings->loadFromRegistry();
    fill();
}

// A save that failed has shown its box; the dialog stays open with everything set in it, for
// another try or "Save to file".
void TConfigForm::SaveButtonClick(int32_t) {
    if (!gSettings->saveToRegistry()) return;
    result_ = FormResult::ok;
    if (view_) view_->close(result_);
}

void TConfigForm::SaveToFileClick(int32_t) { gSettings->saveToFile(); }

void TConfigForm::LoadFromFileClick(int32_t) {
    gPlugin->requestAnalyzerTextClear();
    gPlugin->requestAnalyzerGraphicsClear();
    gPlugin->requestScopeTextClear();
    gPlugin->requestScopeGraphicsClear();
    gPlugin->requestPlaylistClear();
    gSettings->loadFromFile();
    gPlugin->requestBackgroundReload();
    fill();
}

void TConfigForm::CancelButtonClick(int32_t) {
    result_ = FormResult::cancel;
    if (view_) view_->close(result_);
}

} // namespace tessaranth
