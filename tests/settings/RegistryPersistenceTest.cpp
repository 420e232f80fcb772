// SPDX-License-Identifier: GPL-2.0-or-later
#include "PluginFixture.h"

#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "platform/Registry.h"
#include "platform/posix/RegistryFile.h"
#include "settings/RegistryAccess.h"
#include "settings/Settings.h"

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace tessaranth::test {
namespace {

const char* const firstUse = "This is the first time you're using Tessaranth.\nClick Configure to configure the plug-in.";
const char* const newVersion =
    "You've installed a new version.\nOld settings are ignored, and the plug-in should be re-configed.";
const char* const keyName = "HKEY_CURRENT_USER\\Software\\Kolvy\\Graphical LCD\\Tessaranth";

class RegistryPersistence : public PluginFixture {
protected:
    Settings& settings() { return *gSettings; }
    SettingsImage& image() { return gSettings->image(); }

    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const MessageBoxRecord& box : host.boxes) texts.push_back(box.text);
        return texts;
    }

    platform::RegistryFile storedKey() const {
        platform::RegistryFile file(keyName);
        EXPECT_TRUE(file.parse(configHome.readRegistry()));
        return file;
    }
};

// Fills every byte of the record, then gives the texts a readable value.
void fill(SettingsImage& image, unsigned seed, const char* background) {
    auto* bytes = reinterpret_cast<unsigned char*>(&image);
    for (std::size_t i = 0; i < sizeof image; ++i) bytes[i] = static_cast<unsigned char>(i * 37 + seed);
    std::strcpy(image.version, "v0.9.3 beta");
    std::strcpy(image.background, background);
}

template <class Field>
void keep(SettingsImage& expected, const SettingsImage& before, Field SettingsImage::*field) {
    std::memcpy(&(expected.*field), &(before.*field), sizeof(Field));
}

TEST_F(RegistryPersistence, EveryStoredFieldComesBackByteForByte) {
    SettingsImage saved;
    fill(saved, 1, "C:\\Skins\\\"Night\" [1].bmp");
    saved.timeType = 7;
    saved.backlight = -128;
    saved.lptAddress = 0x12345;
    image() = saved;
    EXPECT_TRUE(settings().saveToRegistry());

    SettingsImage before;
    fill(before, 2, "another skin that is longer than the saved one");
    image() = before;
    EXPECT_TRUE(settings().loadFromRegistry());
    EXPECT_TRUE(host.boxes.empty());

    // What the registry does not hold keeps the values the record had before the load.
    SettingsImage expected = saved;
    keep(expected, before, &SettingsImage::version);
    keep(expected, before, &SettingsImage::reserved0);
    keep(expected, before, &SettingsImage::reserved1);
    keep(expected, before, &SettingsImage::reserved2);
    keep(expected, before, &SettingsImage::reserved3);
    keep(expected, before, &SettingsImage::reserved4);
    keep(expected, before, &SettingsImage::alignment0);
    keep(expected, before, &SettingsImage::reserved5);
    keep(expected, before, &SettingsImage::reserved6);
    keep(expected, before, &SettingsImage::reserved7);
    keep(expected, before, &SettingsImage::reserved8);
    keep(expected, before, &SettingsImage::legacyLptIndex);
    keep(expected, before, &SettingsImage::reserved9);
    keep(expected, before, &SettingsImage::reserved10);
    keep(expected, before, &SettingsImage::reserved11);
    keep(expected, before, &SettingsImage::alignment1);
    keep(expected, before, &SettingsImage::reserved12);
    keep(expected, before, &SettingsImage::reserved13);
    keep(expected, before, &SettingsImage::reserved14);
    keep(expected, before, &SettingsImage::reserved15);
    expected.timeType = 1;
    const std::size_t text = std::strlen(saved.background) + 1;  // the text and its terminator
    std::memcpy(expected.background + text, before.background + text, sizeof expected.background - text);

    const auto* actual = reinterpret_cast<const unsigned char*>(&image());
    const auto* wanted = reinterpret_cast<const unsigned char*>(&expected);
    for (std::size_t i = 0; i < sizeof expected; ++i)
        EXPECT_EQ(actual[i], wanted[i]) << "image offset 0x" << std::hex << i;
    EXPECT_EQ(settings().lptAddress(), 0x2345) << "the accessor uses the low 16 bits";
}

TEST_F(RegistryPersistence, SavesThe103ValuesThenTheBusByNameTypeAndOrder) {
    using platform::regBinary;
    using platform::regDword;
    using platform::regSz;
    const std::vector<std::pair<const char*, uint32_t>> values = {
        {"Version", regSz}, {"Update delay", regDword}, {"Interface timing", regDword}, {"Inverse", regBinary},
        {"Time type", regBinary}, {"Auto sensing", regBinary}, {"Ext track support", regBinary},
        {"Backlight", regDword}, {"Track numbering", regBinary}, {"Show splashscreen", regBinary},
        {"Enable buttons", regBinary}, {"Scroll speed", regDword}, {"Scroll title", regBinary},
        {"Scroll artist", regBinary}, {"Font", regDword}, {"Background", regSz}, {"Brightness", regDword},
        {"Current position", regDword}, {"Show playlist", regBinary}, {"Show analyzer", regBinary},
        {"Show scope", regBinary}, {"Show modelengine", regBinary}, {"Show VU meter", regBinary},
        {"Analyzer sens", regDword}, {"Non-linear analyzer", regBinary}, {"Stereo analyzer", regBinary},
        {"Block analyzer", regBinary}, {"Smooth analyzer", regBinary}, {"Falloff", regDword},
        {"Peak hold", regDword}, {"Analyzer type", regDword}, {"Scope sens", regDword},
        {"Stereo scope", regBinary}, {"Block scope", regBinary}, {"Smooth scope", regBinary},
        {"Scope type", regDword}, {"VU meter sens", regDword}, {"VU meter range", regDword},
        {"VU meter type", regDword}, {"Show title", regBinary}, {"Show artist", regBinary},
        {"Show track", regBinary}, {"Show time", regBinary}, {"Show samplerate", regBinary},
        {"Show bitrate", regBinary}, {"Show trackinfo", regBinary}, {"Show status", regBinary},
        {"Show repeat", regBinary}, {"Show shuffle", regBinary}, {"Title XY", regDword}, {"Artist XY", regDword},
        {"Track XY", regDword}, {"Time XY", regDword}, {"Samplerate XY", regDword}, {"Bitrate XY", regDword},
        {"Trackinfo XY", regDword}, {"Status XY", regDword}, {"Shuffle XY", regDword}, {"Repeat XY", regDword},
        {"Title length", regDword}, {"Artist length", regDword}, {"Realtime update", regBinary},
        {"Playlist height", regDword}, {"Playlist width", regDword}, {"Playlist XY", regDword},
        {"Analyzer height", regDword}, {"Analyzer width", regDword}, {"Analyzer XY", regDword},
        {"Scope height", regDword}, {"Scope width", regDword}, {"Scope XY", regDword},
        {"Modelengine height", regDword}, {"Modelengine width", regDword}, {"Modelengine XY", regDword},
        {"VU meter height", regDword}, {"VU meter width", regDword}, {"VU meter XY", regDword},
        {"LPT address", regDword}, {"Controller", regDword}, {"API", regDword}, {"Display format", regDword},
        {"Chip select", regDword}, {"Command select", regDword}, {"Write", regDword}, {"Read", regDword},
        {"Reset", regDword}, {"Button wiring", regDword}, {"Button 1", regDword}, {"Button 2", regDword},
        {"Button 3", regDword}, {"Button 4", regDword}, {"Button 5", regDword}, {"Button 6", regDword},
        {"Button 7", regDword}, {"Button 8", regDword}, {"Button 9", regDword}, {"Button 10", regDword},
        {"Button 11", regDword}, {"Button 12", regDword}, {"Button 13", regDword}, {"Button 14", regDword},
        {"Button 15", regDword}, {"Button 16", regDword},
        // The display's bus, after the record's own values.
        {"I2C device", regSz}, {"I2C address", regDword}, {"SPI device", regSz}, {"SPI speed", regDword},
        {"D/C chip", regSz}, {"D/C line", regDword}, {"Reset chip", regSz}, {"Reset line", regDword},
        {"SH1106 column offset", regDword}, {"Parallel on GPIO", regBinary}, {"GPIO chip", regSz},
        {"GPIO D0", regDword}, {"GPIO D1", regDword}, {"GPIO D2", regDword}, {"GPIO D3", regDword},
        {"GPIO D4", regDword}, {"GPIO D5", regDword}, {"GPIO D6", regDword}, {"GPIO D7", regDword},
        {"GPIO pin 1", regDword}, {"GPIO pin 14", regDword}, {"GPIO pin 16", regDword}, {"GPIO pin 17", regDword}};
    ASSERT_EQ(values.size(), 126u);
    std::filesystem::remove(configHome.registryPath());
    settings().saveToRegistry();
    const platform::RegistryFile stored = storedKey();
    ASSERT_EQ(stored.values().size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(stored.values()[i].name, values[i].first) << "value " << i;
        EXPECT_EQ(stored.values()[i].type, values[i].second) << values[i].first;
        const std::size_t size = stored.values()[i].data.size();
        const std::size_t expectedSize = values[i].second == regDword ? 4 : values[i].second == regBinary ? 1 : size;
        EXPECT_EQ(size, expectedSize) << values[i].first;
    }
}

TEST_F(RegistryPersistence, StoredFormsOfSignedFlagTextAndWideValues) {
    settings().setTimeType(7);
    image().backlight = -2;
    image().lptAddress = 0x12345;
    settings().setBackground("C:\\skin.bmp");
    settings().setButtonFunction(15, 9);
    settings().setUpdateDelay(-5);
    settings().saveToRegistry();
    const platform::RegistryFile stored = storedKey();
    EXPECT_EQ(stored.find("Version")->data, std::vector<uint8_t>({'v', '0', '.', '9', '.', '3', ' ', 'b', 'e', 't', 'a'}));
    EXPECT_EQ(stored.find("Time type")->data, std::vector<uint8_t>{1});
    EXPECT_EQ(stored.find("Backlight")->data, std::vector<uint8_t>({0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(stored.find("LPT address")->data, std::vector<uint8_t>({0x45, 0x23, 0x01, 0x00}));
    EXPECT_EQ(stored.find("Background")->data.size(), std::strlen("C:\\skin.bmp")) << "no terminator";
    EXPECT_EQ(stored.find("Button 16")->data, std::vector<uint8_t>({9, 0, 0, 0}));
    EXPECT_EQ(stored.find("Update delay")->data, std::vector<uint8_t>({0xFB, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(stored.find("Analyzer XY")->data, std::vector<uint8_t>({0x18, 0x11, 0, 0}));
}

// The record is its own: its version text and every value it saves are its own, with or
// without the plug-in object, and whichever record is the global one.
TEST_F(RegistryPersistence, ARecordSavesItsOwnValuesWithoutThePluginObject) {
    settings().setUpdateDelay(60);
    {
        Settings other;
        other.setUpdateDelay(25);
        other.saveToRegistry();
    }
    EXPECT_EQ(storedKey().find("Update delay")->data, std::vector<uint8_t>({25, 0, 0, 0}));

    unloadPlugin();
    Settings alone;
    EXPECT_STREQ(alone.image().version, "v0.9.3 beta");
    alone.setScopeX(9);
    alone.saveToRegistry();
    Settings loaded;
    EXPECT_TRUE(loaded.loadFromRegistry());
    EXPECT_EQ(loaded.updateDelay(), 60);
    EXPECT_EQ(loaded.scopeXY(), 0x0928);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(storedKey().find("Version")->data,
              std::vector<uint8_t>({'v', '0', '.', '9', '.', '3', ' ', 'b', 'e', 't', 'a'}));
}

TEST_F(RegistryPersistence, FirstUseShowsTwoBoxesAndKeepsTheRecord) {
    std::filesystem::remove(configHome.registryPath());
    settings().setScrollSpeed(9);
    const SettingsImage before = image();
    EXPECT_FALSE(settings().loadFromRegistry());
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Registry read error", firstUse}));
    for (const MessageBoxRecord& box : host.boxes) {
        EXPECT_EQ(box.caption, "Tessaranth");
        EXPECT_EQ(box.style, 0x30u);
    }
    EXPECT_EQ(platform::lastError(), 2u);
    EXPECT_EQ(std::memcmp(&image(), &before, sizeof before), 0);
    EXPECT_FALSE(configHome.registryExists()) << "a load writes nothing";
}

TEST_F(RegistryPersistence, AKeyWithoutVersionIsFirstUseToo) {
    replaceStored("Version", "");
    EXPECT_FALSE(settings().loadFromRegistry());
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Registry read error", firstUse}));
}

TEST_F(RegistryPersistence, AnotherVersionIsAnnouncedAndNothingElseIsRead) {
    replaceStored("Version", "\"Version\"=\"v0.9.2 beta\"");
    replaceStored("Update delay", "\"Update delay\"=dword:00000099");
    const std::string stored = configHome.readRegistry();
    EXPECT_FALSE(settings().loadFromRegistry());
    EXPECT_EQ(boxTexts(), std::vector<std::string>{newVersion});
    EXPECT_EQ(settings().updateDelay(), 60);
    EXPECT_EQ(configHome.readRegistry(), stored);
}

TEST_F(RegistryPersistence, TheVersionComparesCaseSensitively) {
    replaceStored("Version", "\"Version\"=\"V0.9.3 BETA\"");
    EXPECT_FALSE(settings().loadFromRegistry());
    EXPECT_EQ(boxTexts(), std::vector<std::string>{newVersion});
}

TEST_F(RegistryPersistence, AVersionLongerThanTheBufferCountsAsFirstUse) {
    replaceStored("Version", "\"Version\"=\"" + std::string(129, 'v') + "\"");
    EXPECT_FALSE(settings().loadFromRegistry());
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Registry read error", firstUse}));
    EXPECT_EQ(platform::lastError(), 234u);

    host.clear();
    replaceStored("Version", "\"Version\"=\"" + std::string(128, 'v') + "\"");
    EXPECT_FALSE(settings().loadFromRegistry());
    EXPECT_EQ(boxTexts(), std::vector<std::string>{newVersion}) << "128 bytes fit the buffer";
}

TEST_F(RegistryPersistence, AMissingValueIsReportedAndTheLoadGoesOn) {
    replaceStored("Scroll speed", "");
    replaceStored("Inverse", "");
    replaceStored("Background", "");
    replaceStored("Button 16", "\"Button 16\"=dword:00000004");
    settings().setScrollSpeed(9);
    settings().setInverse(1);
    settings().setBackground("kept");
    EXPECT_TRUE(settings().loadFromRegistry());
    EXPECT_EQ(boxTexts(), std::vector<std::string>(3, "Registry read error"));
    EXPECT_EQ(settings().scrollSpeed(), 0) << "a number that failed to load holds 0";
    EXPECT_EQ(settings().inverse(), 1) << "a byte that failed to load keeps its value";
    EXPECT_STREQ(settings().background(), "kept");
    EXPECT_EQ(settings().buttonFunction(15), 4) << "the values after the missing ones were read";
    EXPECT_EQ(platform::lastError(), 2u);
}

TEST_F(RegistryPersistence, AValueOfAnotherTypeOrSizeFailsItsRead) {
    // Before each load the record holds values that differ from the stored defaults.
    const auto prepare = [this] {
        settings().setScrollSpeed(9);
        settings().setInverse(1);
        settings().setBackground("kept");
        settings().setUpdateDelay(77);
    };
    struct Case {
        const char* name;
        const char* line;
        uint32_t lastError;
        bool (*failedAsExpected)(const Settings&);  // the field after its read failed
    };
    const Case cases[] = {
        {"Scroll speed", "\"Scroll speed\"=hex:05", 1629, [](const Settings& s) { return s.scrollSpeed() == 0; }},
        {"Inverse", "\"Inverse\"=\"x\"", 1629, [](const Settings& s) { return s.inverse() == 1; }},
        {"Inverse", "\"Inverse\"=dword:00000001", 234, [](const Settings& s) { return s.inverse() == 1; }},
        {"Inverse", "\"Inverse\"=hex:", 13, [](const Settings& s) { return s.inverse() == 1; }},
        {"Inverse", "\"Inverse\"=hex:01,01", 234, [](const Settings& s) { return s.inverse() == 1; }},
        {"Background", "\"Background\"=hex:41,42", 1629,
         [](const Settings& s) { return std::string(s.background()) == "kept"; }},
        {"Update delay", "\"Update delay\"=hex(4):3c,00", 13, [](const Settings& s) { return s.updateDelay() == 0; }},
    };
    for (const Case& c : cases) {
        host.clear();
        configHome.writeRegistry(defaultRegistryText());
        replaceStored(c.name, c.line);
        prepare();
        EXPECT_TRUE(settings().loadFromRegistry()) << c.line;
        EXPECT_EQ(boxTexts(), std::vector<std::string>{"Registry read error"}) << c.line;
        EXPECT_EQ(platform::lastError(), c.lastError) << c.line;
        EXPECT_TRUE(c.failedAsExpected(settings())) << c.line;
    }
    // The same record loads the intact defaults over every one of those values.
    configHome.writeRegistry(defaultRegistryText());
    prepare();
    EXPECT_TRUE(settings().loadFromRegistry());
    EXPECT_EQ(settings().scrollSpeed(), 5);
    EXPECT_EQ(settings().inverse(), 0);
    EXPECT_STREQ(settings().background(), "No skin selected");
    EXPECT_EQ(settings().updateDelay(), 60);
}

TEST_F(RegistryPersistence, TheAccessorSignalsATypeErrorAndAMissingBufferWithoutABox) {
    RegistryAccess registry;
    const uint32_t root = settings().rootKey();
    const char* path = settings().keyPath();
    uint32_t value = 99;
    EXPECT_EQ(registry.readDword(root, path, "Inverse", value), RegistryRead::typeError);
    EXPECT_EQ(static_cast<int32_t>(RegistryRead::typeError), 1);
    EXPECT_EQ(value, 0u);
    uint32_t size = 128;
    EXPECT_EQ(registry.readString(root, path, "Background", nullptr, size), RegistryRead::missingBuffer);
    EXPECT_EQ(static_cast<int32_t>(RegistryRead::missingBuffer), 4);
    EXPECT_EQ(registry.readBinary(root, path, "Inverse", nullptr, size), RegistryRead::missingBuffer);
    EXPECT_TRUE(host.boxes.empty());
    char text[128];
    size = sizeof text;
    EXPECT_EQ(registry.readString(root, path, "Background", text, size), RegistryRead::ok);
    EXPECT_EQ(std::string(text, size), "No skin selected");
}

TEST_F(RegistryPersistence, BackgroundTextsAreBoundedByTheirBuffer) {
    settings().setBackground(std::string(100, 'X').c_str());
    replaceStored("Background", "\"Background\"=\"abc\"");
    EXPECT_TRUE(settings().loadFromRegistry());
    EXPECT_STREQ(settings().background(), "abc") << "the text read carries no terminator";

    replaceStored("Background", "\"Background\"=\"" + std::string(128, 'b') + "\"");
    EXPECT_TRUE(settings().loadFromRegistry());
    EXPECT_EQ(std::string(settings().background()), std::string(127, 'b'));
    EXPECT_TRUE(host.boxes.empty());

    replaceStored("Background", "\"Background\"=\"" + std::string(129, 'c') + "\"");
    EXPECT_TRUE(settings().loadFromRegistry());
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Registry read error"});
    EXPECT_EQ(std::string(settings().background()), std::string(127, 'b'));
}

// A save is one transaction: whatever fails, the caller hears of it, the user sees one box, and
// the registry keeps the record it had.
TEST_F(RegistryPersistence, ASaveThatFailsShowsOneBoxAndKeepsTheOldRecord) {
    std::filesystem::remove_all(configHome.path() + "/tessaranth");
    std::ofstream(configHome.path() + "/tessaranth") << "a file where the folder belongs";
    EXPECT_FALSE(settings().saveToRegistry());
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Registry write error"});
    EXPECT_NE(platform::lastError(), 0u);

    std::filesystem::remove(configHome.path() + "/tessaranth");
    std::filesystem::create_directories(configHome.registryPath());  // a file that cannot be read
    host.boxes.clear();
    EXPECT_FALSE(settings().saveToRegistry());
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Error creating registry key"});
    EXPECT_EQ(platform::lastError(), static_cast<uint32_t>(platform::errorAccessDenied));

    std::filesystem::remove(configHome.registryPath());
    configHome.writeRegistry(defaultRegistryText());
    host.boxes.clear();
    RegistryAccess registry;
    ASSERT_TRUE(registry.createKey(settings().rootKey(), settings().keyPath()));
    EXPECT_TRUE(registry.writeDword("Update delay", 7));
    EXPECT_FALSE(registry.writeDword(nullptr, 8));
    EXPECT_FALSE(registry.writeDword("Scroll speed", 9)) << "a save goes no further once a write failed";
    EXPECT_TRUE(host.boxes.empty()) << "the box comes once, at the end";
    EXPECT_FALSE(registry.commit());
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Registry write error"});
    EXPECT_EQ(platform::lastError(), static_cast<uint32_t>(platform::errorInvalidParameter));
    EXPECT_EQ(configHome.readRegistry(), defaultRegistryText()) << "the record on disk stays whole";
}

TEST_F(RegistryPersistence, SettingsSavedOnOneRunAreInForceOnTheNext) {
    std::filesystem::remove(configHome.registryPath());
    settings().setUpdateDelay(33);
    settings().setScopeX(9);
    settings().saveToRegistry();
    unloadPlugin();
    loadPlugin();
    module().playerWindow = player.window();
    EXPECT_EQ(module().initCallback(&module()), 0);
    render();
    EXPECT_EQ(module().delayMillis, 33);
    EXPECT_EQ(gSettings->scopeXY(), 0x0928);
    for (const std::string& text : boxTexts()) {
        EXPECT_NE(text, "Registry read error");
        EXPECT_NE(text, firstUse);
        EXPECT_NE(text, newVersion);
    }
}

} // namespace
} // namespace tessaranth::test
