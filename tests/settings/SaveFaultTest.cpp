// Saves that meet a full disk or a sudden end: the settings on disk are always the old ones or
// the new ones, whole, and a save that did not happen is never reported as done.
#include "FakeFileDialogs.h"
#include "PluginFixture.h"

#include "globals/Globals.h"
#include "platform/posix/RegistryFile.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tessaranth::test {
namespace {

namespace fs = std::filesystem;

const char* const registryKey = "HKEY_CURRENT_USER\\Software\\Kolvy\\Graphical LCD\\Tessaranth";
constexpr std::size_t registryValues = 103;

std::string readFile(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

std::string bytesOf(const SettingsImage& image) { return {reinterpret_cast<const char*>(&image), sizeof image}; }

// Every name in the folder but the ones given.
std::vector<std::string> otherFiles(const std::string& folder, std::initializer_list<std::string> known) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename();
        if (std::find(known.begin(), known.end(), name) == known.end()) names.push_back(name);
    }
    return names;
}

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

class SaveFaults : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        oldRecord = record(0x11);
        newRecord = record(0x22);
    }

    std::string file(const char* name) const { return folder() + "/" + name; }
    std::string folder() const { return configHome.path(); }

    bool saveFile(const std::string& path, const SettingsImage& image) {
        gSettings->image() = image;
        dialogs.choose(path);
        return gSettings->saveToFile();
    }

    void saveRegistry(const SettingsImage& image) {
        gSettings->image() = image;
        gSettings->saveToRegistry();
    }

    static platform::RegistryFile parsed(const std::string& text) {
        platform::RegistryFile registry(registryKey);
        registry.parse(text);
        return registry;
    }

    // The registry file as a whole: it parses, and it holds the key with every value.
    static ::testing::AssertionResult wholeRegistry(const std::string& text) {
        platform::RegistryFile registry(registryKey);
        if (!registry.parse(text)) return ::testing::AssertionFailure() << "unreadable: " << text;
        if (!registry.hasKey() || registry.values().size() != registryValues)
            return ::testing::AssertionFailure() << registry.values().size() << " values";
        return ::testing::AssertionSuccess();
    }

    // Runs body in a child process, which exits with its result; returns that.
    template <typename Body>
    static int inChild(Body body) {
        const pid_t child = fork();
        if (child == 0) _exit(body());
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
    saveRegistry(oldRecord);
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
    saveRegistry(newRecord);
    const std::vector<MessageBoxRecord> fullBoxes = std::move(host.boxes);
    EXPECT_EQ(readFile(registry), oldRegistry);
    EXPECT_EQ(otherFiles(disk.path(), {"settings.tzn", "tessaranth", "filler"}), std::vector<std::string>{});
    EXPECT_EQ(otherFiles(disk.path() + "/tessaranth", {"registry.reg"}), std::vector<std::string>{});

    disk.makeRoom();
    host.boxes.clear();
    EXPECT_TRUE(saveFile(tzn, newRecord));
    EXPECT_EQ(readFile(tzn), bytesOf(newRecord));
    saveRegistry(newRecord);
    EXPECT_TRUE(host.boxes.empty());
    // Every value the new record changes was a write that failed, and each said so.
    const auto oldValues = parsed(oldRegistry).values();
    const auto newValues = parsed(readFile(registry)).values();
    ASSERT_EQ(newValues.size(), registryValues);
    std::size_t changed = 0;
    for (std::size_t i = 0; i < oldValues.size(); ++i) changed += oldValues[i].data != newValues[i].data;
    EXPECT_GT(changed, 90u);
    EXPECT_EQ(fullBoxes.size(), changed);
    for (const MessageBoxRecord& box : fullBoxes) EXPECT_EQ(box.text, "Registry write error");
}

// Without root: the process's file size limit fails the write the way a full disk does.
TEST_F(SaveFaults, AFailedWriteFailsTheSaveAndKeepsTheOldFile) {
    const std::string tzn = file("limited.tzn");
    ASSERT_TRUE(saveFile(tzn, oldRecord));
    const int result = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool saved = saveFile(tzn, newRecord);
        return !saved && host.boxes.size() == 1 && host.boxes[0].text == "Error saving configuration" ? 0 : 1;
    });
    EXPECT_EQ(result, 0) << "the save returns false and shows the error box";
    EXPECT_EQ(readFile(tzn), bytesOf(oldRecord));
    EXPECT_EQ(otherFiles(folder(), {"limited.tzn", "tessaranth"}), std::vector<std::string>{});
}

// A child saves two records in turn without pause and is killed at random moments; after every
// kill the file must be one of the two, whole. Returns how many kills left each record.
class KilledSaves : public SaveFaults {
protected:
    static constexpr int kills = 100;

    template <typename Save, typename Check>
    std::pair<int, int> killWhileSaving(Save save, Check check) {
        std::random_device seed;
        const unsigned seedValue = seed();
        std::mt19937 random(seedValue);
        std::uniform_int_distribution<int> delayMicros(0, 4000);
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
            const int which = check();
            if (which < 0) {
                ADD_FAILURE() << "kill " << kill << " (seed " << seedValue << ") left a broken file";
                return seen;
            }
            (which ? seen.second : seen.first)++;
        }
        return seen;
    }
};

TEST_F(KilledSaves, AConfigurationFileIsAlwaysTheOldOrTheNewOneWhole) {
    const std::string tzn = file("killed.tzn");
    ASSERT_TRUE(saveFile(tzn, oldRecord));
    const auto [old, renewed] = killWhileSaving([&](const SettingsImage& image) { saveFile(tzn, image); },
                                                [&] {
                                                    const std::string bytes = readFile(tzn);
                                                    if (bytes == bytesOf(oldRecord)) return 0;
                                                    return bytes == bytesOf(newRecord) ? 1 : -1;
                                                });
    EXPECT_GT(old, 0);
    EXPECT_GT(renewed, 0) << "the kills fell at different moments of the saving";
    RecordProperty("temporary files left",
                   static_cast<int>(otherFiles(folder(), {"killed.tzn", "tessaranth"}).size()));
}

TEST_F(KilledSaves, TheRegistryFileIsAlwaysWhole) {
    saveRegistry(oldRecord);
    const auto [old, renewed] = killWhileSaving([&](const SettingsImage& image) { saveRegistry(image); }, [&] {
        const std::string text = configHome.readRegistry();
        if (!wholeRegistry(text)) return -1;
        return text.find("\"Update delay\"=dword:22222222") == std::string::npos ? 0 : 1;
    });
    EXPECT_GT(old, 0);
    EXPECT_GT(renewed, 0) << "the kills fell at different moments of the saving";
    EXPECT_TRUE(gSettings->loadFromRegistry());
}

} // namespace
} // namespace tessaranth::test
