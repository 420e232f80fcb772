// SPDX-License-Identifier: GPL-2.0-or-later
// Writes one picture per page of the configuration dialog: config_screenshots DIR
#include "HostRecorder.h"

#include "config/TConfigForm.h"
#include "config/qt/QtConfigView.h"
#include "host/PluginLifetime.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    tessaranth::loadPlugin();
    int result = 0;
    {
        tessaranth::test::HostRecorder host;
        tessaranth::TConfigForm form;
        if (!tessaranth::qtview::writeScreenshots(form, QString::fromLocal8Bit(argv[1]))) {
            std::fprintf(stderr, "config_screenshots: cannot write into %s\n", argv[1]);
            result = 1;
        }
    }
    tessaranth::unloadPlugin();
    return result;
}
