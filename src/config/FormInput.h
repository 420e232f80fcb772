// SPDX-License-Identifier: GPL-2.0-or-later
// The configuration form as a view reaches it: its table, the state of each control, and what
// the user does. The Linux dialog lives in a module of its own (see DialogModule.h) and knows
// the form through this alone, so it needs none of the plug-in's code.
#pragma once

#include "config/FormTable.h"
#include "config/FormView.h"
#include "platform/FileDialogs.h"

#include <span>
#include <string>
#include <string_view>

namespace tessaranth {

struct ControlState {
    std::string text;      // edits, editable lists and labels
    int selected = -1;     // lists and radio groups; -1 shows no entry
    int position = 0;      // sliders
    bool checked = false;  // check boxes
    bool enabled = true;
    bool visible = true;
};

class FormInput {
public:
    virtual ~FormInput() = default;

    virtual const FormShape& shape() const = 0;
    virtual std::span<const ControlSpec> controls() const = 0;
    virtual void attach(FormView* view) = 0;
    // Who answers the form's file-open and file-save requests while the view is open (null: nobody).
    virtual void answerFileDialogs(platform::FileDialogHandler handler, void* context) = 0;
    virtual const ControlState& state(int control) const = 0;

    // What the user did. Each call is ignored for a control of another kind.
    virtual void textChanged(int control, std::string_view text) = 0;
    virtual void editExited(int control) = 0;
    virtual void checkBoxToggled(int control, bool checked) = 0;
    virtual void checkBoxMouseUp(int control) = 0;
    virtual void itemChosen(int control, int item) = 0;
    virtual void sliderMoved(int control, int position) = 0;
    virtual void buttonPressed(int control) = 0;
};

} // namespace tessaranth
