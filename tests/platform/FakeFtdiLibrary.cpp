// SPDX-License-Identifier: GPL-2.0-or-later
// A stand-in for the adapter's device libraries: both the vendor's four functions and
// libftdi1's six, each logging its call so a test can see what the platform layer did.
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

std::string callLog;
bool refuseDevice = false;
int handleToken = 0;
struct Context {
    int unused;
} context;

void note(const char* text) { callLog += text; }

void noteNumber(const char* format, unsigned long value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    callLog += text;
}

void noteBytes(const void* data, unsigned long length) {
    noteNumber("%lu:", length);
    for (unsigned long i = 0; i < length; ++i) noteNumber(" %02lX", static_cast<const uint8_t*>(data)[i]);
    note(";");
}

const char* handleName(const void* handle) { return handle == &handleToken || handle == &context ? "h" : "?"; }

} // namespace

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

FAKE_EXPORT const char* fakeLog() { return callLog.c_str(); }
FAKE_EXPORT void fakeReset(bool refuse) {
    callLog.clear();
    refuseDevice = refuse;
}

FAKE_EXPORT unsigned long FT_Open(int device, void** handle) {
    noteNumber("FT_Open %lu;", static_cast<unsigned long>(device));
    *handle = &handleToken;
    return 0;
}
FAKE_EXPORT unsigned long FT_SetBaudRate(void* handle, unsigned long baud) {
    note(handleName(handle));
    noteNumber(" FT_SetBaudRate %lu;", baud);
    return 0;
}
FAKE_EXPORT unsigned long FT_Write(void* handle, void* buffer, uint32_t length, uint32_t* written) {
    note(handleName(handle));
    note(" FT_Write ");
    noteBytes(buffer, length);
    *written = length;
    return 0;
}
FAKE_EXPORT unsigned long FT_Close(void* handle) {
    note(handleName(handle));
    note(" FT_Close;");
    return 0;
}

FAKE_EXPORT Context* ftdi_new() {
    note("ftdi_new;");
    return &context;
}
FAKE_EXPORT int ftdi_usb_open(Context* ftdi, int vendor, int product) {
    note(handleName(ftdi));
    noteNumber(" ftdi_usb_open %04lX", static_cast<unsigned long>(vendor));
    noteNumber(":%04lX;", static_cast<unsigned long>(product));
    return refuseDevice ? -3 : 0;
}
FAKE_EXPORT int ftdi_set_baudrate(Context* ftdi, int baud) {
    note(handleName(ftdi));
    noteNumber(" ftdi_set_baudrate %lu;", static_cast<unsigned long>(baud));
    return 0;
}
FAKE_EXPORT int ftdi_write_data(Context* ftdi, const unsigned char* buffer, int size) {
    note(handleName(ftdi));
    note(" ftdi_write_data ");
    noteBytes(buffer, static_cast<unsigned long>(size));
    return size;
}
FAKE_EXPORT int ftdi_usb_close(Context* ftdi) {
    note(handleName(ftdi));
    note(" ftdi_usb_close;");
    return 0;
}
FAKE_EXPORT void ftdi_free(Context* ftdi) {
    note(handleName(ftdi));
    note(" ftdi_free;");
}
