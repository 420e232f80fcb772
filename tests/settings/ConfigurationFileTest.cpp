// SPDX-License-Identifier: GPL-2.0-or-later
#include "FakeFileDialogs.h"
#include "PluginFixture.h"

#include "globals/Globals.h"
#include "settings/Settings.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tessaranth::test {
namespace {

class ConfigurationFile : public PluginFixture {
protected:
    Settings& settings() { return *gSettings; }
    SettingsImage& image() { return gSettings->image(); }
    std::string file(const char* name) const { return configHome.path() + "/" + name; }

    std::vector<unsigned char> read(const std::string& path) const {
        std::ifstream stream(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    }

    void write(const std::string& path, const std::vector<unsigned char>& bytes) const {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
    }

    static std::vector<unsigned char> bytesOf(const SettingsImage& image) {
        const auto* begin = reinterpret_cast<const unsigned char*>(&image);
        return {begin, begin + sizeof image};
    }

    FakeFileDialogs dialogs;
};

TEST_F(ConfigurationFile, ASavedFileIsTheRecordsImage) {
    settings().setTitleX(3);
    settings().setLptAddress(0x2BC);
    dialogs.choose(file("a.tzn"));
    EXPECT_TRUE(settings().saveToFile());
    const std::vector<unsigned char> saved = read(file("a.tzn"));
    ASSERT_EQ(saved.size(), 520u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(saved.data()), 12), std::string("v0.9.3 beta\0", 12));
    EXPECT_EQ(saved[0x122], 0x18);  // the analyzer at X 17, Y 24: Y first
    EXPECT_EQ(saved[0x123], 0x11);
    EXPECT_EQ(saved[0x103], 3);     // title X
    EXPECT_EQ(saved[0x168], 0xBC);
    EXPECT_EQ(saved[0x169], 0x02);
    EXPECT_EQ(saved, bytesOf(image()));
    EXPECT_TRUE(host.boxes.empty());

    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].kind, platform::FileDialogKind::save);
    EXPECT_EQ(dialogs.requests[0].title, "Save Tessaranth configuration");
    EXPECT_EQ(dialogs.requests[0].filter, "Tessaranth configuration (*.tzn)|*.tzn");
    EXPECT_EQ(dialogs.requests[0].defaultExtension, ".tzn");
}

TEST_F(ConfigurationFile, SaveThenLoadReproducesTheRecordByteForByte) {
    auto* bytes = reinterpret_cast<unsigned char*>(&image());
    for (std::size_t i = 0; i < sizeof(SettingsImage); ++i) bytes[i] = static_cast<unsigned char>(i * 13 + 5);
    std::strcpy(image().version, "v0.9.3 beta");
    image().background[127] = '\0';
    image().reserved14[63] = '\0';
    image().reserved15[65] = '\0';
    const std::vector<unsigned char> saved = bytesOf(image());
    dialogs.choose(file("b.tzn"));
    ASSERT_TRUE(settings().saveToFile());

    SettingsImage other{};
    image() = other;
    EXPECT_TRUE(settings().loadFromFile());
    EXPECT_EQ(bytesOf(image()), saved);
    EXPECT_STREQ(settings().loadedVersion(), "v0.9.3 beta");
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[1].kind, platform::FileDialogKind::open);
    EXPECT_EQ(dialogs.requests[1].title, "Load Tessaranth configuration");
    EXPECT_EQ(dialogs.requests[1].filter, "Tessaranth configuration (*.tzn)|*.tzn");
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(ConfigurationFile, OldFilesHaveTheirPortIndexConverted) {
    struct Case {
        const char* version;
        uint8_t index;
        uint16_t address;
    };
    const Case cases[] = {
        {"v0.9.2 beta", 2, 0x3BC},  {"v0.9.2 alpha", 1, 0x278}, {"v0.9.2 beta", 0, 0x378},
        {"v0.9.2 alpha", 3, 0x2BC}, {"v0.9.2 beta", 7, 0x1234},  // no such index: the file's address
        {"v0.9.3 beta", 2, 0x1234},                               // a newer file keeps its address
        {"v0.9.2 Beta", 2, 0x1234},                               // only the exact texts
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes(520, 0);
        std::strcpy(reinterpret_cast<char*>(bytes.data()), c.version);
        bytes[0x140] = c.index;
        bytes[0x168] = 0x34;
        bytes[0x169] = 0x12;
        write(file("old.tzn"), bytes);
        dialogs.choose(file("old.tzn"));
        settings().setLptAddress(0x378);
        EXPECT_TRUE(settings().loadFromFile());
        EXPECT_EQ(settings().lptAddress(), c.address) << c.version << " index " << int(c.index);
        EXPECT_STREQ(settings().loadedVersion(), c.version);
    }
}

TEST_F(ConfigurationFile, AShortFileReplacesOnlyItsLeadingBytes) {
    const std::string oldBackground = "C:\\skins\\a long name.bmp";
    settings().setBackground(oldBackground.c_str());
    const std::vector<unsigned char> before = bytesOf(image());
    std::vector<unsigned char> bytes(100, 0x01);
    std::strcpy(reinterpret_cast<char*>(bytes.data()), "v0.9.1");
    write(file("short.tzn"), bytes);
    dialogs.choose(file("short.tzn"));
    EXPECT_TRUE(settings().loadFromFile());
    const std::vector<unsigned char> after = bytesOf(image());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), after.begin()));
    EXPECT_TRUE(std::equal(before.begin() + 100, before.end(), after.begin() + 100));
    EXPECT_EQ(settings().updateDelay(), 0x01010101);
    // The file's last 18 bytes are the background's first 18; the rest of the old text stays.
    EXPECT_EQ(std::string(settings().background()), std::string(18, '\x01') + oldBackground.substr(18));
    EXPECT_STREQ(settings().loadedVersion(), "v0.9.1");
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(ConfigurationFile, ALongerFileGivesOnlyItsFirst520Bytes) {
    std::vector<unsigned char> bytes(600, 0x02);
    std::strcpy(reinterpret_cast<char*>(bytes.data()), "v9");
    write(file("long.tzn"), bytes);
    dialogs.choose(file("long.tzn"));
    const std::string loadedBefore = settings().loadedVersion();
    EXPECT_TRUE(settings().loadFromFile());
    EXPECT_EQ(image().lptAddress, 0x02020202u);
    EXPECT_EQ(image().reserved15[64], 0x02);
    EXPECT_EQ(image().reserved15[65], 0) << "the last text ends inside its field";
    EXPECT_STREQ(settings().loadedVersion(), "v9");
}

TEST_F(ConfigurationFile, EveryTextFieldEndsInsideItsWidthAfterALoad) {
    write(file("texts.tzn"), std::vector<unsigned char>(520, 'A'));
    dialogs.choose(file("texts.tzn"));
    EXPECT_TRUE(settings().loadFromFile());
    EXPECT_EQ(std::string(image().version), std::string(63, 'A'));
    EXPECT_EQ(std::string(settings().background()), std::string(127, 'A'));
    EXPECT_EQ(std::string(image().reserved14), std::string(63, 'A'));
    EXPECT_EQ(std::string(image().reserved15), std::string(65, 'A'));
    EXPECT_EQ(std::string(settings().loadedVersion()), std::string(31, 'A'));
    EXPECT_EQ(settings().updateDelay(), 0x41414141) << "every other value stays as loaded";
    EXPECT_EQ(image().reserved13[9], 'A');
}

TEST_F(ConfigurationFile, CancellingTouchesNothing) {
    settings().setLptAddress(0x278);
    const std::vector<unsigned char> before = bytesOf(image());
    dialogs.cancel();
    EXPECT_TRUE(settings().loadFromFile());
    EXPECT_TRUE(settings().saveToFile());
    EXPECT_EQ(bytesOf(image()), before);
    EXPECT_EQ(settings().lptAddress(), 0x278);
    EXPECT_STREQ(settings().loadedVersion(), "");
    EXPECT_EQ(dialogs.requests.size(), 2u);
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(ConfigurationFile, AFileThatCannotBeOpenedOrCreatedIsReported) {
    const std::vector<unsigned char> before = bytesOf(image());
    dialogs.choose(file("missing.tzn"));
    EXPECT_FALSE(settings().loadFromFile());
    dialogs.choose(file("no/such/folder/x.tzn"));
    EXPECT_FALSE(settings().saveToFile());
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[0].text, "Error loading configuration");
    EXPECT_EQ(host.boxes[1].text, "Error saving configuration");
    for (const MessageBoxRecord& box : host.boxes) {
        EXPECT_EQ(box.caption, "Tessaranth");
        EXPECT_EQ(box.style, 0x30u);
    }
    EXPECT_EQ(bytesOf(image()), before);
}

TEST_F(ConfigurationFile, ANameAsLongAsTheSystemAllowsSavesToo) {
    const std::string name = std::string(251, 'n') + ".tzn";
    dialogs.choose(file(name.c_str()));
    EXPECT_TRUE(settings().saveToFile());
    EXPECT_EQ(read(file(name.c_str())), bytesOf(image()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(configHome.path()), {}), 2) << "the file and the registry's folder";
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(ConfigurationFile, SavingReplacesAnExistingFile) {
    write(file("c.tzn"), std::vector<unsigned char>(1000, 0xFF));
    dialogs.choose(file("c.tzn"));
    EXPECT_TRUE(settings().saveToFile());
    EXPECT_EQ(read(file("c.tzn")), bytesOf(image()));
}

} // namespace
} // namespace tessaranth::test
