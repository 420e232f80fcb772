// SPDX-License-Identifier: GPL-2.0-or-later
// A freshly loaded plug-in with a configuration form on it, shown by a view that records what
// the form asks of it.
#pragma once

#include "PluginFixture.h"

#include "config/TConfigForm.h"
#include "host/WinampPlugin.h"

#include <memory>
#include <string>
#include <vector>

namespace tessaranth::test {

class RecordingView : public FormView {
public:
    void controlChanged(int control) override { changes.push_back(control); }
    void showError(const char* text) override { errors.emplace_back(text); }
    bool choosePicture(const char* title, const char* filter, char* path, std::size_t size) override;
    void close(FormResult result) override { closes.push_back(result); }

    std::vector<int> changes;
    std::vector<std::string> errors;
    std::vector<FormResult> closes;
    std::vector<std::string> pictureRequests;  // "title|filter"
    std::string picture;                       // the answer; empty: the user cancels
};

// The request flags of the plug-in, in the order the frame cycle serves them.
struct Requests {
    bool backgroundReload, analyzerTextClear, analyzerGraphicsClear, scopeTextClear, scopeGraphicsClear, vuClear,
        playlistClear, playlistRedraw;
    bool operator==(const Requests&) const = default;
};

class FormFixture : public PluginFixture {
protected:
    void SetUp() override;

    int control(const char* name) const { return TConfigForm::named(name); }
    const ControlState& state(const char* name) const { return form->state(name); }
    // What the user does, by control name.
    void type(const char* name, const std::string& text) { form->textChanged(control(name), text); }
    void click(const char* name);  // a mouse click on a check box: toggle, then release
    void toggleByKey(const char* name) { form->checkBoxToggled(control(name), !state(name).checked); }
    void choose(const char* name, int item) { form->itemChosen(control(name), item); }
    void slide(const char* name, int position) { form->sliderMoved(control(name), position); }
    void press(const char* name) { form->buttonPressed(control(name)); }

    Requests requests() const;
    void clearRequests();

    std::unique_ptr<TConfigForm> form;
    RecordingView view;
};

} // namespace tessaranth::test
