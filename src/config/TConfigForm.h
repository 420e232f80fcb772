// SPDX-License-Identifier: GPL-2.0-or-later
// The configuration form: the state of every control of the dialog and every handler. It edits
// the live settings record (gSettings) and asks the plug-in (gPlugin) for redraws. A view shows
// it and forwards what the user does; the form decides what that means.
#pragma once

#include "config/FormInput.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaranth {

class TConfigForm : public FormInput {
public:
    // Construction: version label, preset list reset, registry load, fill.
    TConfigForm();

    const FormShape& shape() const override { return formShape; }
    std::span<const ControlSpec> controls() const override { return formControls(); }
    void attach(FormView* view) override { view_ = view; }
    void answerFileDialogs(platform::FileDialogHandler handler, void* context) override;
    const ControlState& state(int control) const override { return states_.at(static_cast<std::size_t>(control)); }
    const ControlState& state(std::string_view name) const { return state(named(name)); }
    FormResult result() const { return result_; }

    // Sets every control from its field.
    void fill();

    // What the user did. Each call is ignored for a control of another kind.
    void textChanged(int control, std::string_view text) override;
    void editExited(int control) override;
    void checkBoxToggled(int control, bool checked) override;
    void checkBoxMouseUp(int control) override;
    void itemChosen(int control, int item) override;
    void sliderMoved(int control, int position) override;
    void buttonPressed(int control) override;

    // The index of a control the form knows by name.
    static int named(std::string_view name);
    // The decimal conversion of the toolkit: an optional sign and digits, within 32 bits.
    static std::optional<int32_t> toInteger(std::string_view text);

    // Handlers with more to do than storing their value.
    void UpdateDelayChange(int32_t value);
    void InverseGFXMouseUp(int32_t ticked);
    void BrightnessChange(int32_t index);
    void ShowPlaylistMouseUp(int32_t ticked);
    void TrackNumberingMouseUp(int32_t ticked);
    void CurrentSongPositionExit(int32_t value);
    void UploadBMPClick(int32_t);
    void ShowAnalyzerMouseUp(int32_t ticked);
    void BlockAnalyzerMouseUp(int32_t ticked);
    void ShowScopeMouseUp(int32_t ticked);
    void BlockScopeMouseUp(int32_t ticked);
    void FilledScopeClick(int32_t ticked);
    void ShowVUMeterMouseUp(int32_t ticked);
    void LPTAddressClick(int32_t entry);
    void ControllerClicked(int32_t index);
    void WiringPresetChange(int32_t entry);
    void ParallelOnGpioClick(int32_t ticked);
    void BusPresetChange(int32_t entry);
    void GetButtonClick(int32_t);
    void SaveButtonClick(int32_t);
    void SaveToFileClick(int32_t);
    void LoadFromFileClick(int32_t);
    void CancelButtonClick(int32_t);

private:
    ControlState& mutableState(int control) { return states_.at(static_cast<std::size_t>(control)); }
    void changed(int control);
    void setText(int control, std::string text);
    void select(int control, int item);
    void enable(int control, bool enabled);
    void run(int control, int32_t value);
    void convertAndStore(int control);
    void fillControl(int control);
    void fillPortAddress();
    void applyControllerTable(uint8_t controller);
    void fillBus();
    void storeBusText(int control, bool leaving);
    void applyTransport();

    std::vector<ControlState> states_;
    FormView* view_ = nullptr;
    FormResult result_ = FormResult::none;
};

} // namespace tessaranth
