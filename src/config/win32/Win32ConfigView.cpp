#include "config/win32/Win32ConfigView.h"

#include "config/TConfigForm.h"
#include "platform/FileDialogs.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstring>

namespace tessaranth::win32view {

namespace {

constexpr char formClass[] = "TessaranthConfigForm";
constexpr UINT showErrorsMessage = WM_APP + 1;
constexpr int comboListHeight = 220;  // the dropped list of a drop-down

const ControlSpec& controlSpec(int control) { return formControls()[static_cast<std::size_t>(control)]; }

HINSTANCE moduleInstance() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&moduleInstance), &module);
    return module;
}

void registerFormClass() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExA(moduleInstance(), formClass, &windowClass)) return;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = moduleInstance();
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = formClass;
    RegisterClassExA(&windowClass);
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
        return {"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE};
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

std::string commonDialogFilter(const char* filter) {
    std::string list = filter ? filter : "";
    std::replace(list.begin(), list.end(), '|', '\0');
    list.append(2, '\0');
    return list;
}

Win32ConfigView::Win32ConfigView(TConfigForm& form) : form_(form) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    registerFormClass();
    RECT frame{0, 0, formSpec.clientWidth, formSpec.clientHeight};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
    const DWORD extendedStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
    window_ = CreateWindowExA(extendedStyle, formClass, formSpec.caption, style, formSpec.left, formSpec.top,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, moduleInstance(),
                              nullptr);
    if (!window_) return;
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&formProc));
    createControls();
    form_.attach(this);
    platform::setFileDialogHandler(&showFileDialog, nullptr);
}

Win32ConfigView::~Win32ConfigView() {
    platform::setFileDialogHandler(nullptr, nullptr);
    form_.attach(nullptr);
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (headingFont_) DeleteObject(headingFont_);
}

void Win32ConfigView::createControls() {
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const ControlRect& p = formSpec.pages;
    tabs_ = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_MULTILINE | WS_TABSTOP,
                            p.x, p.y, p.width, p.height, window_, reinterpret_cast<HMENU>(pageControlId),
                            moduleInstance(), nullptr);
    SendMessageA(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (int i = 0; i < pageCount; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(formSpec.pageTitles[static_cast<std::size_t>(i)]);
        SendMessageA(tabs_, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    RECT page{0, 0, p.width, p.height};
    SendMessageA(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    OffsetRect(&page, p.x, p.y);

    LOGFONTA heading{};
    GetObjectA(font, sizeof heading, &heading);
    heading.lfHeight = -22;
    heading.lfWeight = FW_BOLD;
    headingFont_ = CreateFontIndirectA(&heading);

    const int count = static_cast<int>(formControls().size());
    controls_.assign(static_cast<std::size_t>(count), nullptr);
    radioButtons_.assign(static_cast<std::size_t>(count), {});
    for (int i = 0; i < count; ++i) {
        HWND control = create(i, page);
        controls_[static_cast<std::size_t>(i)] = control;
        SendMessageA(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(controlSpec(i).kind == ControlKind::heading ? headingFont_ : font), FALSE);
        if (controlSpec(i).kind == ControlKind::radioGroup) createRadioButtons(i, page);
        for (HWND radio : radioButtons_[static_cast<std::size_t>(i)])
            SendMessageA(radio, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    // Frames lie behind the controls they hold, the tab control behind everything.
    for (int i = 0; i < count; ++i)
        if (controlSpec(i).kind == ControlKind::group || controlSpec(i).kind == ControlKind::radioGroup)
            SetWindowPos(controls_[static_cast<std::size_t>(i)], HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    for (int i = 0; i < count; ++i) refresh(i);
}

HWND Win32ConfigView::create(int control, const RECT& page) {
    const ControlSpec& c = controlSpec(control);
    const WindowKind kind = windowKind(c);
    const int x = c.page == pageNone ? c.rect.x : page.left + c.rect.x;
    const int y = c.page == pageNone ? c.rect.y : page.top + c.rect.y;
    const bool combo = c.kind == ControlKind::dropDown || c.kind == ControlKind::editableDropDown;
    const int height = combo ? c.rect.height + comboListHeight : c.rect.height;
    const char* text = c.kind == ControlKind::edit ? "" : c.caption;
    HWND window = CreateWindowExA(kind.extendedStyle, kind.windowClass, text, WS_CHILD | kind.style, x, y, c.rect.width,
                                  height, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(control))),
                                  moduleInstance(), nullptr);
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
    return window;
}

void Win32ConfigView::createRadioButtons(int control, const RECT& page) {
    const ControlSpec& c = controlSpec(control);
    for (std::size_t item = 0; item < c.items.size(); ++item) {
        const DWORD group = item == 0 ? WS_GROUP | WS_TABSTOP : 0;
        HWND radio = CreateWindowExA(
            0, "BUTTON", c.items[item], WS_CHILD | BS_AUTORADIOBUTTON | group, page.left + c.rect.x + 10,
            page.top + c.rect.y + 18 + 20 * static_cast<int>(item), c.rect.width - 20, 18, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(radioItemId(control, static_cast<int>(item)))),
            moduleInstance(), nullptr);
        radioButtons_[static_cast<std::size_t>(control)].push_back(radio);
    }
}

void Win32ConfigView::runModal() {
    if (!window_) return;
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    MSG message;
    while (!done_) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got < 0) break;
        if (!IsDialogMessageA(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

LRESULT CALLBACK Win32ConfigView::formProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<Win32ConfigView*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!view) return DefWindowProcA(window, message, wParam, lParam);
    return view->handle(message, wParam, lParam);
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

LRESULT Win32ConfigView::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->hwndFrom == tabs_ && reinterpret_cast<NMHDR*>(lParam)->code == TCN_SELCHANGE)
            showPage(static_cast<int>(SendMessageA(tabs_, TCM_GETCURSEL, 0, 0)));
        return 0;
    case WM_HSCROLL:
        if (lParam && !updating_) {
            const int control = GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) - controlIdBase;
            form_.sliderMoved(control, static_cast<int>(SendMessageA(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0)));
        }
        return 0;
    case showErrorsMessage:
        showPendingErrors();
        return 0;
    case WM_CLOSE:
        close(FormResult::none);
        return 0;
    default:
        return DefWindowProcA(window_, message, wParam, lParam);
    }
}

void Win32ConfigView::command(int id, int code, HWND source) {
    if (updating_) return;
    if (id == IDCANCEL) {
        close(FormResult::none);
        return;
    }
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

void Win32ConfigView::showPage(int page) {
    page_ = page;
    for (int i = 0; i < static_cast<int>(controls_.size()); ++i)
        if (controlSpec(i).page != pageNone) refresh(i);
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
    const bool shown = s.visible && (c.page == pageNone || c.page == page_);
    EnableWindow(window, s.enabled);
    ShowWindow(window, shown ? SW_SHOWNA : SW_HIDE);
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
            ShowWindow(radios[item], shown ? SW_SHOWNA : SW_HIDE);
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

void Win32ConfigView::close(FormResult) {
    done_ = true;
    if (window_) ShowWindow(window_, SW_HIDE);
}

} // namespace tessaranth::win32view
