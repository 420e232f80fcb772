// SPDX-License-Identifier: GPL-2.0-or-later
#include "ScreenDriver.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

constexpr char dialogCaption[] = "Tessaranth configuration";
constexpr int tabControlId = 999;
constexpr int pageCount = 10;

template <typename Condition>
bool waitUntil(Condition condition, DWORD timeoutMillis) {
    const ULONGLONG end = GetTickCount64() + timeoutMillis;
    while (!condition()) {
        if (GetTickCount64() > end) return false;
        Sleep(10);
    }
    return true;
}

std::string className(HWND window) {
    char buffer[64] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

std::string windowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool isOurDialog(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId() && IsWindowVisible(window) && windowText(window) == dialogCaption;
}

BOOL CALLBACK collectDialog(HWND window, LPARAM list) {
    if (isOurDialog(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> openDialogs() {
    std::vector<HWND> found;
    EnumWindows(collectDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> descendants(HWND window) {
    std::vector<HWND> found;
    EnumChildWindows(window, collectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    bool operator==(const Picture&) const = default;
};

// What the screen shows in a rectangle, read back from the display.
Picture capture(const RECT& area) {
    Picture picture{area.right - area.left, area.bottom - area.top, {}};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    const auto* bgrx = static_cast<const uint8_t*>(bits);
    picture.rgb.reserve(static_cast<std::size_t>(picture.width * picture.height * 3));
    for (int i = 0; bgrx && i < picture.width * picture.height; ++i)
        picture.rgb.insert(picture.rgb.end(), {bgrx[4 * i + 2], bgrx[4 * i + 1], bgrx[4 * i]});
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

// The window as the screen shows it once painting has settled: three equal reads in a row.
Picture settledCapture(HWND window) {
    RECT area{};
    GetWindowRect(window, &area);
    Picture last = capture(area);
    for (int same = 0, tries = 0; same < 2 && tries < 200; ++tries) {
        Sleep(30);
        Picture next = capture(area);
        same = next == last ? same + 1 : 0;
        last = std::move(next);
    }
    return last;
}

bool writePpm(const std::string& path, const Picture& picture) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", picture.width, picture.height);
    const bool written = std::fwrite(picture.rgb.data(), 1, picture.rgb.size(), file) == picture.rgb.size();
    return std::fclose(file) == 0 && written;
}

void pressKey(WORD key, bool control = false, bool shift = false) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD k, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = k;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (control) add(VK_CONTROL, false);
    if (shift) add(VK_SHIFT, false);
    add(key, false);
    add(key, true);
    if (shift) add(VK_SHIFT, true);
    if (control) add(VK_CONTROL, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A click, after which the pointer leaves the dialog, as a user's hand does.
void clickAt(POINT at) {
    SetCursorPos(at.x, at.y);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
    SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) - 1);
}

void clickCentre(HWND window) {
    RECT area{};
    GetWindowRect(window, &area);
    clickAt({(area.left + area.right) / 2, (area.top + area.bottom) / 2});
}

// The width and height a control's caption needs in its own font, and what the control has.
struct Fit {
    int needWidth, haveWidth, needHeight, haveHeight;
};

bool measureCaption(HWND control, Fit& fit) {
    const std::string kind = className(control);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const std::string text = windowText(control);
    if (text.empty()) return false;
    const LONG buttonType = style & BS_TYPEMASK;
    const bool isStatic = kind == "Static" && (style & SS_TYPEMASK) <= SS_LEFTNOWORDWRAP;
    const bool isButton = kind == "Button" && buttonType != BS_OWNERDRAW;
    if (!isStatic && !isButton) return false;

    HDC dc = GetDC(control);
    auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    SIZE size{}, digit{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    GetTextExtentPoint32A(dc, "0", 1, &digit);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);

    int margin = 0;
    if (isButton) {
        const bool box = buttonType == BS_CHECKBOX || buttonType == BS_AUTOCHECKBOX || buttonType == BS_3STATE ||
                         buttonType == BS_AUTO3STATE || buttonType == BS_RADIOBUTTON ||
                         buttonType == BS_AUTORADIOBUTTON;
        if (buttonType == BS_GROUPBOX)
            margin = 2 * digit.cx;  // the caption sits inside the frame's corners
        else if (box)
            margin = GetSystemMetrics(SM_CXMENUCHECK) + digit.cx / 2;  // the box and the gap after it
        else
            margin = 2 * (GetSystemMetrics(SM_CXEDGE) + 2);  // the edges and the focus frame
    }
    RECT client{};
    GetClientRect(control, &client);
    fit = {size.cx + margin, client.right, size.cy, client.bottom};
    return true;
}

} // namespace

ScreenDriver::ScreenDriver(std::string folder, HWND player, UINT secondConfigMessage)
    : folder_(std::move(folder)), player_(player), secondConfigMessage_(secondConfigMessage) {}

ScreenDriver::~ScreenDriver() {
    if (!thread_) return;
    WaitForSingleObject(thread_, 60000);
    CloseHandle(thread_);
}

void ScreenDriver::start() { thread_ = CreateThread(nullptr, 0, &threadMain, this, 0, nullptr); }

DWORD WINAPI ScreenDriver::threadMain(void* driver) {
    static_cast<ScreenDriver*>(driver)->run();
    return 0;
}

void ScreenDriver::run() {
    if (!waitUntil([&] { return !openDialogs().empty(); }, 20000)) {
        std::printf("screen no dialog\n");
        std::fflush(stdout);
        return;
    }
    dialog_ = openDialogs().front();
    tabs_ = GetDlgItem(dialog_, tabControlId);
    dialogThread_ = GetWindowThreadProcessId(dialog_, nullptr);
    describeGeometry();
    savePicture("page-0-from-open");
    describeControls(0, "open", true);
    checkModality();
    visitPages();
    for (int page = 0; page < pageCount; ++page) walkWithTab(page);
    changePagesWithControlTab();
    closeWithEscape();
    std::fflush(stdout);
}

void ScreenDriver::describeGeometry() {
    RECT window{}, pageArea{};
    GetWindowRect(dialog_, &window);
    POINT origin{0, 0};
    ClientToScreen(dialog_, &origin);
    RECT client{};
    GetClientRect(dialog_, &client);
    GetWindowRect(tabs_, &pageArea);
    SendMessageA(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&pageArea));
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&pageArea), 2);
    std::printf("screen window %ld %ld %ld %ld\n", window.left, window.top, window.right - window.left,
                window.bottom - window.top);
    std::printf("screen client %ld %ld %ld %ld\n", origin.x - window.left, origin.y - window.top, client.right,
                client.bottom);
    std::printf("screen page area %ld %ld %ld %ld\n", pageArea.left, pageArea.top, pageArea.right - pageArea.left,
                pageArea.bottom - pageArea.top);
}

// While the dialog is open the player cannot be used, and a second Config brings the open
// dialog forward instead of opening another.
void ScreenDriver::checkModality() {
    std::printf("player enabled while open %d\n", IsWindowEnabled(player_) ? 1 : 0);
    PostMessageA(player_, secondConfigMessage_, 0, 0);
    const bool returned = waitUntil([&] { return secondConfigReturned_.load(); }, 3000);
    std::printf("second config returned %d\n", returned ? 1 : 0);
    const std::vector<HWND> dialogs = openDialogs();
    std::printf("dialogs open %d\n", static_cast<int>(dialogs.size()));
    std::printf("dialog in front %d\n", GetForegroundWindow() == dialog_ ? 1 : 0);
    for (HWND extra : dialogs)
        if (extra != dialog_) PostMessageA(extra, WM_CLOSE, 0, 0);
    waitUntil([&] { return secondConfigReturned_.load(); }, 5000);
}

// Every page from two different pages before it: first in tab order, then three tabs at a time.
void ScreenDriver::visitPages() {
    int previous = 0;
    for (int stride : {1, 3})
        for (int step = 1; step <= pageCount; ++step) {
            const int page = (step * stride) % pageCount;
            visit(page, std::to_string(previous));
            describeControls(page, std::to_string(previous), stride == 1);
            previous = page;
        }
}

void ScreenDriver::visit(int page, const std::string& from) {
    if (!clickTab(page)) std::printf("screen tab %d not reached\n", page);
    savePicture("page-" + std::to_string(page) + "-from-" + from);
}

bool ScreenDriver::clickTab(int page) {
    RECT item{};
    SendMessageA(tabs_, TCM_GETITEMRECT, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&item));
    MapWindowPoints(tabs_, nullptr, reinterpret_cast<POINT*>(&item), 2);
    clickAt({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    return waitUntil([&] { return selectedPage() == page; }, 10000);
}

int ScreenDriver::selectedPage() const { return static_cast<int>(SendMessageA(tabs_, TCM_GETCURSEL, 0, 0)); }

void ScreenDriver::savePicture(const std::string& name) {
    if (!writePpm(folder_ + "\\" + name + ".ppm", settledCapture(dialog_))) std::printf("screen cannot write %s\n", name.c_str());
}

// Every visible control with its identifier, and (measure) how much room its caption needs.
void ScreenDriver::describeControls(int page, const std::string& from, bool measure) {
    for (HWND control : descendants(dialog_)) {
        // The edit inside a drop-down list is part of the list.
        if (!IsWindowVisible(control) || className(GetParent(control)) == "ComboBox") continue;
        const int id = GetDlgCtrlID(control);
        std::printf("visible %d %s %d %d\n", page, from.c_str(), id, IsWindowEnabled(control) ? 1 : 0);
        Fit fit{};
        if (measure && measureCaption(control, fit))
            std::printf("fit %d %d %d %d %d %d %s\n", page, id, fit.needWidth, fit.haveWidth, fit.needHeight,
                        fit.haveHeight, windowText(control).c_str());
    }
    std::fflush(stdout);
}

// Presses Tab until the focus comes back to where the walk began, noting each control it
// reaches (the edit inside a drop-down list counts as the list).
void ScreenDriver::walkWithTab(int page) {
    clickTab(page);
    auto focused = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(dialogThread_, &info);
        return info.hwndFocus;
    };
    std::vector<HWND> walk;
    for (int press = 0, stuck = 0; press < 80 && stuck < 2; ++press) {
        const HWND before = focused();
        pressKey(VK_TAB);
        if (!waitUntil([&] { return focused() != before; }, 5000)) {
            ++stuck;  // on a busy machine a key can take long; twice is a focus that does not move
            continue;
        }
        const HWND now = focused();
        if (!walk.empty() && now == walk.front()) break;
        walk.push_back(now);
    }
    for (HWND control : walk) {
        const HWND parent = GetParent(control);
        const int id = className(parent) == "ComboBox" ? GetDlgCtrlID(parent) : GetDlgCtrlID(control);
        std::printf("focus %d %d\n", page, id);
    }
    std::fflush(stdout);
}

void ScreenDriver::changePagesWithControlTab() {
    const int first = selectedPage();
    pressKey(VK_TAB, true);
    waitUntil([&] { return selectedPage() != first; }, 2000);
    const int second = selectedPage();
    std::printf("ctrl-tab %d %d\n", first, second);
    pressKey(VK_TAB, true, true);
    waitUntil([&] { return selectedPage() != second; }, 2000);
    std::printf("ctrl-shift-tab %d %d\n", second, selectedPage());
    savePicture("page-" + std::to_string(selectedPage()) + "-from-keyboard");
}

// Types a new update delay into its edit, then presses Esc: the dialog closes as Cancel does.
void ScreenDriver::closeWithEscape() {
    clickTab(0);
    for (HWND control : descendants(dialog_))
        if (className(control) == "Edit" && IsWindowEnabled(control) && IsWindowVisible(control)) {
            clickCentre(control);
            break;
        }
    pressKey(VK_END);
    for (WORD key : {WORD{'7'}, WORD{'7'}}) pressKey(key);
    pressKey(VK_ESCAPE);
    const bool closed = waitUntil([&] { return !IsWindow(dialog_) || !IsWindowVisible(dialog_); }, 5000);
    std::printf("escape closed %d\n", closed ? 1 : 0);
}
