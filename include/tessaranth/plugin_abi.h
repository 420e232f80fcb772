// SPDX-License-Identifier: GPL-2.0-or-later
/* The C interface between a Winamp-compatible host and the vis_lumidra plug-in.
   Usable from C and C++; hosts outside this project rely on it exactly as written. */
#ifndef TESSARANTH_PLUGIN_ABI_H
#define TESSARANTH_PLUGIN_ABI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define TESSARANTH_EXPORT __declspec(dllexport)
#else
#define TESSARANTH_EXPORT __attribute__((visibility("default")))
#endif

#define VIS_HEADER_VERSION 0x101
#define VIS_SPECTRUM_ENTRIES 576

typedef struct VisModule VisModule;

/* The module record the host fills and calls through (2360 bytes in a 32-bit build). */
struct VisModule {
    char* moduleDescription;
    void* playerWindow;   /* HWND on Windows; a TessaranthPlayerWindow* elsewhere */
    void* dllInstance;
    int32_t sampleRate;
    int32_t channelCount;
    int32_t latencyMillis;
    int32_t delayMillis;
    int32_t spectrumChannels;
    int32_t waveformChannels;
    uint8_t spectrumBytes[2][VIS_SPECTRUM_ENTRIES];
    uint8_t waveformBytes[2][VIS_SPECTRUM_ENTRIES];
    void (*configCallback)(VisModule* module);
    int32_t (*initCallback)(VisModule* module);
    int32_t (*renderCallback)(VisModule* module);
    void (*quitCallback)(VisModule* module);
    void* userPointer;
};

/* The header record that winampVisGetHeader returns (12 bytes in a 32-bit build). */
typedef struct VisHeader {
    int32_t headerVersion;
    char* headerDescription;
    VisModule* (*lookupModule)(int32_t index);
} VisHeader;

/* Non-Windows builds: VisModule::playerWindow points at one of these. The two calls have the
   meaning of SendMessageA and GetWindowTextA on the player's main window. */
typedef struct TessaranthPlayerWindow {
    void* context;
    intptr_t (*sendMessage)(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam);
    int32_t  (*getWindowText)(void* context, char* buffer, int32_t size); /* NUL-terminated, returns length */
} TessaranthPlayerWindow;

/* One I2C write message: START, the device's address, `length` bytes from `data`, then a
   repeated START or the STOP. The first byte is the display's control byte. */
typedef struct TessaranthI2cMessage {
    const uint8_t* data;
    uint32_t length;
} TessaranthI2cMessage;

/* Any build: a host may replace the plug-in's platform services. A null member keeps the
   plug-in's own. Installed before Init; the plug-in keeps a copy.
   Version 1 ends at usbClose; a version 1 host passes the shorter record and the plug-in reads
   no further than usbClose. Version 2 appends the Linux buses. */
#define TESSARANTH_HOST_SERVICES_VERSION_1 1
#define TESSARANTH_HOST_SERVICES_VERSION 2
typedef struct TessaranthHostServices {
    uint32_t version;                                  /* TESSARANTH_HOST_SERVICES_VERSION (or _1) */
    void* context;                                     /* passed back to every call */
    void     (*writePort)(void* context, uint16_t port, uint16_t value);   /* DlPortWritePortUshort */
    uint16_t (*readPort)(void* context, uint16_t port);                    /* DlPortReadPortUshort */
    int32_t  (*messageBox)(void* context, const char* text, const char* caption, uint32_t style); /* Win32 MB_* bits: MB_ICONWARNING 0x30, MB_ICONERROR 0x10; returns IDOK (1) */
    void     (*sleepMillis)(void* context, uint32_t milliseconds);
    /* The USB adapter (stands in for the FTDI library). All four set: the adapter is "loaded";
       all four null: the plug-in loads its device library itself. */
    int32_t  (*usbOpen)(void* context);                /* 0 = opened */
    int32_t  (*usbSetBaudRate)(void* context, uint32_t baud);
    int32_t  (*usbWrite)(void* context, const uint8_t* data, uint32_t length);
    void     (*usbClose)(void* context);
    /* Version 2: the buses of small Linux boards. A bus whose calls are all set is the host's
       (an emulator, a trace); all null: the plug-in drives the device itself. An open returns a
       handle >= 0, or -1 after writing one line for the user into fault (at most faultSize bytes,
       NUL-terminated) that names the device and what to check. The other calls return 0 when
       done, else an errno value (EREMOTEIO: nothing answered; ENODEV: the device is gone). */
    int32_t  (*i2cOpen)(void* context, const char* device, uint8_t address7, char* fault, uint32_t faultSize);
    int32_t  (*i2cWrite)(void* context, int32_t handle, const TessaranthI2cMessage* messages, uint32_t count);
    void     (*i2cClose)(void* context, int32_t handle);
    /* SPI: mode as SPI_IOC_WR_MODE takes it; dc is the D/C level (1 data, 0 command) while the
       bytes go out; resetPulse holds the reset line low for that long, then releases it. */
    int32_t  (*spiOpen)(void* context, const char* device, uint8_t mode, uint32_t speedHz, char* fault, uint32_t faultSize);
    int32_t  (*spiWrite)(void* context, int32_t handle, int32_t dc, const uint8_t* data, uint32_t length);
    int32_t  (*spiResetPulse)(void* context, int32_t handle, uint32_t microseconds);
    void     (*spiClose)(void* context, int32_t handle);
    /* GPIO lines of one chip, as outputs starting at the levels of initial: bit i of initial,
       bits and mask is lines[i]; only lines whose mask bit is set change, all in one update.
       chip is a path, a chip name, a number or a label. */
    int32_t  (*gpioOpen)(void* context, const char* chip, const uint32_t* lines, uint32_t count, uint64_t initial,
                         char* fault, uint32_t faultSize);
    int32_t  (*gpioSet)(void* context, int32_t handle, uint64_t bits, uint64_t mask);
    void     (*gpioClose)(void* context, int32_t handle);
} TessaranthHostServices;

typedef VisHeader* (*WinampVisGetHeaderFunction)(void);
typedef void (*TessaranthSetHostServicesFunction)(const TessaranthHostServices* services);

/* Exported next to winampVisGetHeader (C linkage, default visibility / dllexport). */
TESSARANTH_EXPORT VisHeader* winampVisGetHeader(void);
TESSARANTH_EXPORT void tessaranthSetHostServices(const TessaranthHostServices* services);

#ifdef __cplusplus
}
#endif

#endif
