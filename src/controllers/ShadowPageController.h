// SPDX-License-Identifier: GPL-2.0-or-later
// What the serial display drivers share. The drawing parts draw into a copy of the picture
// (column bytes of 8 rows, bit 0 on top, as the page controllers hold them), and at the end of
// each frame the driver sends only what differs from what the display holds, span by span; so
// an idle frame sends nothing. Every `refreshFrames` frames the whole picture goes out again,
// which heals a glitch on the wire; and so it does after a frame the device missed and when it
// comes back after a failure.
//
// One layer, as on the KS0108B: text is column bytes drawn into the same copy as the runs and
// the background, each call overwriting what lay there. The drawing parts already treat a page
// controller so (text first, then what goes over it), the picture is the one a KS0108B of the
// same size shows, and one copy per frame is all that has to be compared.
#pragma once

#include "controllers/ChangedSpans.h"
#include "controllers/PageController.h"
#include "controllers/SerialLink.h"

#include <array>
#include <cstdint>
#include <memory>

namespace tessaranth {

class ShadowPageController : public PageController {
public:
    static constexpr int maxWidth = 256;
    static constexpr int maxPages = 8;
    // About ten seconds at the default pace of 60 ms a frame.
    static constexpr int refreshFrames = 166;

    // A bus device that is missing now is reported and tried again while the frames go on, so
    // the display comes when it does.
    bool open() override {
        link_->open();
        return true;
    }
    void init() override;
    void close() override;
    void clearGraphics() override;
    void writeBlock(const uint8_t* bytes, uint16_t column, uint16_t line, uint16_t rows, uint16_t width) override;
    void writeScreen(const uint8_t* image) override;
    void endFrame() override;

    // The picture the drawing parts made, and what the display was last sent.
    uint8_t wanted(int page, int x) const { return wanted_[index(page, x)]; }
    uint8_t held(int page, int x) const { return held_[index(page, x)]; }
    bool pixel(int x, int y) const { return (wanted(y / 8, x) >> (y % 8)) & 1; }
    int width() const { return width_; }
    int height() const { return 8 * pages_; }
    const SerialLink& link() const { return *link_; }

protected:
    explicit ShadowPageController(std::unique_ptr<SerialLink> link) : link_(std::move(link)) {}

    SerialLink& bus() { return *link_; }
    // The chip's set-up, from reset to display on.
    virtual void sendSetup() = 0;
    // The frame's changes (with `all`, everything), band by band; each sent span is copied into
    // the held picture with markSent().
    virtual void sendChanges(bool all) = 0;
    bool heldPixel(int x, int y) const { return (held(y / 8, x) >> (y % 8)) & 1; }
    void markSent(int page, int x, int count);
    // The same for `count` pixels of pixel row y from x.
    void markRowSent(int y, int x, int count);
    // Whether any of `count` pixels of row y from x differs from what the display holds.
    bool rowChanged(int y, int x, int count) const;
    // Unchanged units worth sending to save a window of `windowBytes`, units of `unitBytes`.
    int gapFor(int windowBytes, int unitBytes) const {
        return (windowBytes + link_->windowOverhead()) / unitBytes;
    }
    // The changed spans of every page as column bytes, each after the window that
    // openWindow(page, first, end) sends in `windowBytes` command bytes.
    template <typename OpenWindow>
    void sendPages(bool all, int windowBytes, OpenWindow&& openWindow) {
        const int gap = gapFor(windowBytes, 1);
        for (int page = 0; page < pages_; ++page) {
            forEachChangedSpan(
                width_, gap, all, [&](int x) { return wanted(page, x) != held(page, x); },
                [&](int first, int end) {
                    openWindow(page, first, end);
                    bus().data({wanted_.data() + index(page, first), static_cast<size_t>(end - first)});
                    markSent(page, first, end - first);
                });
        }
    }

private:
    void sendText(const char* text) override;
    void sendRun(const uint8_t* bytes, int32_t count) override;
    // Copies count bytes (XOR mask) into page `page` from pixel column x, cut at the right edge.
    void draw(int page, int x, const uint8_t* bytes, int count, uint8_t mask);
    static int index(int page, int x) { return page * maxWidth + x; }

    std::unique_ptr<SerialLink> link_;
    std::array<uint8_t, maxWidth * maxPages> wanted_{};
    std::array<uint8_t, maxWidth * maxPages> held_{};
    int width_ = 0;
    int pages_ = 0;
    int framesSinceRefresh_ = 0;
    bool refreshDue_ = true;
};

} // namespace tessaranth
