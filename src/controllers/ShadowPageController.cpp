// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/ShadowPageController.h"

#include "controllers/PageImage.h"
#include "controllers/PageText.h"
#include "geometry/DisplayLayout.h"

#include <algorithm>
#include <utility>

namespace tessaranth {

void ShadowPageController::init() {
    width_ = std::clamp<int>(layout().width(), 0, maxWidth);
    pages_ = std::clamp<int>(layout().height() / 8, 0, maxPages);
    column_ = 0;
    page_ = 0;
    sendSetup();
    clearGraphics();
    refreshDue_ = true;
}

void ShadowPageController::close() { link_->close(); }

void ShadowPageController::clearGraphics() { wanted_.fill(invertMask()); }

void ShadowPageController::draw(int page, int x, const uint8_t* bytes, int count, uint8_t mask) {
    if (!bytes || page < 0 || page >= pages_ || x < 0) return;
    const int n = std::min(count, width_ - x);
    for (int i = 0; i < n; ++i) wanted_[index(page, x + i)] = static_cast<uint8_t>(bytes[i] ^ mask);
}

void ShadowPageController::sendText(const char* text) {
    int x = pageColumnsPerCell * column_;
    const int page = page_;
    const uint8_t mask = invertMask();
    forEachTextColumn(text, [&](uint8_t value) {
        draw(page, x++, &value, 1, mask);
        return x < width_;
    });
}

void ShadowPageController::sendRun(const uint8_t* bytes, int32_t count) {
    draw(page_, pageColumnsPerCell * column_, bytes, std::max(count, 0), invertMask());
}

void ShadowPageController::writeBlock(const uint8_t* bytes, uint16_t column, uint16_t line, uint16_t, uint16_t width) {
    draw(line, pageColumnsPerCell * column, bytes, pageColumnsPerCell * width, invertMask());
}

void ShadowPageController::writeScreen(const uint8_t* image) {
    if (!image) return;
    // The background holds rows of width / 8 bytes.
    const int rowBytes = width_ / 8;
    const uint8_t mask = invertMask();
    for (int page = 0; page < pages_; ++page)
        for (int x = 0; x < width_; ++x)
            wanted_[index(page, x)] = static_cast<uint8_t>(pageColumnByte(image, rowBytes, page, x) ^ mask);
}

void ShadowPageController::markSent(int page, int x, int count) {
    const int first = index(page, x);
    std::copy_n(wanted_.begin() + first, count, held_.begin() + first);
}

void ShadowPageController::markRowSent(int y, int x, int count) {
    const auto bit = static_cast<uint8_t>(1u << (y % 8));
    for (int i = x; i < x + count; ++i) {
        uint8_t& held = held_[index(y / 8, i)];
        held = static_cast<uint8_t>((held & ~bit) | (wanted(y / 8, i) & bit));
    }
}

bool ShadowPageController::rowChanged(int y, int x, int count) const {
    const auto bit = static_cast<uint8_t>(1u << (y % 8));
    for (int i = x; i < x + count; ++i)
        if ((wanted(y / 8, i) ^ held(y / 8, i)) & bit) return true;
    return false;
}

void ShadowPageController::endFrame() {
    if (width_ == 0) return;
    if (++framesSinceRefresh_ >= refreshFrames) refreshDue_ = true;
    const bool all = std::exchange(refreshDue_, false);
    if (all) framesSinceRefresh_ = 0;
    sendChanges(all);
    SerialLink::Outcome outcome = link_->flush();
    if (outcome == SerialLink::Outcome::resumed) {
        // Back after a failure: the display may have lost power and everything with it.
        sendSetup();
        sendChanges(true);
        outcome = link_->flush();
    }
    // What went nowhere is not on the display: the whole picture goes again next frame, which
    // is also what finds the device when it comes back.
    if (outcome == SerialLink::Outcome::dropped) refreshDue_ = true;
}

} // namespace tessaranth
