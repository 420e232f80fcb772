// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Registry.h"
#include "platform/posix/RegistryFile.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tessaranth::test {
namespace {

using platform::RegistryFile;

const char* const ourKey = "HKEY_CURRENT_USER\\Software\\Vendor\\Product";

std::vector<uint8_t> bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::string withLf(std::string text) {
    std::erase(text, '\r');
    return text;
}

// Laid out as the registry editor exports a branch: CRLF, a key before and after ours, long
// binary values wrapped with a trailing backslash, blank lines between keys.
const std::string exported =
    "REGEDIT4\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Vendor]\r\n"
    "\"Other\"=\"not ours\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Vendor\\Product]\r\n"
    "\"Version\"=\"v1.0\"\r\n"
    "\"Path\"=\"C:\\\\Skins\\\\\\\"quoted\\\".bmp\"\r\n"
    "\"Delay\"=dword:0000003c\r\n"
    "\"Flag\"=hex:01\r\n"
    "\"Long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
    "  17,18,19\r\n"
    "\"Expand\"=hex(2):25,00\r\n"
    "@=\"default\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Vendor\\Product\\Sub]\r\n"
    "\"Delay\"=dword:00000001\r\n"
    "\"Wrapped\"=hex:00,01,\\\r\n"
    "  02\r\n"
    "\r\n";

TEST(RegistryFile, ReadsTheKeyOfAnExportedFileAndNothingElse) {
    for (const std::string& text : {exported, withLf(exported)}) {
        RegistryFile file(ourKey);
        ASSERT_TRUE(file.parse(text));
        ASSERT_TRUE(file.hasKey());
        ASSERT_EQ(file.values().size(), 6u) << "other keys and the default value are skipped";
        EXPECT_EQ(file.find("Other"), nullptr);
        EXPECT_EQ(file.find("Version")->type, platform::regSz);
        EXPECT_EQ(file.find("Version")->data, bytes("v1.0"));
        EXPECT_EQ(file.find("Path")->data, bytes("C:\\Skins\\\"quoted\".bmp"));
        EXPECT_EQ(file.find("Delay")->type, platform::regDword);
        EXPECT_EQ(file.find("Delay")->data, (std::vector<uint8_t>{0x3c, 0, 0, 0}));
        EXPECT_EQ(file.find("Flag")->type, platform::regBinary);
        EXPECT_EQ(file.find("Flag")->data, std::vector<uint8_t>{1});
        ASSERT_EQ(file.find("Long")->data.size(), 26u);
        EXPECT_EQ(file.find("Long")->data[25], 25);
        EXPECT_EQ(file.find("Expand")->type, 2u);
    }
}

TEST(RegistryFile, NamesOfKeysAndValuesIgnoreCaseAndLaterLinesWin) {
    RegistryFile file(ourKey);
    ASSERT_TRUE(file.parse("REGEDIT4\n\n[hkey_current_user\\SOFTWARE\\vendor\\product]\n"
                           "\"A\"=dword:1\n; a comment\n\"a\"=dword:00000002\n\"Gone\"=hex:01\n\"gone\"=-\n"));
    ASSERT_EQ(file.values().size(), 1u);
    EXPECT_EQ(file.find("A")->data[0], 2);
    EXPECT_EQ(file.find("GONE"), nullptr);
}

TEST(RegistryFile, WritesTheEditorsLayoutWithCrlf) {
    RegistryFile file(ourKey);
    const uint8_t dword[4] = {0x45, 0x23, 0x01, 0x00};
    const uint8_t flag = 1;
    const std::string path = "C:\\a \"b\"";
    file.set("Version", platform::regSz, reinterpret_cast<const uint8_t*>("v1.0"), 4);
    file.set("LPT address", platform::regDword, dword, 4);
    file.set("Inverse", platform::regBinary, &flag, 1);
    file.set("Background", platform::regSz, reinterpret_cast<const uint8_t*>(path.data()), path.size());
    EXPECT_EQ(file.write(), "REGEDIT4\r\n"
                            "\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Vendor\\Product]\r\n"
                            "\"Version\"=\"v1.0\"\r\n"
                            "\"LPT address\"=dword:00012345\r\n"
                            "\"Inverse\"=hex:01\r\n"
                            "\"Background\"=\"C:\\\\a \\\"b\\\"\"\r\n"
                            "\r\n");
}

TEST(RegistryFile, ValuesTheTextFormsCannotHoldAreWrittenAsHex) {
    RegistryFile file(ourKey);
    const uint8_t shortDword[2] = {1, 2};
    file.set("Short", platform::regDword, shortDword, 2);
    file.set("Lines", platform::regSz, reinterpret_cast<const uint8_t*>("a\r\nb"), 4);
    file.set("Terminated", platform::regSz, reinterpret_cast<const uint8_t*>("ab"), 3);
    file.set("Quad", 11, shortDword, 2);
    file.set("Empty", platform::regBinary, nullptr, 0);
    const std::string text = file.write();
    EXPECT_NE(text.find("\"Short\"=hex(4):01,02\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Lines\"=hex(1):61,0d,0a,62\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Terminated\"=hex(1):61,62,00\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Quad\"=hex(b):01,02\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Empty\"=hex:\r\n"), std::string::npos) << text;

    RegistryFile reread(ourKey);
    ASSERT_TRUE(reread.parse(text));
    ASSERT_EQ(reread.values().size(), file.values().size());
    for (const RegistryFile::Value& value : file.values()) {
        const RegistryFile::Value* again = reread.find(value.name);
        ASSERT_NE(again, nullptr) << value.name;
        EXPECT_EQ(again->type, value.type) << value.name;
        EXPECT_EQ(again->data, value.data) << value.name;
    }
}

TEST(RegistryFile, AnyValuesSurviveWriteAndParse) {
    std::mt19937 random(7);
    RegistryFile file(ourKey);
    for (int i = 0; i < 200; ++i) {
        std::string name = "v" + std::to_string(i);
        for (int n = random() % 4; n > 0; --n) name.push_back("\\\" =[]x"[random() % 7]);
        std::vector<uint8_t> data(random() % 40);
        for (uint8_t& byte : data) byte = static_cast<uint8_t>(random());
        const uint32_t types[] = {platform::regSz, platform::regDword, platform::regBinary, 7, 0};
        file.set(name, types[random() % 5], data.data(), data.size());
    }
    RegistryFile reread(ourKey);
    ASSERT_TRUE(reread.parse(file.write()));
    ASSERT_EQ(reread.values().size(), file.values().size());
    for (std::size_t i = 0; i < file.values().size(); ++i) {
        EXPECT_EQ(reread.values()[i].name, file.values()[i].name);
        EXPECT_EQ(reread.values()[i].type, file.values()[i].type) << file.values()[i].name;
        EXPECT_EQ(reread.values()[i].data, file.values()[i].data) << file.values()[i].name;
    }
    EXPECT_EQ(reread.write(), file.write());
}

TEST(RegistryFile, SetReplacesAValueOfTheSameNameInItsPlace) {
    RegistryFile file(ourKey);
    const uint8_t one = 1, two = 2;
    file.set("A", platform::regBinary, &one, 1);
    file.set("B", platform::regBinary, &one, 1);
    file.set("a", platform::regDword, &two, 1);
    ASSERT_EQ(file.values().size(), 2u);
    EXPECT_EQ(file.values()[0].name, "A");
    EXPECT_EQ(file.values()[0].type, platform::regDword);
    EXPECT_EQ(file.values()[0].data, std::vector<uint8_t>{2});
}

TEST(RegistryFile, DamagedFilesLeaveTheKeyAbsent) {
    const std::string key = "[HKEY_CURRENT_USER\\Software\\Vendor\\Product]\n";
    const std::string damaged[] = {
        "",                                             // empty
        "Windows Registry Editor Version 5.00\n\n" + key,  // another format
        "REGEDIT4\ngarbage\n" + key,                    // text before the first key
        "REGEDIT4\n" + key + "\"A\"=\"open\n",           // unterminated text
        "REGEDIT4\n" + key + "\"A\"=\"a\\nb\"\n",       // unknown escape
        "REGEDIT4\n" + key + "\"A\"=\"a\" x\n",         // text after the value
        "REGEDIT4\n" + key + "\"A\"=dword:123456789\n", // nine digits
        "REGEDIT4\n" + key + "\"A\"=dword:\n",          // no digits
        "REGEDIT4\n" + key + "\"A\"=hex:1,,2\n",        // empty byte
        "REGEDIT4\n" + key + "\"A\"=hex:123\n",         // three digits
        "REGEDIT4\n" + key + "\"A\"=hex:01,\\\n",       // continued at the end of the file
        "REGEDIT4\n" + key + "\"A\"=hex(zz):01\n",      // no type number
        "REGEDIT4\n" + key + "\"A\"=string\n",          // no known form
        "REGEDIT4\n" + key + "A=dword:1\n",             // unquoted name
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\n" + key,  // unclosed key line
    };
    for (const std::string& text : damaged) {
        RegistryFile file(ourKey);
        file.createKey();
        EXPECT_FALSE(file.parse(text)) << text;
        EXPECT_FALSE(file.hasKey()) << text;
        EXPECT_TRUE(file.values().empty()) << text;
    }
}

TEST(RegistryFile, OddLinesInOtherKeysDoNotMatter) {
    RegistryFile file(ourKey);
    ASSERT_TRUE(file.parse("\xEF\xBB\xBFREGEDIT4\n\n[HKEY_LOCAL_MACHINE\\X]\nanything = at all\n\"A\"=\"open\n"
                           "[HKEY_CURRENT_USER\\Software\\Vendor\\Product]\n\"A\"=dword:00000001\n"));
    EXPECT_EQ(file.values().size(), 1u);
    RegistryFile without(ourKey);
    ASSERT_TRUE(without.parse("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\X]\n\"A\"=dword:00000001\n"));
    EXPECT_FALSE(without.hasKey());
}

} // namespace
} // namespace tessaranth::test
