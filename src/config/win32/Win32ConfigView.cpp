// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/win32/Win32ConfigView.h"

#include "config/TConfigForm.h"
#include "config/win32/PagePlacement.h"
#include "platform/FileDialogs.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace tessaranth::win32view {

namespace {

constexpr UINT showErrorsMessage = WM_APP + 1;
constexpr int comboListHeight = 220;  // the dropped list of a drop-down
constexpr LONG headingHeight = -22;   // the About page's product name, in pixels

std::atomic<HWND> openDialog{nullptr};

const ControlSpec& controlSpec(int control) { return formControls()[static_cast<std::size_t>(control)]; }

// An empty dialog: the template of the form and of each page; their controls are made in code.
struct DialogTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass, title;
};

HWND createDialog(DWORD style, HWND parent, DLGPROC procedure, void* view) {
    alignas(DWORD) DialogTemplate dialog{};
    dialog.header.style = style;
    return CreateDialogIndirectParamA(moduleInstance(), &dialog.header, parent, procedure,
                                      reinterpret_cast<LPARAM>(view));
}

// The font of message boxes and dialogs as the user has set it; the stock GUI font without.
HFONT createDialogFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return CreateFontIndirectA(&metrics.lfMessageFont);
    LOGFONTA stock{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock);
    return CreateFontIndirectA(&stock);
}

// A page drawn with the tab control's own background where a visual style is active; labels
// and check boxes on it take that background too.
void useTabBackground(HWND page) {
    using EnableTexture = HRESULT(WINAPI*)(HWND, DWORD);
    static const EnableTexture enable = [] {
        HMODULE theme = LoadLibraryA("uxtheme.dll");
        return theme ? reinterpret_cast<EnableTexture>(
                           reinterpret_cast<void*>(GetProcAddress(theme, "EnableThemeDialogTexture")))
                     : nullptr;
    }();
    constexpr DWORD enableTabTexture = 0x2 | 0x4;  // ETDT_ENABLE | ETDT_USETABTEXTURE
    if (enable) enable(page, enableTabTexture);
}

// The top-level windows of the thread that the dialog disables while it is open.
struct ThreadWindows {
    HWND dialog;
    std::vector<HWND> disabled;
};

BOOL CALLBACK disableWindow(HWND window, LPARAM list) {
    auto* windows = reinterpret_cast<ThreadWindows*>(list);
    char windowClass[8] = {};
    GetClassNameA(window, windowClass, sizeof windowClass);
    if (window != windows->dialog && IsWindowEnabled(window) && std::strcmp(windowClass, "IME") != 0) {
        EnableWindow(window, FALSE);
        windows->disabled.push_back(window);
    }
    return TRUE;
}

struct WindowKind {
    const char* windowClass;
    DWORD style;
    DWORD extendedStyle;
};

WindowKind windowKind(const ControlSpec& c) {
    switch (c.kind) {
    case ControlKind::label:
    case ControlKind::heading:
        return {"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::group:
    case ControlKind::radioGroup:
        return {"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, 0};
    case ControlKind::memo:
        return {"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::edit:
        return {"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::checkBox:
        return {"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ControlKind::dropDown:
        return {"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::editableDropDown:
        return {"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::list:
        return {"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::slider:
        return {TRACKBAR_CLASSA, TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP, 0};
    case ControlKind::button:
        return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    }
    return {"STATIC", 0, 0};
}

// One common file dialog. The only option hides the read-only box: the open dialog accepts a
// name that does not exist, the save dialog replaces a file without asking.
bool runFileDialog(HWND owner, bool save, const char* title, const char* filter, const char* extension, char* path,
                   std::size_t size) {
    if (!path || size == 0) return false;
    const std::string filters = commonDialogFilter(filter);
    if (extension && *extension == '.') ++extension;
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = static_cast<DWORD>(std::min<std::size_t>(size, 0x7FFFFFFF));
    dialog.lpstrTitle = title;
    dialog.lpstrDefExt = extension && *extension ? extension : nullptr;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    const bool chosen = (save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog)) != 0;
    const bool terminated = std::memchr(path, '\0', size) != nullptr;
    return chosen && terminated && path[0] != '\0';
}

// The configuration file dialogs have no owner.
bool showFileDialog(void*, const platform::FileDialogRequest& request, char* path, std::size_t size) {
    return runFileDialog(nullptr, request.kind == platform::FileDialogKind::save, request.title, request.filter,
                         request.defaultExtension, path, size);
}


} // namespace

HINSTANCE moduleInstance() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&moduleInstance), &module);
    return module;
}

std::string commonDialogFilter(const char* filter) {
    std::string list = filter ? filter : "";
    std::replace(list.begin(), list.end(), '|', '\0');
    list.append(2, '\0');
    return list;
}

Win32ConfigView::Win32ConfigView(TConfigForm& form) : form_(form) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
    window_ = createDialog(style, GetActiveWindow(), &formProc, this);
    if (!window_) return;
    SetWindowTextA(window_, formShape.caption);
    RECT frame{0, 0, formShape.clientWidth, formShape.clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, static_cast<DWORD>(GetWindowLongA(window_, GWL_EXSTYLE)));
    SetWindowPos(window_, nullptr, formShape.left, formShape.top, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    createFonts();
    controls_.assign(formControls().size(), nullptr);
    radioButtons_.assign(formControls().size(), {});
    createPages();
    form_.attach(this);
    platform::setFileDialogHandler(&showFileDialog, nullptr);
}

Win32ConfigView::~Win32ConfigView() {
    platform::setFileDialogHandler(nullptr, nullptr);
    form_.attach(nullptr);
    if (window_) {
        SetWindowLongPtrA(window_, DWLP_USER, 0);
        for (HWND page : pages_) SetWindowLongPtrA(page, DWLP_USER, 0);
        DestroyWindow(window_);
    }
    if (headingFont_) DeleteObject(headingFont_);
    if (font_) DeleteObject(font_);
}

void Win32ConfigView::createFonts() {
    font_ = createDialogFont();
    LOGFONTA heading{};
    GetObjectA(font_, sizeof heading, &heading);
    heading.lfHeight = headingHeight;
    heading.lfWeight = FW_BOLD;
    headingFont_ = CreateFontIndirectA(&heading);
}

// One child dialog per page over the tab control's display area, then the button row, then
// the tab control itself: created in that order, the pages lie on top and the tab control at
// the bottom, and Tab walks a page, the buttons and the tabs in that order.
void Win32ConfigView::createPages() {
    const ControlRect& p = formShape.pages;
    tabs_ = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_CLIPSIBLINGS | TCS_MULTILINE | WS_TABSTOP, p.x, p.y,
                            p.width, p.height, window_, reinterpret_cast<HMENU>(pageControlId), moduleInstance(),
                            nullptr);
    SendMessageA(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    for (int i = 0; i < pageCount; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(formShape.pageTitles[static_cast<std::size_t>(i)]);
        SendMessageA(tabs_, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    RECT area{0, 0, p.width, p.height};
    SendMessageA(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    OffsetRect(&area, p.x, p.y);
    for (int page = 0; page < pageCount; ++page) {
        HWND window = createDialog(WS_CHILD | WS_CLIPSIBLINGS | DS_CONTROL, window_, &pageProc, this);
        pages_[static_cast<std::size_t>(page)] = window;
        SetWindowLongPtrA(window, GWLP_ID, pageId(page));
        SetWindowPos(window, HWND_BOTTOM, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOACTIVATE);
        useTabBackground(window);
        createControls(page, area);
    }
    createControls(pageNone, RECT{0, 0, formShape.clientWidth, formShape.clientHeight});
    SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(tabs_, SW_SHOWNA);
    for (int i = 0; i < static_cast<int>(controls_.size()); ++i) refresh(i);
    showPage(0);
}

void Win32ConfigView::createControls(int page, const RECT& area) {
    HWND parent = page == pageNone ? window_ : pages_[static_cast<std::size_t>(page)];
    for (const Placed& placed : placeControls(page, area.right - area.left, font_, headingFont_)) {
        const ControlSpec& c = controlSpec(placed.control);
        HWND control = create(placed.control, parent, placed.rect);
        controls_[static_cast<std::size_t>(placed.control)] = control;
        SendMessageA(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(c.kind == ControlKind::heading ? headingFont_ : font_), FALSE);
        if (c.kind == ControlKind::radioGroup) createRadioButtons(placed.control, parent, placed.rect);
    }
}

HWND Win32ConfigView::create(int control, HWND parent, const ControlRect& rect) {
    const ControlSpec& c = controlSpec(control);
    const WindowKind kind = windowKind(c);
    const bool combo = c.kind == ControlKind::dropDown || c.kind == ControlKind::editableDropDown;
    const int height = combo ? rect.height + comboListHeight : rect.height;
    const char* text = c.kind == ControlKind::edit ? "" : c.caption;
    // Every control starts a group of its own, so the arrow keys stay within radio buttons.
    HWND window = CreateWindowExA(kind.extendedStyle | WS_EX_NOPARENTNOTIFY, kind.windowClass, text,
                                  WS_CHILD | WS_GROUP | kind.style, rect.x, rect.y, rect.width, height, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(control))), moduleInstance(),
                                  nullptr);
    if (combo || c.kind == ControlKind::list) {
        const UINT add = c.kind == ControlKind::list ? LB_ADDSTRING : CB_ADDSTRING;
        for (const char* item : c.items) SendMessageA(window, add, 0, reinterpret_cast<LPARAM>(item));
    }
    if (c.kind == ControlKind::slider) {
        SendMessageA(window, TBM_SETRANGE, FALSE, MAKELPARAM(c.minimum, c.maximum));
        SendMessageA(window, TBM_SETPAGESIZE, 0, 1);
    }
    if (c.kind == ControlKind::checkBox) {
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        checkBoxDefault_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&checkBoxProc)));
    }
    if (c.kind == ControlKind::memo) {
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        memoDefault_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&memoProc)));
    }
    return window;
}

void Win32ConfigView::createRadioButtons(int control, HWND parent, const ControlRect& rect) {
    const ControlSpec& c = controlSpec(control);
    for (std::size_t item = 0; item < c.items.size(); ++item) {
        const DWORD group = item == 0 ? WS_GROUP | WS_TABSTOP : 0;
        HWND radio = CreateWindowExA(
            WS_EX_NOPARENTNOTIFY, "BUTTON", c.items[item], WS_CHILD | BS_AUTORADIOBUTTON | group, rect.x + 10,
            rect.y + 18 + 20 * static_cast<int>(item), rect.width - 20, 18, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(radioItemId(control, static_cast<int>(item)))),
            moduleInstance(), nullptr);
        SendMessageA(radio, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        // The frame was created before its buttons; it goes beneath them.
        SetWindowPos(controls_[static_cast<std::size_t>(control)], HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        radioButtons_[static_cast<std::size_t>(control)].push_back(radio);
    }
}

void Win32ConfigView::runModal() {
    if (!window_) return;
    const HWND focus = GetFocus();
    ThreadWindows others{window_, {}};
    EnumThreadWindows(GetCurrentThreadId(), &disableWindow, reinterpret_cast<LPARAM>(&others));
    openDialog = window_;
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(tabs_);
    MSG message;
    while (!done_) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got < 0) break;
        if (changePageByKey(message) || IsDialogMessageA(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    openDialog = nullptr;
    // Enabled again before the dialog goes, so that activation returns to the player.
    for (auto window = others.disabled.rbegin(); window != others.disabled.rend(); ++window) EnableWindow(*window, TRUE);
    ShowWindow(window_, SW_HIDE);
    if (focus && IsWindow(focus)) SetFocus(focus);
}

void Win32ConfigView::raiseOpenDialog() {
    HWND window = openDialog;
    if (!window) return;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

// Ctrl+Tab and Ctrl+Page Down show the next page, Ctrl+Shift+Tab and Ctrl+Page Up the one
// before, wherever the focus is in the dialog.
bool Win32ConfigView::changePageByKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || !(GetKeyState(VK_CONTROL) & 0x8000)) return false;
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    int step = 0;
    if (message.wParam == VK_TAB) step = shift ? -1 : 1;
    if (message.wParam == VK_NEXT) step = 1;
    if (message.wParam == VK_PRIOR) step = -1;
    if (step == 0) return false;
    const int page = (page_ + step + pageCount) % pageCount;
    SendMessageA(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    showPage(page);
    return true;
}

INT_PTR CALLBACK Win32ConfigView::formProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        return FALSE;
    }
    auto* view = reinterpret_cast<Win32ConfigView*>(GetWindowLongPtrA(window, DWLP_USER));
    return view && view->handleForm(message, wParam, lParam);
}

INT_PTR CALLBACK Win32ConfigView::pageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        return FALSE;
    }
    auto* view = reinterpret_cast<Win32ConfigView*>(GetWindowLongPtrA(window, DWLP_USER));
    return view && view->handlePage(message, wParam, lParam);
}

// Check boxes report the release of the mouse button after the click took effect.
LRESULT CALLBACK Win32ConfigView::checkBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<Win32ConfigView*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    const LRESULT result = CallWindowProcA(view->checkBoxDefault_, window, message, wParam, lParam);
    if (message == WM_LBUTTONUP) {
        RECT area;
        GetClientRect(window, &area);
        const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (PtInRect(&area, at)) view->form_.checkBoxMouseUp(GetDlgCtrlID(window) - controlIdBase);
    }
    return result;
}

// The read-only text leaves Tab and Esc to the dialog, so the focus never gets caught in it.
LRESULT CALLBACK Win32ConfigView::memoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<Win32ConfigView*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    const LRESULT result = CallWindowProcA(view->memoDefault_, window, message, wParam, lParam);
    return message == WM_GETDLGCODE ? result & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB) : result;
}

// The form itself: the tabs, the button row, Esc and the close box (both as Cancel).
bool Win32ConfigView::handleForm(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL)
            form_.buttonPressed(TConfigForm::named("CancelButton"));
        else
            command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return true;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE)
            showPage(static_cast<int>(SendMessageA(tabs_, TCM_GETCURSEL, 0, 0)));
        return true;
    }
    case showErrorsMessage:
        showPendingErrors();
        return true;
    default:
        return false;
    }
}

// A page: the notifications of its controls.
bool Win32ConfigView::handlePage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return true;
    case WM_HSCROLL:
        if (lParam && !updating_) {
            const int control = GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) - controlIdBase;
            form_.sliderMoved(control, static_cast<int>(SendMessageA(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0)));
        }
        return true;
    default:
        return false;
    }
}

void Win32ConfigView::command(int id, int code, HWND source) {
    if (updating_) return;
    if (id >= radioIdBase) {
        if (code == BN_CLICKED) form_.itemChosen((id - radioIdBase) / 8, (id - radioIdBase) % 8);
        return;
    }
    const int control = id - controlIdBase;
    if (control < 0 || control >= static_cast<int>(controls_.size())) return;
    switch (controlSpec(control).kind) {
    case ControlKind::edit:
        if (code == EN_CHANGE) form_.textChanged(control, textOf(source));
        if (code == EN_KILLFOCUS) form_.editExited(control);
        break;
    case ControlKind::checkBox:
        if (code == BN_CLICKED) form_.checkBoxToggled(control, SendMessageA(source, BM_GETCHECK, 0, 0) == BST_CHECKED);
        break;
    case ControlKind::button:
        if (code == BN_CLICKED) form_.buttonPressed(control);
        break;
    case ControlKind::dropDown:
    case ControlKind::editableDropDown:
        if (code == CBN_SELCHANGE) form_.itemChosen(control, static_cast<int>(SendMessageA(source, CB_GETCURSEL, 0, 0)));
        if (code == CBN_EDITCHANGE) form_.textChanged(control, textOf(source));
        break;
    case ControlKind::list:
        if (code == LBN_SELCHANGE) form_.itemChosen(control, static_cast<int>(SendMessageA(source, LB_GETCURSEL, 0, 0)));
        break;
    default:
        break;
    }
}

// The new page is shown whole before the old one goes, and the focus leaves a hidden page.
void Win32ConfigView::showPage(int page) {
    HWND old = pages_[static_cast<std::size_t>(page_)];
    HWND now = pages_[static_cast<std::size_t>(page)];
    page_ = page;
    ShowWindow(now, SW_SHOWNA);
    if (old == now) return;
    const HWND focus = GetFocus();
    if (focus && IsChild(old, focus)) SetFocus(tabs_);
    ShowWindow(old, SW_HIDE);
}

std::string Win32ConfigView::textOf(HWND control) const {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Win32ConfigView::controlChanged(int control) { refresh(control); }

void Win32ConfigView::refresh(int control) {
    HWND window = controls_[static_cast<std::size_t>(control)];
    if (!window) return;
    const ControlSpec& c = controlSpec(control);
    const ControlState& s = form_.state(control);
    const bool wasUpdating = updating_;
    updating_ = true;
    EnableWindow(window, s.enabled);
    ShowWindow(window, s.visible ? SW_SHOWNA : SW_HIDE);
    switch (c.kind) {
    case ControlKind::label:
    case ControlKind::edit:
        if (textOf(window) != s.text) SetWindowTextA(window, s.text.c_str());
        break;
    case ControlKind::checkBox:
        SendMessageA(window, BM_SETCHECK, s.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case ControlKind::slider:
        SendMessageA(window, TBM_SETPOS, TRUE, s.position);
        break;
    case ControlKind::list:
        SendMessageA(window, LB_SETCURSEL, static_cast<WPARAM>(s.selected), 0);
        break;
    case ControlKind::dropDown:
    case ControlKind::editableDropDown:
        if (SendMessageA(window, CB_GETCURSEL, 0, 0) != s.selected)
            SendMessageA(window, CB_SETCURSEL, static_cast<WPARAM>(s.selected), 0);
        if (c.kind == ControlKind::editableDropDown && textOf(window) != s.text) SetWindowTextA(window, s.text.c_str());
        break;
    case ControlKind::radioGroup: {
        const auto& radios = radioButtons_[static_cast<std::size_t>(control)];
        for (std::size_t item = 0; item < radios.size(); ++item) {
            SendMessageA(radios[item], BM_SETCHECK, static_cast<int>(item) == s.selected ? BST_CHECKED : BST_UNCHECKED, 0);
            EnableWindow(radios[item], s.enabled);
            ShowWindow(radios[item], s.visible ? SW_SHOWNA : SW_HIDE);
        }
        break;
    }
    default:
        break;
    }
    updating_ = wasUpdating;
}

void Win32ConfigView::showError(const char* text) {
    pendingErrors_.emplace_back(text);
    PostMessageA(window_, showErrorsMessage, 0, 0);
}

void Win32ConfigView::showPendingErrors() {
    std::vector<std::string> errors;
    errors.swap(pendingErrors_);
    for (const std::string& error : errors) MessageBoxA(window_, error.c_str(), "Tessaranth", MB_OK | MB_ICONERROR);
}

bool Win32ConfigView::choosePicture(const char* title, const char* filter, char* path, std::size_t size) {
    if (path && size > 0) path[0] = '\0';
    return runFileDialog(window_, false, title, filter, nullptr, path, size);
}

void Win32ConfigView::close(FormResult) { done_ = true; }

} // namespace tessaranth::win32view
