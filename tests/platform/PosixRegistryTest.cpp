// SPDX-License-Identifier: GPL-2.0-or-later
#include "ConfigHome.h"
#include "HostRecorder.h"

#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tessaranth::test {
namespace {

using namespace platform;

const char* const path = "Software\\Vendor\\Product";
const std::string header = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vendor\\Product]\r\n";

class PosixRegistry : public ::testing::Test {
protected:
    // Stores one value: create, set, flush and close.
    int32_t store(const char* name, uint32_t type, std::string_view data) {
        RegistryKey key = 0;
        int32_t status = registryCreateKey(hkeyCurrentUser, path, keyWrite, key);
        if (status != errorSuccess) return status;
        status = set(key, name, type, data);
        if (status == errorSuccess) status = registryFlushKey(key);
        registryCloseKey(key);
        return status;
    }

    static int32_t set(RegistryKey key, const char* name, uint32_t type, std::string_view data) {
        return registrySetValue(key, name, type, reinterpret_cast<const uint8_t*>(data.data()),
                                static_cast<uint32_t>(data.size()));
    }

    int32_t query(const char* name, uint32_t& type, uint8_t* data, uint32_t& size) {
        RegistryKey key = 0;
        int32_t status = registryOpenKey(hkeyCurrentUser, path, keyRead, key);
        if (status != errorSuccess) return status;
        status = registryQueryValue(key, name, type, data, size);
        registryCloseKey(key);
        return status;
    }

    std::vector<std::string> temporaryFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(home.path() + "/tessaranth"))
            if (entry.path().filename() != "registry.reg") names.push_back(entry.path().filename());
        return names;
    }

    HostRecorder host;
    TemporaryConfigHome home;
};

TEST_F(PosixRegistry, AMissingFileIsAMissingKeyUntilACreatedKeyIsFlushed) {
    RegistryKey key = 0;
    EXPECT_EQ(registryOpenKey(hkeyCurrentUser, path, keyRead, key), errorFileNotFound);
    EXPECT_EQ(key, 0u);
    ASSERT_EQ(registryCreateKey(hkeyCurrentUser, path, keyWrite, key), errorSuccess);
    EXPECT_EQ(registryCloseKey(key), errorSuccess);
    EXPECT_FALSE(home.registryExists()) << "a key closed unflushed is dropped";
    ASSERT_EQ(registryCreateKey(hkeyCurrentUser, path, keyWrite, key), errorSuccess);
    EXPECT_EQ(registryFlushKey(key), errorSuccess);
    EXPECT_EQ(registryCloseKey(key), errorSuccess);
    EXPECT_EQ(home.readRegistry(), header + "\r\n");
    EXPECT_EQ(registryOpenKey(hkeyCurrentUser, path, keyRead, key), errorSuccess);
    registryCloseKey(key);
    EXPECT_EQ(registryOpenKey(hkeyCurrentUser, "Software\\Vendor", keyRead, key), errorFileNotFound)
        << "the file holds one key";
    EXPECT_EQ(registryOpenKey(0x80000002u, path, keyRead, key), errorFileNotFound) << "only the current user";
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(PosixRegistry, QueriesHaveTheWin32Meanings) {
    ASSERT_EQ(store("Text", regSz, "abcdef"), errorSuccess);
    uint32_t type = 0;
    uint8_t buffer[8] = {};
    uint32_t size = 4;
    EXPECT_EQ(query("Text", type, buffer, size), errorMoreData);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, regSz);
    EXPECT_EQ(buffer[0], 0) << "a value too large for the buffer writes nothing";
    size = 0;
    EXPECT_EQ(query("text", type, nullptr, size), errorSuccess);
    EXPECT_EQ(size, 6u);
    size = sizeof buffer;
    EXPECT_EQ(query("Text", type, buffer, size), errorSuccess);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), "abcdef");
    EXPECT_EQ(query("Missing", type, buffer, size), errorFileNotFound);
}

TEST_F(PosixRegistry, AccessRightsAreChecked) {
    ASSERT_EQ(store("B", regBinary, "\x01"), errorSuccess);
    RegistryKey key = 0;
    ASSERT_EQ(registryCreateKey(hkeyCurrentUser, path, keyRead, key), errorSuccess);
    const uint8_t byte = 1;
    EXPECT_EQ(registrySetValue(key, "A", regBinary, &byte, 1), errorAccessDenied);
    registryCloseKey(key);
    ASSERT_EQ(registryOpenKey(hkeyCurrentUser, path, keyWrite, key), errorSuccess);
    uint32_t type = 0, size = 1;
    uint8_t buffer = 0;
    EXPECT_EQ(registryQueryValue(key, "A", type, &buffer, size), errorAccessDenied);
    registryCloseKey(key);
    EXPECT_EQ(registryQueryValue(0, "A", type, &buffer, size), errorInvalidHandle);
}

TEST_F(PosixRegistry, KeepsValuesOfOtherKeysAndUnknownValuesOutOfTheWay) {
    home.writeRegistry("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Other]\n\"A\"=dword:00000007\n\n"
                       "[HKEY_CURRENT_USER\\Software\\Vendor\\Product]\n\"Unknown\"=hex(7):41,00,00\n"
                       "\"A\"=dword:00000001\n");
    uint32_t type = 0, size = 4;
    uint8_t buffer[4] = {};
    ASSERT_EQ(query("A", type, buffer, size), errorSuccess);
    EXPECT_EQ(buffer[0], 1);
    ASSERT_EQ(store("A", regDword, std::string("\x02\0\0\0", 4)), errorSuccess);
    EXPECT_EQ(home.readRegistry(), header + "\"Unknown\"=hex(7):41,00,00\r\n\"A\"=dword:00000002\r\n\r\n");
}

TEST_F(PosixRegistry, ADamagedFileIsReportedOnceTreatedAsAbsentAndKeptUntilASave) {
    const std::string damaged = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vendor\\Product]\n\"A\"=dword:xyz\n";
    home.writeRegistry(damaged);
    RegistryKey key = 0;
    EXPECT_EQ(registryOpenKey(hkeyCurrentUser, path, keyRead, key), errorFileNotFound);
    EXPECT_EQ(registryOpenKey(hkeyCurrentUser, path, keyWrite, key), errorFileNotFound);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_NE(host.boxes[0].text.find(home.registryPath()), std::string::npos) << host.boxes[0].text;
    EXPECT_EQ(host.boxes[0].caption, "Tessaranth");
    EXPECT_EQ(host.boxes[0].style, 0x30u);
    EXPECT_EQ(home.readRegistry(), damaged);

    ASSERT_EQ(store("A", regDword, std::string("\x05\0\0\0", 4)), errorSuccess);
    EXPECT_EQ(home.readRegistry(), header + "\"A\"=dword:00000005\r\n\r\n");
    EXPECT_EQ(host.boxes.size(), 1u);
}

TEST_F(PosixRegistry, AFileDamagedAgainIsReportedAgain) {
    home.writeRegistry("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vendor\\Product]\n\"A\"=dword:xyz\n");
    RegistryKey key = 0;
    registryOpenKey(hkeyCurrentUser, path, keyRead, key);
    home.writeRegistry("garbage of another length\n");
    registryOpenKey(hkeyCurrentUser, path, keyRead, key);
    EXPECT_EQ(host.boxes.size(), 2u);
}

TEST_F(PosixRegistry, AFullDiskLeavesTheOldFileAndNoTemporaryFile) {
    ASSERT_EQ(store("A", regDword, std::string("\x01\0\0\0", 4)), errorSuccess);
    const std::string old = home.readRegistry();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};  // any file longer than 16 bytes hits the limit
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(store("B", regSz, std::string(200, 'x')) == errorDiskFull ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the store reports a full disk";
    EXPECT_EQ(home.readRegistry(), old);
    EXPECT_TRUE(temporaryFiles().empty());
}

// The values set between two flushes reach the file together, at the flush, or not at all.
TEST_F(PosixRegistry, ValuesReachTheFileTogetherAtTheFlush) {
    ASSERT_EQ(store("A", regDword, std::string("\x01\0\0\0", 4)), errorSuccess);
    const std::string old = home.readRegistry();
    RegistryKey key = 0;
    ASSERT_EQ(registryOpenKey(hkeyCurrentUser, path, keyWrite, key), errorSuccess);
    EXPECT_EQ(set(key, "A", regDword, std::string("\x02\0\0\0", 4)), errorSuccess);
    EXPECT_EQ(set(key, "B", regSz, "text"), errorSuccess);
    EXPECT_EQ(home.readRegistry(), old);
    EXPECT_EQ(registryFlushKey(key), errorSuccess);
    EXPECT_EQ(home.readRegistry(), header + "\"A\"=dword:00000002\r\n\"B\"=\"text\"\r\n\r\n");
    EXPECT_EQ(set(key, "A", regDword, std::string("\x03\0\0\0", 4)), errorSuccess);
    EXPECT_EQ(registryCloseKey(key), errorSuccess);
    EXPECT_EQ(home.readRegistry(), header + "\"A\"=dword:00000002\r\n\"B\"=\"text\"\r\n\r\n")
        << "what was set after the flush went with the closed key";
    EXPECT_EQ(registryFlushKey(0), errorInvalidHandle);
}

// A save of the values the file already holds writes the file all the same: a new file, which
// is how a save is told from none.
TEST_F(PosixRegistry, EveryFlushOfSetValuesWritesTheFile) {
    ASSERT_EQ(store("A", regDword, std::string("\x01\0\0\0", 4)), errorSuccess);
    struct stat before {};
    ASSERT_EQ(::stat(home.registryPath().c_str(), &before), 0);
    ASSERT_EQ(store("A", regDword, std::string("\x01\0\0\0", 4)), errorSuccess);
    struct stat after {};
    ASSERT_EQ(::stat(home.registryPath().c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);
}

TEST_F(PosixRegistry, AnUnwritableFolderFailsTheFlush) {
    std::ofstream(home.path() + "/tessaranth") << "a file where the folder belongs";
    RegistryKey key = 0;
    ASSERT_EQ(registryCreateKey(hkeyCurrentUser, path, keyWrite, key), errorSuccess);
    EXPECT_NE(registryFlushKey(key), errorSuccess);
    registryCloseKey(key);
    EXPECT_EQ(registryOpenKey(hkeyCurrentUser, path, keyRead, key), errorFileNotFound);
}

// A key whose file cannot be read cannot be opened or created.
TEST_F(PosixRegistry, AnUnreadableFileFailsTheCreate) {
    std::filesystem::create_directories(home.registryPath());
    RegistryKey key = 0;
    EXPECT_EQ(registryCreateKey(hkeyCurrentUser, path, keyWrite, key), errorAccessDenied);
    EXPECT_EQ(key, 0u);
}

TEST(PosixRegistryLocation, FallsBackToDotConfigInTheHomeFolder) {
    TemporaryConfigHome home;  // restores XDG_CONFIG_HOME afterwards
    const std::string previousHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    for (const char* configHome : {static_cast<const char*>(nullptr), "", "relative/folder"}) {
        if (configHome)
            setenv("XDG_CONFIG_HOME", configHome, 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        setenv("HOME", home.path().c_str(), 1);
        RegistryKey key = 0;
        int32_t status = registryCreateKey(hkeyCurrentUser, path, keyWrite, key);
        if (status == errorSuccess) status = registryFlushKey(key);
        registryCloseKey(key);
        setenv("HOME", previousHome.c_str(), 1);
        ASSERT_EQ(status, errorSuccess);
        EXPECT_TRUE(std::filesystem::exists(home.path() + "/.config/tessaranth/registry.reg"));
        std::filesystem::remove_all(home.path() + "/.config");
    }
}

} // namespace
} // namespace tessaranth::test
