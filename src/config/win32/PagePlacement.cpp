// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/win32/PagePlacement.h"

#include "config/FitLayout.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <tuple>

namespace tessaranth::win32view {

namespace {

constexpr int frameInset = 4;  // room between a frame's right edge and the controls in it

const ControlSpec& controlSpec(int control) { return formControls()[static_cast<std::size_t>(control)]; }

bool isCaptioned(const ControlSpec& c) {
    return c.kind == ControlKind::label || c.kind == ControlKind::heading || c.kind == ControlKind::checkBox ||
           c.kind == ControlKind::button;
}

bool isStretchy(const ControlSpec& c) {
    return c.kind == ControlKind::edit || c.kind == ControlKind::dropDown || c.kind == ControlKind::editableDropDown ||
           c.kind == ControlKind::list || c.kind == ControlKind::slider || c.kind == ControlKind::memo;
}

bool contains(const ControlRect& outer, const ControlRect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

int rightOf(const ControlRect& r) { return r.x + r.width; }

// The width a caption needs in its font: the text, and the box of a check box or the edges
// of a push button around it.
class CaptionMeter {
public:
    CaptionMeter() : dc_(GetDC(nullptr)) {}
    ~CaptionMeter() { ReleaseDC(nullptr, dc_); }
    CaptionMeter(const CaptionMeter&) = delete;
    CaptionMeter& operator=(const CaptionMeter&) = delete;

    int needed(const ControlSpec& c, HFONT font) const {
        if (!isCaptioned(c) || !*c.caption) return 0;
        const HGDIOBJ previous = SelectObject(dc_, font);
        SIZE text{}, digit{};
        GetTextExtentPoint32A(dc_, c.caption, static_cast<int>(std::strlen(c.caption)), &text);
        GetTextExtentPoint32A(dc_, "0", 1, &digit);
        SelectObject(dc_, previous);
        if (c.kind == ControlKind::checkBox) return text.cx + GetSystemMetrics(SM_CXMENUCHECK) + digit.cx / 2;
        if (c.kind == ControlKind::button) return text.cx + 2 * (GetSystemMetrics(SM_CXEDGE) + 2);
        return text.cx;
    }

private:
    HDC dc_;
};

// The innermost frame that holds the control; -1 for none.
int frameOf(const std::vector<int>& members, int control) {
    int frame = -1;
    for (int candidate : members) {
        const ControlSpec& c = controlSpec(candidate);
        if (candidate == control || !isFrame(c) || !contains(c.rect, controlSpec(control).rect)) continue;
        if (frame < 0 || contains(controlSpec(frame).rect, c.rect)) frame = candidate;
    }
    return frame;
}

std::vector<int> membersOf(int page) {
    std::vector<int> members;
    for (int i = 0; i < static_cast<int>(formControls().size()); ++i)
        if (controlSpec(i).page == page) members.push_back(i);
    return members;
}

} // namespace

bool isFrame(const ControlSpec& c) { return c.kind == ControlKind::group || c.kind == ControlKind::radioGroup; }

std::vector<Placed> placeControls(int page, int pageWidth, HFONT font, HFONT headingFont) {
    const std::vector<int> members = membersOf(page);
    int contentRight = 0;
    for (int i : members) contentRight = std::max(contentRight, rightOf(controlSpec(i).rect));
    contentRight = std::min(contentRight, pageWidth - frameInset);

    const CaptionMeter meter;
    std::vector<FitItem> items;
    std::vector<int> frames;
    for (int i : members) {
        const ControlSpec& c = controlSpec(i);
        const int frame = frameOf(members, i);
        frames.push_back(frame);
        // Hidden controls and frames keep their place and take no part in any row.
        const bool inRow = c.visible && !isFrame(c);
        const int right = frame < 0 ? contentRight : rightOf(controlSpec(frame).rect) - frameInset;
        const HFONT captionFont = c.kind == ControlKind::heading ? headingFont : font;
        items.push_back({c.rect, inRow ? meter.needed(c, captionFont) : 0, isStretchy(c), inRow ? frame : -2 - i, right});
    }
    const std::vector<ControlRect> fitted = fitCaptions(items);

    auto readingOrder = [&](std::size_t k) {
        const ControlRect& outer = frames[k] < 0 ? controlSpec(members[k]).rect : controlSpec(frames[k]).rect;
        return std::tuple(isFrame(controlSpec(members[k])), outer.y, outer.x, fitted[k].y, fitted[k].x);
    };
    std::vector<std::size_t> order(members.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return readingOrder(a) < readingOrder(b); });
    std::vector<Placed> placed;
    for (std::size_t k : order) placed.push_back({members[k], fitted[k]});
    return placed;
}

} // namespace tessaranth::win32view
