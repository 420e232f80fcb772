// SPDX-License-Identifier: GPL-2.0-or-later
// The controls of the configuration form as data: what each one is, where it sits, what it
// shows and which settings field it edits. The views build their widgets from this table; the
// form (TConfigForm) runs the handlers. Nothing here depends on a window toolkit.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tessaranth {

class Settings;
class TConfigForm;

enum class ControlKind : uint8_t {
    label,         // static text; the form may relabel it
    heading,       // static text in a large bold font
    group,         // a frame with a caption around other controls
    memo,          // read-only text of several lines
    edit,          // one-line text edit
    checkBox,
    dropDown,      // drop-down list, choose only
    editableDropDown,
    list,          // plain list
    radioGroup,    // framed radio buttons, one per item
    slider,
    button,
};

// How an edit treats its text.
enum class EditRule : uint8_t {
    text,         // not converted
    emptyZero,    // numeric on every change, an emptied edit becomes "0"
    emptyOne,     // numeric on every change, an emptied edit becomes "1"
    onExit,       // numeric, converted when the edit loses the focus, no replacement
};

// When a check box stores its state.
enum class CheckRule : uint8_t {
    mouseUp,      // when the mouse button is released over it
    anyClick,     // on any change, the keyboard included
    never,        // no handler
};

// What a control of the hardware page's bus group sets up. The group shows the controls of the
// chosen controller's transport; its edits are named after the bus settings they edit.
enum class BusUse : uint8_t {
    none,
    i2c,
    sh1106,      // the SH1106's first column, beside the I2C address
    spi,
    dcLine,      // the D/C line, which the ST7920 does without
    resetLine,
    gpioSwitch,  // a parallel-port controller on GPIO lines instead of the LPT port
    gpio,        // the GPIO chip of those lines
    preset,      // the presets, shown for I2C and the parallel-port controllers
};

struct ControlRect {
    int16_t x = 0, y = 0, width = 0, height = 0;
};

using FieldRead = int32_t (*)(const Settings&);
using FieldWrite = void (*)(Settings&, int32_t);
using FormHandler = void (TConfigForm::*)(int32_t value);

// The page a control sits on; pageNone puts it on the form itself (the button row).
constexpr int8_t pageNone = -1;
constexpr int pageCount = 10;

struct ControlSpec {
    std::string_view name = {};     // the form's name for it; empty for decorations
    ControlKind kind = ControlKind::label;
    const char* caption = "";       // text, group caption, initial label text
    std::span<const char* const> items = {};
    int8_t page = pageNone;
    ControlRect rect = {};          // page client coordinates (form client for pageNone)
    bool enabled = true;
    bool visible = true;
    EditRule editRule = EditRule::text;
    CheckRule checkRule = CheckRule::mouseUp;
    int16_t minimum = 0, maximum = 0;  // slider range
    FieldRead read = nullptr;       // the fill's source; null: not filled
    FieldWrite write = nullptr;     // the plain store on change
    FormHandler handler = nullptr;  // the form's handler, used instead of write
    BusUse bus = BusUse::none;
};

struct FormShape {
    const char* caption;
    int16_t clientWidth, clientHeight;
    int16_t left, top;
    ControlRect pages;              // the page control in form client coordinates
    std::span<const char* const> pageTitles;
};

extern const FormShape formShape;
std::span<const ControlSpec> formControls();

// The index of a named control in formControls(); -1 when no control has that name.
int formControlIndex(std::string_view name);

// Windows control identifiers: every control gets 1000 + its index; the buttons of a radio
// group get 5000 + 8 * index + item, the page control 999, the window of page p 980 + p.
constexpr int pageControlId = 999;
constexpr int pageIdBase = 980;
constexpr int pageId(int page) { return pageIdBase + page; }
constexpr int controlIdBase = 1000;
constexpr int radioIdBase = 5000;
constexpr int controlId(int index) { return controlIdBase + index; }
constexpr int radioItemId(int index, int item) { return radioIdBase + 8 * index + item; }

} // namespace tessaranth
