// SPDX-License-Identifier: GPL-2.0-or-later
// What every controller emulator offers: the picture its glass shows now, the look of the
// panel, and the log of what it could not understand.
#pragma once

#include "emu/PanelLook.h"
#include "emu/ProblemLog.h"
#include "emu/ScreenImage.h"

namespace tessaranth::emu {

class Emulator {
public:
    virtual ~Emulator() = default;

    virtual ScreenImage screen() const = 0;
    // An LCD module comes with a green-grey or a blue panel; a VFD ignores this.
    virtual PanelLook look() const { return {panelKind_, 1.0}; }
    void setPanelKind(PanelKind kind) { panelKind_ = kind; }

    const ProblemLog& problems() const { return problems_; }
    ProblemLog& problems() { return problems_; }

protected:
    ProblemLog problems_;

private:
    PanelKind panelKind_ = PanelKind::LcdGreen;
};

} // namespace tessaranth::emu
