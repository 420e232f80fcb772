// SPDX-License-Identifier: GPL-2.0-or-later
#include "views/PortTrace.h"

namespace tessaranth::host {

PortTrace::PortTrace(const std::string& path, const TessaranthHostServices& inner)
    : file_(std::fopen(path.c_str(), "w")), inner_(inner), services_(inner) {
    services_.context = this;
    services_.writePort = [](void* context, uint16_t port, uint16_t value) {
        PortTrace& t = self(context);
        std::fprintf(t.file_, "W %04X %02X\n", port, value);
        if (t.inner_.writePort) t.inner_.writePort(t.inner_.context, port, value);
    };
    services_.readPort = [](void* context, uint16_t port) -> uint16_t {
        PortTrace& t = self(context);
        std::fprintf(t.file_, "R %04X\n", port);
        return t.inner_.readPort ? t.inner_.readPort(t.inner_.context, port) : 0;
    };
    if (inner.usbWrite) {
        services_.usbWrite = [](void* context, const uint8_t* data, uint32_t length) -> int32_t {
            PortTrace& t = self(context);
            std::fputc('U', t.file_);
            for (uint32_t i = 0; i < length; ++i) std::fprintf(t.file_, " %02X", data[i]);
            std::fputc('\n', t.file_);
            return t.inner_.usbWrite(t.inner_.context, data, length);
        };
    }
    // The other services go straight to the inner ones, with their own context.
    if (inner.messageBox)
        services_.messageBox = [](void* c, const char* text, const char* caption, uint32_t style) {
            return self(c).inner_.messageBox(self(c).inner_.context, text, caption, style);
        };
    if (inner.sleepMillis)
        services_.sleepMillis = [](void* c, uint32_t ms) { self(c).inner_.sleepMillis(self(c).inner_.context, ms); };
    if (inner.usbOpen) services_.usbOpen = [](void* c) { return self(c).inner_.usbOpen(self(c).inner_.context); };
    if (inner.usbSetBaudRate)
        services_.usbSetBaudRate = [](void* c, uint32_t baud) {
            return self(c).inner_.usbSetBaudRate(self(c).inner_.context, baud);
        };
    if (inner.usbClose) services_.usbClose = [](void* c) { self(c).inner_.usbClose(self(c).inner_.context); };
}

PortTrace::~PortTrace() {
    if (file_) std::fclose(file_);
}

} // namespace tessaranth::host
