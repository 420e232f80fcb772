// SPDX-License-Identifier: GPL-2.0-or-later
// wintest: a Win32 host that does what a player does with a visualisation plug-in, for the
// tests under Wine. A hidden top-level main window answers the player's messages from a
// scenario given on the command line and carries the player's title; a CBT hook records every
// message box and closes it, so no run ever blocks. Everything it sees goes to stdout, one
// fact per line, for the test that started it to check. With --screen FOLDER the player's
// window is shown and the configuration dialog is driven on the screen by a ScreenDriver.
#include "ScreenDriver.h"
#include "tessaranth/plugin_abi.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Scenario {
    std::string dll = "vis_lumidra.dll";
    std::string title = "1. Artist - Title - Winamp";
    int frames = 3;
    bool config = false;
    int playState = 1;
    int positionMillis = 65000;
    int lengthSeconds = 200;
    int samplerate = 44;
    int bitrate = 192;
    int channels = 2;
    int listLength = 12;
    int listPosition = 0;
    int shuffle = 0;
    int repeat = 0;
    int dialogCloseCommand = IDCANCEL;
    std::vector<std::string> dialogActions;
    std::string screenFolder;
};

Scenario scenario;
HHOOK cbtHook = nullptr;
VisModule* module = nullptr;
ScreenDriver* screenDriver = nullptr;
// Posted to the player's window: it calls Config, as a player's menu would.
constexpr UINT secondConfigMessage = WM_APP + 1;

void printEscaped(const char* label, const char* text) {
    std::printf("%s ", label);
    for (const char* p = text; *p; ++p) {
        if (*p == '\n')
            std::fputs("\\n", stdout);
        else
            std::fputc(*p, stdout);
    }
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string windowText(HWND window) {
    char buffer[512] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

std::string className(HWND window) {
    char buffer[128] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

BOOL CALLBACK printChild(HWND child, LPARAM) {
    std::printf("control %d %s|%s\n", GetDlgCtrlID(child), className(child).c_str(), windowText(child).c_str());
    return TRUE;
}

BOOL CALLBACK findById(HWND child, LPARAM wanted) {
    auto* search = reinterpret_cast<std::pair<int, HWND>*>(wanted);
    if (GetDlgCtrlID(child) != search->first) return TRUE;
    search->second = child;
    return FALSE;
}

// The dialog's control with this identifier, on whichever page it lies.
HWND findControl(HWND dialog, int id) {
    std::pair<int, HWND> search{id, nullptr};
    EnumChildWindows(dialog, findById, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// Drives the configuration dialog: "id=text" sets an edit's text, "click=id" presses a button
// or toggles a check box, "select=id:index" picks a list or combo entry.
void runDialogAction(HWND dialog, const std::string& action) {
    const auto equals = action.find('=');
    if (equals == std::string::npos) return;
    const std::string key = action.substr(0, equals);
    const std::string value = action.substr(equals + 1);
    if (key == "click") {
        SendMessageA(findControl(dialog, std::atoi(value.c_str())), BM_CLICK, 0, 0);
    } else if (key == "select") {
        const auto colon = value.find(':');
        const int id = std::atoi(value.substr(0, colon).c_str());
        const int index = std::atoi(value.substr(colon + 1).c_str());
        HWND control = findControl(dialog, id);
        const bool combo = className(control) == "ComboBox";
        SendMessageA(control, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
        SendMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
    } else {
        SetWindowTextA(findControl(dialog, std::atoi(key.c_str())), value.c_str());
    }
}

void CALLBACK driveDialog(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    KillTimer(dialog, timer);
    EnumChildWindows(dialog, printChild, 0);
    for (const std::string& action : scenario.dialogActions) runDialogAction(dialog, action);
    std::printf("dialog close %d\n", scenario.dialogCloseCommand);
    std::fflush(stdout);
    HWND button = findControl(dialog, scenario.dialogCloseCommand);
    if (button)
        SendMessageA(button, BM_CLICK, 0, 0);
    else
        PostMessageA(dialog, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        HWND messageText = GetDlgItem(window, 0xFFFF);
        if (className(window) == "#32770" && messageText) {
            const std::string line = windowText(window) + "|" + windowText(messageText);
            printEscaped("box", line.c_str());
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        } else if (windowText(window) == "Tessaranth configuration" && !screenDriver) {
            RECT r{};
            GetWindowRect(window, &r);
            RECT client{};
            GetClientRect(window, &client);
            std::printf("dialog open %ld %ld %ld %ld\n", r.left, r.top, client.right, client.bottom);
            SetTimer(window, 1, 50, driveDialog);
        }
    }
    return CallNextHookEx(cbtHook, code, wParam, lParam);
}

LRESULT answerPlayerMessage(WPARAM wParam, LPARAM lParam) {
    switch (lParam) {
    case 104: return scenario.playState;
    case 105: return wParam == 0 ? scenario.positionMillis : scenario.lengthSeconds;
    case 124: return scenario.listLength;
    case 125: return scenario.listPosition;
    case 126: return wParam == 0 ? scenario.samplerate : wParam == 1 ? scenario.bitrate : scenario.channels;
    case 211: {
        static char name[64];
        if (static_cast<int>(wParam) >= scenario.listLength) return 0;
        std::snprintf(name, sizeof name, "C:\\Music\\Track %02u.mp3", static_cast<unsigned>(wParam) + 1);
        return reinterpret_cast<LRESULT>(name);
    }
    case 250: return scenario.shuffle;
    case 251: return scenario.repeat;
    default: return 0;
    }
}

LRESULT CALLBACK playerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) return answerPlayerMessage(wParam, lParam);
    if (message == secondConfigMessage) {
        module->configCallback(module);
        if (screenDriver) screenDriver->secondConfigReturned();
        return 0;
    }
    if (message == WM_COMMAND) {
        std::printf("command %u\n", static_cast<unsigned>(LOWORD(wParam)));
        std::fflush(stdout);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createPlayerWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = playerWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TessaranthTestPlayer";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, windowClass.lpszClassName, scenario.title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 275, 116,
                           nullptr, nullptr, windowClass.hInstance, nullptr);
}

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool parseArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        auto number = [&] { return std::atoi(argv[++i]); };
        if (option == "--config") scenario.config = true;
        else if (!hasValue) return false;
        else if (option == "--dll") scenario.dll = argv[++i];
        else if (option == "--title") scenario.title = argv[++i];
        else if (option == "--frames") scenario.frames = number();
        else if (option == "--play-state") scenario.playState = number();
        else if (option == "--position") scenario.positionMillis = number();
        else if (option == "--length") scenario.lengthSeconds = number();
        else if (option == "--list-position") scenario.listPosition = number();
        else if (option == "--dialog") scenario.dialogActions.push_back(argv[++i]);
        else if (option == "--dialog-close") scenario.dialogCloseCommand = number();
        else if (option == "--screen") scenario.screenFolder = argv[++i];
        else return false;
    }
    return true;
}

BOOL CALLBACK countWindow(HWND, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

// Marks the moment in the recording port library's log, when that library is the port driver.
void notePortLog(const char* text) {
    using Note = void(__stdcall*)(const char*);
    HMODULE recorder = GetModuleHandleA("DlPortIO.dll");
    auto note = recorder ? reinterpret_cast<Note>(reinterpret_cast<void*>(GetProcAddress(recorder, "RecordingPortNote")))
                         : nullptr;
    if (note) note(text);
}

int countThreadWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Config with the player's window shown and focused, while a ScreenDriver works the dialog.
void runOnScreen(HWND player) {
    ShowWindow(player, SW_SHOW);
    SetForegroundWindow(player);
    SetFocus(player);
    pumpMessages();
    {
        ScreenDriver driver(scenario.screenFolder, player, secondConfigMessage);
        screenDriver = &driver;
        driver.start();
        module->configCallback(module);
        std::printf("config returned\n");
        std::printf("player enabled after close %d\n", IsWindowEnabled(player) ? 1 : 0);
        std::printf("focus back on player %d\n", GetFocus() == player ? 1 : 0);
        std::fflush(stdout);
    }
    screenDriver = nullptr;
}

int runPlayer() {
    HMODULE library = LoadLibraryA(scenario.dll.c_str());
    if (!library) {
        std::printf("load failed %lu\n", GetLastError());
        return 1;
    }
    auto getHeader = reinterpret_cast<WinampVisGetHeaderFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "winampVisGetHeader")));
    const bool aliasExported = GetProcAddress(library, "_winampVisGetHeader") != nullptr;
    const bool servicesExported = GetProcAddress(library, "tessaranthSetHostServices") != nullptr;
    std::printf("exports %d %d %d\n", getHeader != nullptr, aliasExported, servicesExported);
    const bool oneAddress = reinterpret_cast<void*>(GetProcAddress(library, "_winampVisGetHeader")) ==
                            reinterpret_cast<void*>(getHeader);
    std::printf("export alias same address %d\n", oneAddress);
    if (!getHeader) return 1;
    VisHeader* header = getHeader();
    std::printf("header %d %s\n", header->headerVersion, header->headerDescription);
    module = header->lookupModule(0);
    std::printf("lookup %d %d\n", header->lookupModule(1) == nullptr, header->lookupModule(-1) == nullptr);
    std::printf("module %s\n", module->moduleDescription);
    std::printf("delay %d\n", module->delayMillis);

    HWND player = createPlayerWindow();
    module->playerWindow = player;
    module->dllInstance = library;
    module->sampleRate = 44100;
    module->channelCount = 2;
    std::printf("init %d\n", module->initCallback(module));
    std::fflush(stdout);
    for (int frame = 0; frame < scenario.frames; ++frame) {
        pumpMessages();
        for (int i = 0; i < VIS_SPECTRUM_ENTRIES; ++i) {
            module->spectrumBytes[0][i] = module->spectrumBytes[1][i] = static_cast<uint8_t>((i * 7 + frame * 13) % 256);
            module->waveformBytes[0][i] = module->waveformBytes[1][i] = static_cast<uint8_t>((i * 5 + frame) % 256);
        }
        std::printf("render %d\n", module->renderCallback(module));
        Sleep(static_cast<DWORD>(module->delayMillis > 0 && module->delayMillis < 1000 ? module->delayMillis : 40));
        scenario.positionMillis += 1000;
    }
    std::printf("delay %d\n", module->delayMillis);
    if (!scenario.screenFolder.empty())
        runOnScreen(player);
    else if (scenario.config) {
        module->configCallback(module);
        std::printf("config returned\n");
    }
    notePortLog("quit");
    module->quitCallback(module);
    std::printf("quit\n");
    DestroyWindow(player);
    pumpMessages();
    std::printf("free %d\n", FreeLibrary(library) != 0);
    std::printf("windows left %d\n", countThreadWindows());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (!parseArguments(argc, argv)) {
        std::fprintf(stderr, "usage: wintest [--dll PATH] [--title TEXT] [--frames N] [--config] ...\n");
        return 2;
    }
    cbtHook = SetWindowsHookExA(WH_CBT, onCbt, nullptr, GetCurrentThreadId());
    const int result = runPlayer();
    UnhookWindowsHookEx(cbtHook);
    std::printf("done\n");
    return result;
}
