// SPDX-License-Identifier: GPL-2.0-or-later
// The window view through the real window module, under Qt's offscreen platform; the test looks
// at the module's widgets through the Qt application the module made.
#include "players/DemoPlayer.h"
#include "session/FrameLoop.h"
#include "session/HostSession.h"
#include "session/PluginLibrary.h"
#include "RecordingPlugin.h"
#include "QtModules.h"
#include "views/WindowView.h"

#include "emu/T6963CEmulator.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include <cstdlib>

namespace tessaranth::host {
namespace {

class WindowModuleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("QT_QPA_PLATFORM", "offscreen", 1); }

    // The module's window: the one top-level widget of the application.
    static QWidget* window() {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return windows.size() == 1 ? windows.front() : nullptr;
    }

    // Graphics on, 22 bytes a row, the top rows lit.
    void lightTheTopRows() {
        auto& chip = dynamic_cast<emu::T6963CEmulator&>(display->emulator());
        chip.writeData(22);
        chip.writeData(0);
        chip.writeCommand(0x43);
        for (uint8_t command : {0x98, 0xB0}) chip.writeCommand(command);
        for (int i = 0; i < 200; ++i) chip.writeData(0x3F);
    }

    const WindowModule& module = loadWindowModule(TESSARANTH_WINDOW_MODULE);
    std::unique_ptr<emu::VirtualDisplay> display = emu::VirtualDisplay::create(emu::DisplaySetup{});
};

TEST_F(WindowModuleTest, ShowsTheGlassAtAReadableScaleAndWhatTheDisplayDidNotUnderstand) {
    WindowView view(module, *display, nullptr);
    ASSERT_TRUE(QCoreApplication::instance()) << "the module made the application";
    QWidget* shown = window();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->findChildren<QPushButton*>().empty()) << "no dialog, no button";
    EXPECT_EQ(shown->windowTitle().toStdString(), "Tessaranth - " + display->description());
    shown->show();
    EXPECT_GE(shown->width(), 128 * readableScale(128));
    const QImage before = shown->grab().toImage();
    lightTheTopRows();
    view.present(*display);
    EXPECT_NE(before, shown->grab().toImage());

    auto* status = shown->findChild<QLabel*>();
    ASSERT_TRUE(status);
    EXPECT_EQ(status->text().toStdString(), display->description());
    dynamic_cast<emu::T6963CEmulator&>(display->emulator()).writeCommand(0xFF);  // no such command
    view.present(*display);
    EXPECT_EQ(status->text().toStdString(), display->description() + "  (1 commands the display did not understand)");
}

TEST_F(WindowModuleTest, ConfigureButtonRunsTheCallback) {
    int opened = 0;
    WindowView view(module, *display, [&opened] { ++opened; });
    const auto buttons = window()->findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    buttons.front()->click();
    EXPECT_EQ(opened, 1);
}

TEST_F(WindowModuleTest, RunsFramesInTheEventLoopUntilTheLimit) {
    PluginLibrary plugin(TESSARANTH_RECORDING_PLUGIN);
    RecordingPluginLog log;
    log.delayToAsk = 5;
    plugin.module().userPointer = &log;
    DemoPlayer player;
    WindowView view(module, *display, nullptr);
    HostSession session(plugin, player, player, [&] { view.present(*display); });
    session.start();
    FrameLoop loop(session, {4, std::nullopt});
    view.run(loop);
    EXPECT_EQ(log.renders, 4);
}

TEST_F(WindowModuleTest, ClosingTheWindowEndsTheRunAndTheApplicationGoesWithIt) {
    {
        PluginLibrary plugin(TESSARANTH_RECORDING_PLUGIN);
        RecordingPluginLog log;
        log.delayToAsk = 5;
        plugin.module().userPointer = &log;
        DemoPlayer player;
        WindowView view(module, *display, nullptr);
        int frames = 0;
        HostSession session(plugin, player, player, [&] {
            if (++frames == 3) view.close();
        });
        session.start();
        FrameLoop loop(session, {});
        view.run(loop);
        EXPECT_TRUE(view.closed());
        EXPECT_EQ(log.renders, 3);
    }
    EXPECT_FALSE(QCoreApplication::instance());
}

} // namespace
} // namespace tessaranth::host
