// SPDX-License-Identifier: GPL-2.0-or-later
// Text rows on the two text-layer controllers at the sizes where the text area and the graphic
// rows differ in length: every row lands where the controller itself shows text row r.
#include "EmulatedPlugin.h"

#include "emu/Sed133xEmulator.h"
#include "emu/T6963CEmulator.h"
#include "globals/Globals.h"
#include "settings/Settings.h"

#include <string>

namespace tessaranth::test {
namespace {

struct TextRowsCase {
    uint8_t controller;
    uint8_t displayFormat;
    int columns;  // of a text row in display memory
};

class EmuTextRows : public EmulatedPlugin, public ::testing::WithParamInterface<TextRowsCase> {
protected:
    void SetUp() override {
        EmulatedPlugin::SetUp();
        attachDisplay({.controller = GetParam().controller, .displayFormat = GetParam().displayFormat});
        gSettings->setShowScope(0);
        gSettings->setShowVUMeter(0);
        gSettings->setBlockAnalyzer(1);
        playStandardTrack();
    }

    // The character codes of text row `row`, read where the controller reads them: from the
    // first screen block at its address pitch, or from the text home at the text area.
    std::vector<uint8_t> textRow(int row) const {
        const auto* sed = dynamic_cast<const emu::Sed133xEmulator*>(&display->emulator());
        const auto* t6963c = dynamic_cast<const emu::T6963CEmulator*>(&display->emulator());
        std::vector<uint8_t> codes;
        for (int c = 0; c < GetParam().columns; ++c) {
            if (sed) codes.push_back(sed->memory(static_cast<uint16_t>(sed->blockStart(1) + row * sed->addressPitch() + c)));
            if (t6963c) codes.push_back(t6963c->memory(static_cast<uint16_t>(t6963c->textHome() + row * t6963c->textArea() + c)));
        }
        return codes;
    }
    // Every text-layer clear on the SED ends with the reset code 0, a command byte the chip
    // does not know; nothing else may puzzle the emulator.
    void expectOnlyResetCodesUnknown() const {
        for (const std::string& message : display->problems().messages()) EXPECT_EQ(message, "unknown command 0x00");
        if (GetParam().controller == 0) expectUnderstood(*display);
    }
    // A text longer than the row shown runs on into the next row's memory: compare what is shown.
    void expectRowStartsWith(int row, const std::string& text) const {
        const std::string shown = textOf(row);
        const size_t n = std::min(shown.size(), text.size());
        EXPECT_EQ(shown.substr(0, n), text.substr(0, n)) << "row " << row;
    }
    // The row as text: the SED stores ASCII, the T6963C ASCII - 32.
    std::string textOf(int row) const {
        std::string text;
        for (uint8_t code : textRow(row)) text += static_cast<char>(GetParam().controller == 0 ? code + 32 : code);
        return text;
    }
};

TEST_P(EmuTextRows, BlockAnalyzerRowsAndTheirClearingLandOnTheirRows) {
    init();
    render(3);
    // The analyzer's cells are the first `analyzerWidth` of text rows 3 to 5; its bottom row
    // always holds a bar glyph.
    const size_t cells = gSettings->analyzerWidth();
    ASSERT_EQ(gSettings->analyzerXY() & 0xFF, 24);
    ASSERT_EQ(gSettings->analyzerHeight(), 24u);
    for (int row = 0; row < 8; ++row) {
        const std::vector<uint8_t> codes = textRow(row);
        for (size_t c = 0; c < codes.size(); ++c) {
            const bool analyzer = row >= 3 && row <= 5 && c < cells;
            const bool barGlyph = codes[c] >= 128 && codes[c] <= 135;
            if (!analyzer) {
                ASSERT_FALSE(barGlyph) << "row " << row << " cell " << c;
            } else if (row == 5) {
                ASSERT_TRUE(barGlyph) << "cell " << c;
            }
        }
    }
    quit();
    for (int row = 3; row <= 5; ++row)
        for (size_t c = 0; c < cells; ++c) EXPECT_EQ(textRow(row)[c], 0) << "row " << row << " cell " << c;
    expectOnlyResetCodesUnknown();
}

// A farewell text centred in its field: left padding (length - n) / 2.
std::string centred(const std::string& text, size_t fieldLength) { return std::string((fieldLength - text.size()) / 2, ' ') + text; }

TEST_P(EmuTextRows, FarewellTitleAndArtistLandOnRowsZeroAndOne) {
    init();
    quit();
    const size_t titleLength = gSettings->titleLength();
    const size_t artistLength = gSettings->artistLength();
    const std::string title = centred(titleLength <= 21 ? "Tessaranth" : "Tessaranth is shutdown", titleLength);
    const std::string artist = centred("..:: BYE BYE ::..", artistLength);
    expectRowStartsWith(0, title);
    expectRowStartsWith(1, artist);
    expectOnlyResetCodesUnknown();
}

INSTANTIATE_TEST_SUITE_P(Sizes, EmuTextRows,
                         ::testing::Values(TextRowsCase{1, 0, 21}, TextRowsCase{1, 7, 32}, TextRowsCase{0, 0, 21},
                                           TextRowsCase{0, 7, 32}),
                         [](const ::testing::TestParamInfo<TextRowsCase>& param) {
                             return std::string(param.param.controller == 0 ? "T6963C_" : "SED1330_") +
                                    (param.param.displayFormat == 0 ? "128x64" : "192x64");
                         });

} // namespace
} // namespace tessaranth::test
