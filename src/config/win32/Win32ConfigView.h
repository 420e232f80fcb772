// SPDX-License-Identifier: GPL-2.0-or-later
// The configuration form shown with Win32 controls created in code, as a Windows dialog: a
// multi-line tab control and, above it, one child dialog per page that owns that page's
// controls, so a page change shows and hides a page as a whole. Every control of the form's
// table gets the identifier controlId(index) (radio buttons radioItemId(index, item), the tab
// control pageControlId, the pages pageId(page)), the dialog font, and room for its caption in
// that font. The form's caption is the form's own.
#pragma once

#include "config/FormTable.h"
#include "config/FormView.h"

#include <windows.h>

#include <array>
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

    // Shows the form at its place and runs its modal loop until it closes. While it runs, the
    // other top-level windows of the thread are disabled; afterwards they are enabled again and
    // the focus goes back where it was.
    void runModal();
    // Brings the open dialog, if any, to the front.
    static void raiseOpenDialog();

    void controlChanged(int control) override;
    void showError(const char* text) override;
    bool choosePicture(const char* title, const char* filter, char* path, std::size_t size) override;
    void close(FormResult result) override;

private:
    static INT_PTR CALLBACK formProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK pageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK checkBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK memoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool handleForm(UINT message, WPARAM wParam, LPARAM lParam);
    bool handlePage(UINT message, WPARAM wParam, LPARAM lParam);
    void createFonts();
    void createPages();
    void createControls(int page, const RECT& area);
    HWND create(int control, HWND parent, const ControlRect& rect);
    void createRadioButtons(int control, HWND parent, const ControlRect& rect);
    bool changePageByKey(const MSG& message);
    void command(int id, int code, HWND source);
    void showPage(int page);
    void refresh(int control);
    void showPendingErrors();
    std::string textOf(HWND control) const;

    TConfigForm& form_;
    HWND window_ = nullptr;
    HWND tabs_ = nullptr;
    std::array<HWND, pageCount> pages_{};
    HFONT font_ = nullptr;
    HFONT headingFont_ = nullptr;
    std::vector<HWND> controls_;
    std::vector<std::vector<HWND>> radioButtons_;
    std::vector<std::string> pendingErrors_;
    WNDPROC checkBoxDefault_ = nullptr;
    WNDPROC memoDefault_ = nullptr;
    int page_ = 0;
    bool updating_ = false;
    bool done_ = false;
};

// The module (the DLL) that holds this code.
HINSTANCE moduleInstance();

// Converts a filter of "description|pattern" pairs into the double-NUL-terminated list of the
// common file dialogs.
std::string commonDialogFilter(const char* filter);

} // namespace tessaranth::win32view
