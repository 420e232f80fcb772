// SPDX-License-Identifier: GPL-2.0-or-later
// Saves that meet a full disk or a sudden end: the settings on disk are always the old ones or
// the new ones, whole, and a save that did not happen is never reported as done.
#include "FakeFileDialogs.h"
#include "PluginFixture.h"
#include "SaveFolders.h"

#include "globals/Globals.h"
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "platform/posix/RegistryFile.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <sched.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tessaranth::test {
namespace {

namespace fs = std::filesystem;

const char* const registryKey = "HKEY_CURRENT_USER\\Software\\Kolvy\\Graphical LCD\\Tessaranth";
constexpr std::size_t registryValues = 126;  // the record's 103 and the bus's 23

std::string bytesOf(const SettingsImage& image) { return {reinterpret_cast<const char*>(&image), sizeof image}; }

// Two records that differ in every field a user can set, so that any mixture shows.
SettingsImage record(unsigned char fill) {
    SettingsImage image = gSettings->image();
    auto* bytes = reinterpret_cast<unsigned char*>(&image);
    std::memset(bytes + sizeof image.version, fill, sizeof image - sizeof image.version);
    image.background[20] = '\0';
    image.reserved14[63] = '\0';
    image.reserved15[65] = '\0';
    return image;
}

// The registry file as a whole: it parses, and it holds the key with every value.
::testing::AssertionResult wholeRegistry(const std::string& text) {
    platform::RegistryFile registry(registryKey);
    if (!registry.parse(text)) return ::testing::AssertionFailure() << "unreadable: " << text;
    if (!registry.hasKey() || registry.values().size() != registryValues)
        return ::testing::AssertionFailure() << registry.values().size() << " values";
    return ::testing::AssertionSuccess();
}

// Which of the two registry texts the file holds, value by value: 0 or 1 when every value is
// that text's, else -1 with the names of the values that are not.
int whichRegistry(const std::string& text, const std::string (&texts)[2], std::string& mixed) {
    if (text == texts[0]) return 0;
    if (text == texts[1]) return 1;
    platform::RegistryFile found(registryKey), old(registryKey), renewed(registryKey);
    if (!found.parse(text) || !old.parse(texts[0]) || !renewed.parse(texts[1])) {
        mixed = "an unreadable file";
        return -1;
    }
    for (const auto& value : found.values()) {
        const auto* before = old.find(value.name);
        const auto* after = renewed.find(value.name);
        const char* from = before && before->data == value.data ? "old" : after && after->data == value.data ? "new" : "neither";
        mixed += value.name + std::string(": ") + from + "; ";
    }
    return -1;
}

// Runs body in a child process, which exits with its result; returns that.
template <typename Body>
int inChild(Body body) {
    const pid_t child = fork();
    if (child == 0) _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class SaveFaults : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        oldRecord = record(0x11);
        newRecord = record(0x22);
    }

    std::string file(const char* name) const { return folder() + "/" + name; }
    std::string folder() const { return configHome.path(); }
    std::string registryFolder() const { return folder() + "/tessaranth"; }

    bool saveFile(const std::string& path, const SettingsImage& image) {
        gSettings->image() = image;
        dialogs.choose(path);
        return gSettings->saveToFile();
    }

    bool saveRegistry(const SettingsImage& image) {
        gSettings->image() = image;
        return gSettings->saveToRegistry();
    }

    FakeFileDialogs dialogs;
    SettingsImage oldRecord{};
    SettingsImage newRecord{};
};

// A tmpfs of 64 KiB on a folder of the test's own, mounted in a mount namespace of the test
// process's own, so that nothing stays mounted however the test ends. Needs root.
class SmallFileSystem {
public:
    SmallFileSystem() {
        std::string pattern = fs::temp_directory_path().string() + "/tessaranth-full-XXXXXX";
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a folder to mount on");
        path_ = pattern;
        if (geteuid() != 0)
            problem_ = "mounting a small file system needs root";
        else if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                 mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=64k,mode=0755") != 0)
            problem_ = std::string("cannot mount a small file system: ") + std::strerror(errno);
        else
            mounted_ = true;
    }
    ~SmallFileSystem() {
        if (mounted_) umount2(path_.c_str(), MNT_DETACH);
        rmdir(path_.c_str());
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    const std::string& path() const { return path_; }
    // Empty when the file system is there; else why not.
    const std::string& problem() const { return problem_; }

    void fill() const {
        std::ofstream filler(path_ + "/filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {}
    }
    void makeRoom() const { fs::remove(path_ + "/filler"); }

private:
    std::string path_;
    std::string problem_;
    bool mounted_ = false;
};

TEST_F(SaveFaults, AFullFileSystemFailsTheSavesAndKeepsTheOldFiles) {
    const SmallFileSystem disk;
    if (!disk.problem().empty()) GTEST_SKIP() << disk.problem();
    const std::string tzn = disk.path() + "/settings.tzn";
    const std::string registry = disk.path() + "/tessaranth/registry.reg";
    setenv("XDG_CONFIG_HOME", disk.path().c_str(), 1);  // the home object restores it
    ASSERT_TRUE(saveFile(tzn, oldRecord));
    ASSERT_TRUE(saveRegistry(oldRecord));
    const std::string oldRegistry = readFile(registry);
    ASSERT_TRUE(wholeRegistry(oldRegistry));
    ASSERT_TRUE(host.boxes.empty());

    disk.fill();
    EXPECT_FALSE(saveFile(tzn, newRecord));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "Error saving configuration");
    EXPECT_EQ(host.boxes[0].caption, "Tessaranth");
    EXPECT_EQ(host.boxes[0].style, 0x30u);
    EXPECT_EQ(readFile(tzn), bytesOf(oldRecord));

    host.boxes.clear();
    EXPECT_FALSE(saveRegistry(newRecord));
    ASSERT_EQ(host.boxes.size(), 1u) << "one box for the whole record";
    EXPECT_EQ(host.boxes[0].text, "Registry write error");
    EXPECT_EQ(platform::lastError(), static_cast<uint32_t>(platform::errorDiskFull));
    EXPECT_EQ(readFile(registry), oldRegistry);
    EXPECT_EQ(otherFiles(disk.path(), {"settings.tzn", "tessaranth", "filler"}), std::vector<std::string>{});
    EXPECT_EQ(otherFiles(disk.path() + "/tessaranth", {"registry.reg"}), std::vector<std::string>{});

    disk.makeRoom();
    host.boxes.clear();
    EXPECT_TRUE(saveFile(tzn, newRecord));
    EXPECT_EQ(readFile(tzn), bytesOf(newRecord));
    EXPECT_TRUE(saveRegistry(newRecord));
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_TRUE(wholeRegistry(readFile(registry)));
    EXPECT_NE(readFile(registry), oldRegistry);
}

// Without root: the process's file size limit fails the writes the way a full disk does.
TEST_F(SaveFaults, AFailedWriteFailsTheSaveAndKeepsTheOldFile) {
    const std::string tzn = file("limited.tzn");
    ASSERT_TRUE(saveFile(tzn, oldRecord));
    ASSERT_TRUE(saveRegistry(oldRecord));
    const std::string oldRegistry = configHome.readRegistry();
    // In a child, as the file size limit stays with the process: 0 when the save failed with the
    // one box, and the last-error code is status (where one is given).
    const auto limited = [&](auto save, const char* box, std::optional<int32_t> status = {}) {
        return inChild([&] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{100, 100};
            setrlimit(RLIMIT_FSIZE, &limit);
            const bool saved = save();
            const bool oneBox = host.boxes.size() == 1 && host.boxes[0].text == box;
            const bool told = !status || platform::lastError() == static_cast<uint32_t>(*status);
            return !saved && oneBox && told ? 0 : 1;
        });
    };
    EXPECT_EQ(limited([&] { return saveFile(tzn, newRecord); }, "Error saving configuration"), 0)
        << "the save returns false and shows the error box";
    EXPECT_EQ(readFile(tzn), bytesOf(oldRecord));
    EXPECT_EQ(otherFiles(folder(), {"limited.tzn", "tessaranth"}), std::vector<std::string>{});

    EXPECT_EQ(limited([&] { return saveRegistry(newRecord); }, "Registry write error", platform::errorDiskFull), 0)
        << "the save returns false, shows one box and leaves the status in the last-error code";
    EXPECT_EQ(configHome.readRegistry(), oldRegistry);
    EXPECT_EQ(otherFiles(registryFolder(), {"registry.reg"}), std::vector<std::string>{});
}

// The system calls that make data durable, and the renames, made by one save in a child
// process as strace sees them.
struct SaveCalls {
    int syncs = 0;
    int renames = 0;
    std::string log;
    std::string problem;  // why there is no count
};

SaveCalls tracedSave(const std::string& folder, const std::function<void()>& save) {
    SaveCalls calls;
    int go[2];
    if (pipe(go) != 0) throw std::runtime_error("pipe");
    const pid_t child = fork();
    if (child == 0) {
        close(go[1]);
        char byte = 0;
        if (read(go[0], &byte, 1) != 1) _exit(1);
        save();
        _exit(0);
    }
    close(go[0]);
    const std::string logFile = folder + "/strace.log";
    const std::string childId = std::to_string(child);
    const pid_t tracer = fork();
    if (tracer == 0) {
        execlp("strace", "strace", "-qq", "-f", "-o", logFile.c_str(), "-e",
               "trace=fsync,fdatasync,syncfs,sync,sync_file_range,msync,rename,renameat,renameat2", "-p",
               childId.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // The save starts once strace is attached.
    const auto traced = [&] { return readFile("/proc/" + childId + "/status").find("TracerPid:\t0\n") == std::string::npos; };
    for (int wait = 0; wait < 1000 && !traced() && waitpid(tracer, nullptr, WNOHANG) == 0; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const bool attached = traced();
    if (!attached) kill(child, SIGKILL);
    if (write(go[1], "g", 1) != 1) kill(child, SIGKILL);
    close(go[1]);
    waitpid(child, nullptr, 0);
    int tracerStatus = 0;
    waitpid(tracer, &tracerStatus, 0);
    if (!attached) {
        calls.problem = WIFEXITED(tracerStatus) && WEXITSTATUS(tracerStatus) == 127
                            ? "strace is missing (make setup installs it)"
                            : "strace could not attach to the saving process";
        return calls;
    }
    calls.log = readFile(logFile);
    fs::remove(logFile);
    std::istringstream lines(calls.log);
    for (std::string line; std::getline(lines, line);) {
        // "PID  call(...)": strace pads the process id to a width of its own.
        const std::size_t call = line.find_first_not_of(' ', line.find(' '));
        if (call == std::string::npos) continue;
        const std::string name = line.substr(call, line.find('(') - call);
        if (name.find("sync") != std::string::npos) ++calls.syncs;
        if (name.find("rename") == 0) ++calls.renames;
    }
    return calls;
}

// One save writes the file once: one sync of the file, one of its folder, one rename, whichever
// way the temporary file is made.
TEST_F(SaveFaults, ASaveSyncsTheFileAndItsFolderOnce) {
    ASSERT_TRUE(saveRegistry(oldRecord));
    for (const bool named : {false, true}) {
        const UnnamedFiles files(!named);
        const SaveCalls registry = tracedSave(folder(), [&] { saveRegistry(newRecord); });
        ASSERT_EQ(registry.problem, "");
        EXPECT_EQ(registry.syncs, 2) << registry.log;
        EXPECT_EQ(registry.renames, 1) << registry.log;
        const SaveCalls tzn = tracedSave(folder(), [&] { saveFile(file("synced.tzn"), newRecord); });
        EXPECT_EQ(tzn.syncs, 2) << tzn.log;
        EXPECT_EQ(tzn.renames, 1) << tzn.log;
        const std::string path = named ? "named temporary file" : "unnamed temporary file";
        std::printf("[ figures  ] a save of the settings record (%s): %d syncs, %d rename\n", path.c_str(), registry.syncs,
                    registry.renames);
    }
    EXPECT_TRUE(wholeRegistry(configHome.readRegistry()));
}

// The kill tests: a child saves two records in turn without pause and is killed at random
// moments; after every kill the file must be one of the two, whole. On a file system in memory
// and on a disk's, with the temporary file unnamed (O_TMPFILE) and named from the start.
struct KillCase {
    Medium medium;
    bool named;
};

void PrintTo(const KillCase& kill, std::ostream* out) {
    *out << (kill.medium == Medium::memory ? "in memory" : "on a disk") << (kill.named ? ", named" : ", unnamed");
}

std::string caseName(const ::testing::TestParamInfo<KillCase>& info) {
    return std::string(info.param.medium == Medium::memory ? "Memory" : "Disk") + (info.param.named ? "Named" : "Unnamed");
}

class KilledSaves : public SaveFaults, public ::testing::WithParamInterface<KillCase> {
protected:
    static constexpr int kills = 100;

    void SetUp() override {
        SaveFaults::SetUp();
        place = std::make_unique<SaveFolder>(GetParam().medium);
        if (!place->problem().empty()) GTEST_SKIP() << place->problem();
        files = std::make_unique<UnnamedFiles>(!GetParam().named);
    }

    // Kills a child that runs save(old), save(new), ... in turn; check() says which record the
    // file holds (0 or 1) or -1 with why not. Returns how many kills left each record.
    template <typename Save, typename Check>
    std::pair<int, int> killWhileSaving(Save save, Check check) {
        std::random_device seed;
        const unsigned seedValue = seed();
        std::mt19937 random(seedValue);
        std::uniform_int_distribution<int> delayMicros(0, spanMicros(save));
        std::pair<int, int> seen{0, 0};
        for (int kill = 0; kill < kills; ++kill) {
            int started[2];
            if (pipe(started) != 0) throw std::runtime_error("pipe");
            const pid_t child = fork();
            if (child == 0) {
                close(started[0]);
                for (unsigned turn = 0;; ++turn) {
                    save(turn % 2 ? newRecord : oldRecord);
                    if (turn == 0 && write(started[1], "s", 1) != 1) _exit(1);
                }
            }
            close(started[1]);
            char byte = 0;
            const bool running = read(started[0], &byte, 1) == 1;
            close(started[0]);
            std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
            ::kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            if (!running) ADD_FAILURE() << "the saving child did not start";
            std::string why;
            const int which = check(why);
            if (which < 0) {
                ADD_FAILURE() << "kill " << kill << " (seed " << seedValue << ") left a broken file: " << why;
                return seen;
            }
            (which ? seen.second : seen.first)++;
        }
        return seen;
    }

    // As long as two saves take on this medium, so that kills fall in every part of them.
    template <typename Save>
    int spanMicros(Save save) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 2; ++i) save(i % 2 ? newRecord : oldRecord);
        const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
        return std::max(4000, static_cast<int>(took.count()));
    }

    void report(const char* what, std::pair<int, int> seen, std::size_t leftovers) {
        std::printf("[ figures  ] %s, %s: %d kills, the old record whole after %d, the new after %d, mixed after none; "
                    "%zu temporary files left, removed by the next save\n",
                    what, caseName(::testing::TestParamInfo<KillCase>(GetParam(), 0)).c_str(), kills, seen.first, seen.second, leftovers);
    }

    std::unique_ptr<SaveFolder> place;
    std::unique_ptr<UnnamedFiles> files;
};

class KilledRegistrySaves : public KilledSaves {};
class KilledFileSaves : public KilledSaves {};

TEST_P(KilledRegistrySaves, TheRegistryHoldsTheOldOrTheNewRecordWholeValueForValue) {
    setenv("XDG_CONFIG_HOME", place->path().c_str(), 1);  // the home object restores it
    const std::string registry = place->path() + "/tessaranth/registry.reg";
    std::string texts[2];
    ASSERT_TRUE(saveRegistry(newRecord));
    texts[1] = readFile(registry);
    ASSERT_TRUE(saveRegistry(oldRecord));
    texts[0] = readFile(registry);
    ASSERT_TRUE(wholeRegistry(texts[0]));
    ASSERT_TRUE(wholeRegistry(texts[1]));
    ASSERT_NE(texts[0], texts[1]);

    const auto [old, renewed] = killWhileSaving([&](const SettingsImage& image) { saveRegistry(image); },
                                                [&](std::string& why) { return whichRegistry(readFile(registry), texts, why); });
    EXPECT_GT(old, 0);
    EXPECT_GT(renewed, 0) << "the kills fell at different moments of the saving";
    const std::size_t leftovers = otherFiles(place->path() + "/tessaranth", {"registry.reg"}).size();
    ASSERT_TRUE(saveRegistry(newRecord));
    EXPECT_EQ(otherFiles(place->path() + "/tessaranth", {"registry.reg"}), std::vector<std::string>{})
        << "the next save removes what killed saves left";
    EXPECT_TRUE(gSettings->loadFromRegistry());
    if (!HasFailure()) report("registry", {old, renewed}, leftovers);
}

TEST_P(KilledFileSaves, AConfigurationFileIsAlwaysTheOldOrTheNewOneWhole) {
    const std::string tzn = place->path() + "/killed.tzn";
    ASSERT_TRUE(saveFile(tzn, oldRecord));
    const auto [old, renewed] = killWhileSaving([&](const SettingsImage& image) { saveFile(tzn, image); },
                                                [&](std::string& why) {
                                                    const std::string bytes = readFile(tzn);
                                                    if (bytes == bytesOf(oldRecord)) return 0;
                                                    if (bytes == bytesOf(newRecord)) return 1;
                                                    why = std::to_string(bytes.size()) + " bytes of neither record";
                                                    return -1;
                                                });
    EXPECT_GT(old, 0);
    EXPECT_GT(renewed, 0) << "the kills fell at different moments of the saving";
    const std::size_t leftovers = otherFiles(place->path(), {"killed.tzn"}).size();
    ASSERT_TRUE(saveFile(tzn, newRecord));
    EXPECT_EQ(otherFiles(place->path(), {"killed.tzn"}), std::vector<std::string>{});
    if (!HasFailure()) report("configuration file", {old, renewed}, leftovers);
}

INSTANTIATE_TEST_SUITE_P(EveryWay, KilledRegistrySaves,
                         ::testing::Values(KillCase{Medium::memory, false}, KillCase{Medium::memory, true},
                                           KillCase{Medium::disk, false}, KillCase{Medium::disk, true}),
                         caseName);
// The same file replacement as the registry's: the two ways of making the temporary file once.
INSTANTIATE_TEST_SUITE_P(BothWays, KilledFileSaves,
                         ::testing::Values(KillCase{Medium::memory, false}, KillCase{Medium::disk, true}), caseName);

} // namespace
} // namespace tessaranth::test
