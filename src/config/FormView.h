// SPDX-License-Identifier: GPL-2.0-or-later
// What the configuration form asks of the window that shows it. A view builds its widgets
// from the form's table, forwards the user's actions to the form, and redraws a control when
// the form says it changed.
#pragma once

#include <cstddef>

namespace tessaranth {

enum class FormResult { none, ok, cancel };

class FormView {
public:
    virtual ~FormView() = default;
    // The control's state (text, tick, selection, position, enabling, visibility) changed.
    virtual void controlChanged(int control) = 0;
    // The toolkit's conversion error, shown in a message box over the form.
    virtual void showError(const char* text) = 0;
    // The picture-open dialog owned by the form; true with a NUL-terminated path when the user
    // picked a file.
    virtual bool choosePicture(const char* title, const char* filter, char* path, std::size_t size) = 0;
    // Ends the modal loop.
    virtual void close(FormResult result) = 0;
};

} // namespace tessaranth
