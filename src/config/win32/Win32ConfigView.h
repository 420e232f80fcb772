// The configuration form shown with plain Win32 controls created in code: a multi-line tab
// control, and every control of the form's table as a child of the form window with the
// identifier controlId(index) (radio buttons radioItemId(index, item), the tab control
// pageControlId). The window's class is "TessaranthConfigForm", its caption the form's.
#pragma once

#include "config/FormView.h"

#include <windows.h>

#include <string>
#include <vector>

namespace tessaranth {
class TConfigForm;
}

namespace tessaranth::win32view {

class Win32ConfigView : public FormView {
public:
    explicit Win32ConfigView(TConfigForm& form);
    ~Win32ConfigView() override;
    Win32ConfigView(const Win32ConfigView&) = delete;
    Win32ConfigView& operator=(const Win32ConfigView&) = delete;

    // Shows the form at its place and runs its modal loop until it closes.
    void runModal();

    void controlChanged(int control) override;
    void showError(const char* text) override;
    bool choosePicture(const char* title, const char* filter, char* path, std::size_t size) override;
    void close(FormResult result) override;

private:
    static LRESULT CALLBACK formProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK checkBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    HWND create(int control, const RECT& page);
    void createRadioButtons(int control, const RECT& page);
    void command(int id, int code, HWND source);
    void showPage(int page);
    void refresh(int control);
    void showPendingErrors();
    std::string textOf(HWND control) const;

    TConfigForm& form_;
    HWND window_ = nullptr;
    HWND tabs_ = nullptr;
    HFONT headingFont_ = nullptr;
    std::vector<HWND> controls_;
    std::vector<std::vector<HWND>> radioButtons_;
    std::vector<std::string> pendingErrors_;
    WNDPROC checkBoxDefault_ = nullptr;
    int page_ = 0;
    bool updating_ = false;
    bool done_ = false;
};

// Converts a filter of "description|pattern" pairs into the double-NUL-terminated list of the
// common file dialogs.
std::string commonDialogFilter(const char* filter);

} // namespace tessaranth::win32view
