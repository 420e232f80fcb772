// SPDX-License-Identifier: GPL-2.0-or-later
// Drives the open configuration dialog from a thread of its own, the way a user does: mouse
// clicks on the tabs and key presses through the system's input queue. After each step it
// reads what the screen shows and what the controls are, writes the pictures into a folder and
// prints one fact per line for the test that started the host.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

class ScreenDriver {
public:
    // The player's window, and the message that makes it call Config a second time.
    ScreenDriver(std::string folder, HWND player, UINT secondConfigMessage);
    ~ScreenDriver();
    ScreenDriver(const ScreenDriver&) = delete;
    ScreenDriver& operator=(const ScreenDriver&) = delete;

    // Starts the thread; it waits for the dialog and ends when the dialog has closed.
    void start();
    // Set by the player when the second Config has returned.
    void secondConfigReturned() { secondConfigReturned_ = true; }

private:
    static DWORD WINAPI threadMain(void* driver);
    void run();
    void checkModality();
    void describeGeometry();
    void visitPages();
    void visit(int page, const std::string& from);
    void describeControls(int page, const std::string& from, bool measure);
    void walkWithTab(int page);
    void changePagesWithControlTab();
    void closeWithEscape();
    bool clickTab(int page);
    int selectedPage() const;
    void savePicture(const std::string& name);

    std::string folder_;
    HWND player_;
    UINT secondConfigMessage_;
    HWND dialog_ = nullptr;
    HWND tabs_ = nullptr;
    DWORD dialogThread_ = 0;
    HANDLE thread_ = nullptr;
    std::atomic<bool> secondConfigReturned_{false};
};
