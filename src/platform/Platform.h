// SPDX-License-Identifier: GPL-2.0-or-later
// The platform layer: everything the core needs of Windows, Linux or the host. The core calls
// only these functions; each forwards to the host's services when the host installed them,
// else to the backend of the platform the library was built for.
#pragma once

#include "tessaranth/plugin_abi.h"

#include <cstdint>

namespace tessaranth::platform {

constexpr uint32_t mbOk = 0x00;
constexpr uint32_t mbIconError = 0x10;
constexpr uint32_t mbIconWarning = 0x30;
constexpr int32_t idOk = 1;

constexpr uint32_t wmCommand = 0x0111;
constexpr uint32_t wmUser = 0x0400;

int32_t messageBox(const char* text, const char* caption, uint32_t style);
intptr_t sendMessage(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Reads the window's title into buffer (size bytes, always NUL-terminated); returns its length.
int32_t getWindowText(void* window, char* buffer, int32_t size);
void sleepMillis(uint32_t milliseconds);
void writePort(uint16_t port, uint16_t value);
uint16_t readPort(uint16_t port);

// Installs a copy of the host's services (null, or a wrong version, removes them). A version 1
// record is read up to its last member, usbClose; the buses then stay the plug-in's own.
void setHostServices(const TessaranthHostServices* services);
const TessaranthHostServices& hostServices();

// The backend of the platform the library was built for.
namespace native {
int32_t messageBox(const char* text, const char* caption, uint32_t style);
intptr_t sendMessage(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
int32_t getWindowText(void* window, char* buffer, int32_t size);
void sleepMillis(uint32_t milliseconds);
void writePort(uint16_t port, uint16_t value);
uint16_t readPort(uint16_t port);
} // namespace native

} // namespace tessaranth::platform
