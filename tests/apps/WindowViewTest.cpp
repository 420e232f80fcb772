// The window view under Qt's offscreen platform.
#include "players/DemoPlayer.h"
#include "session/FrameLoop.h"
#include "session/HostSession.h"
#include "session/PluginLibrary.h"
#include "RecordingPlugin.h"
#include "views/WindowView.h"

#include "emu/T6963CEmulator.h"

#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <gtest/gtest.h>

#include <cstdlib>

namespace tessaranth::host {
namespace {

class WindowViewTest : public ::testing::Test {
protected:
    static QApplication* makeApplication() {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }

    std::unique_ptr<QApplication> application{makeApplication()};

    std::unique_ptr<emu::VirtualDisplay> display = emu::VirtualDisplay::create(emu::DisplaySetup{});
};

TEST_F(WindowViewTest, ShowsTheGlassAtAReadableScale) {
    EXPECT_EQ(readableScale(128), 7);
    EXPECT_EQ(readableScale(240), 4);
    EXPECT_EQ(readableScale(320), 3);
    EXPECT_EQ(readableScale(2000), 2);
    WindowView view(*display, nullptr);
    EXPECT_TRUE(view.findChildren<QPushButton*>().empty()) << "no dialog, no button";
    view.show();
    const QImage before = view.grab().toImage();
    auto& chip = dynamic_cast<emu::T6963CEmulator&>(display->emulator());
    chip.writeData(22);  // 22 bytes a row
    chip.writeData(0);
    chip.writeCommand(0x43);
    for (uint8_t command : {0x98, 0xB0}) chip.writeCommand(command);  // graphics on, auto write from 0
    for (int i = 0; i < 200; ++i) chip.writeData(0x3F);
    view.present(*display);
    const QImage after = view.grab().toImage();
    EXPECT_NE(before, after);
    EXPECT_NE(view.windowTitle().toStdString().find("T6963C 128x64"), std::string::npos);
}

TEST_F(WindowViewTest, ConfigureButtonRunsTheCallback) {
    int opened = 0;
    WindowView view(*display, [&opened] { ++opened; });
    const auto buttons = view.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    buttons.front()->click();
    EXPECT_EQ(opened, 1);
}

TEST_F(WindowViewTest, RunsFramesInTheEventLoopUntilTheLimit) {
    PluginLibrary plugin(TESSARANTH_RECORDING_PLUGIN);
    RecordingPluginLog log;
    log.delayToAsk = 5;
    plugin.module().userPointer = &log;
    DemoPlayer player;
    WindowView view(*display, nullptr);
    HostSession session(plugin, player, player, [&] { view.present(*display); });
    session.start();
    FrameLoop loop(session, {4, std::nullopt});
    view.run(loop);
    EXPECT_EQ(log.renders, 4);
}

TEST_F(WindowViewTest, ClosingTheWindowEndsTheRun) {
    PluginLibrary plugin(TESSARANTH_RECORDING_PLUGIN);
    RecordingPluginLog log;
    log.delayToAsk = 5;
    plugin.module().userPointer = &log;
    DemoPlayer player;
    WindowView view(*display, nullptr);
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

} // namespace
} // namespace tessaranth::host
