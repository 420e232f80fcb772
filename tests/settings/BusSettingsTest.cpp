// SPDX-License-Identifier: GPL-2.0-or-later
#include "FakeFileDialogs.h"
#include "PluginFixture.h"

#include "controllers/DriverOptions.h"
#include "globals/Globals.h"
#include "settings/BusFields.h"
#include "settings/Settings.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tessaranth::test {
namespace {

using Bytes = std::vector<unsigned char>;

// A bus that differs from the defaults in every setting.
BusSettings everyBusSettingChanged() {
    BusSettings bus;
    std::strcpy(bus.i2cDevice, "/dev/i2c-22");
    bus.i2cAddress = 0x3D;
    std::strcpy(bus.spiDevice, "/dev/spidev1.2");
    bus.spiSpeedHz = 4'000'000;
    std::strcpy(bus.dc.chip, "pinctrl-rp1");
    bus.dc.offset = 5;
    std::strcpy(bus.reset.chip, "gpiochip4");
    bus.reset.offset = -1;
    bus.sh1106ColumnOffset = 0;
    bus.parallelOnGpio = 1;
    std::strcpy(bus.parallelChip, "/dev/gpiochip1");
    for (int i = 0; i < 8; ++i) bus.dataLines[i] = 2 + i;
    for (int i = 0; i < 4; ++i) bus.controlLines[i] = 20 + i;
    return bus;
}

::testing::AssertionResult sameAs(const BusSettings& actual, const BusSettings& expected) {
    for (const BusField& field : busFields()) {
        if (field.kind == FieldKind::text) {
            char a[busDeviceSize], e[busDeviceSize];
            copyBusText(actual, field, a);
            copyBusText(expected, field, e);
            if (std::strcmp(a, e) != 0) return ::testing::AssertionFailure() << field.name << ": " << a << " not " << e;
        } else if (busValue(actual, field) != busValue(expected, field)) {
            return ::testing::AssertionFailure() << field.name << ": " << busValue(actual, field) << " not "
                                                 << busValue(expected, field);
        }
    }
    return ::testing::AssertionSuccess();
}

class BusPersistence : public PluginFixture {
protected:
    Settings& settings() { return *gSettings; }
    std::string file(const char* name) const { return configHome.path() + "/" + name; }

    static Bytes read(const std::string& path) {
        std::ifstream stream(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    }
    static void write(const std::string& path, const Bytes& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes imageBytes(const Settings& s) {
        const auto* begin = reinterpret_cast<const unsigned char*>(&s.image());
        return {begin, begin + sizeof(SettingsImage)};
    }
    bool saveFile(const std::string& path) {
        dialogs.choose(path);
        return settings().saveToFile();
    }
    bool loadFile(const std::string& path) {
        dialogs.choose(path);
        return settings().loadFromFile();
    }

    FakeFileDialogs dialogs;
};

TEST_F(BusPersistence, EveryBusSettingComesBackFromTheRegistryAndReachesTheDriver) {
    const BusSettings changed = everyBusSettingChanged();
    settings().setBus(changed);
    ASSERT_TRUE(sameAs(settings().bus(), changed));
    ASSERT_TRUE(settings().saveToRegistry());
    EXPECT_NE(configHome.readRegistry().find("\"I2C address\"=dword:0000003d"), std::string::npos);
    EXPECT_NE(configHome.readRegistry().find("\"Reset line\"=dword:ffffffff"), std::string::npos);

    settings().setBus(BusSettings{});
    ASSERT_TRUE(settings().loadFromRegistry());
    EXPECT_TRUE(sameAs(settings().bus(), changed));
    EXPECT_TRUE(host.boxes.empty());

    const DriverSetup setup = driverSetup(settings());
    EXPECT_STREQ(setup.bus.i2cDevice, "/dev/i2c-22");
    EXPECT_EQ(setup.bus.i2cAddress, 0x3D);
    EXPECT_EQ(setup.bus.spiSpeedHz, 4'000'000u);
    EXPECT_STREQ(setup.bus.dc.chip, "pinctrl-rp1");
    EXPECT_EQ(setup.bus.controlLines[3], 23);
    EXPECT_EQ(setup.bus.parallelOnGpio, 1);
}

TEST_F(BusPersistence, AKeyOfAnOlderVersionLoadsAsBeforeWithTheDefaultBus) {
    settings().setLptAddress(0x278);
    ASSERT_TRUE(settings().saveToRegistry());
    for (const BusField& field : busFields()) replaceStored(field.name, "");
    const SettingsImage before = settings().image();

    settings().setLptAddress(0x378);
    settings().setBus(everyBusSettingChanged());
    ASSERT_TRUE(settings().loadFromRegistry());
    EXPECT_EQ(imageBytes(settings()), (Bytes{reinterpret_cast<const unsigned char*>(&before),
                                             reinterpret_cast<const unsigned char*>(&before) + sizeof before}));
    EXPECT_TRUE(sameAs(settings().bus(), BusSettings{}));
    EXPECT_TRUE(host.boxes.empty()) << "missing bus values are not read errors";
}

TEST_F(BusPersistence, HostileRegistryValuesLeaveTheirSettingAtItsDefault) {
    BusSettings kept = everyBusSettingChanged();
    settings().setBus(kept);
    ASSERT_TRUE(settings().saveToRegistry());
    replaceStored("I2C address", "\"I2C address\"=dword:0000013d");       // 0x3D in the low byte
    replaceStored("SPI speed", "\"SPI speed\"=dword:ffffffff");
    replaceStored("D/C line", "\"D/C line\"=dword:fffffffe");             // -2
    replaceStored("GPIO D3", "\"GPIO D3\"=dword:00010000");               // 65536
    replaceStored("SH1106 column offset", "\"SH1106 column offset\"=dword:00000005");
    replaceStored("Parallel on GPIO", "\"Parallel on GPIO\"=hex:02");
    replaceStored("SPI device", "\"SPI device\"=dword:00000001");          // another type
    replaceStored("GPIO chip", "\"GPIO chip\"=\"\"");                     // empty
    replaceStored("I2C device", "\"I2C device\"=\"/dev/" + std::string(200, 'x') + "\"");
    replaceStored("D/C chip", "\"D/C chip\"=\"" + std::string(32, 'c') + "\"");  // no room for its end

    ASSERT_TRUE(settings().loadFromRegistry());
    const BusSettings defaults;
    kept.i2cAddress = defaults.i2cAddress;
    kept.spiSpeedHz = defaults.spiSpeedHz;
    kept.dc = defaults.dc;
    kept.dataLines[3] = defaults.dataLines[3];
    kept.sh1106ColumnOffset = defaults.sh1106ColumnOffset;
    kept.parallelOnGpio = defaults.parallelOnGpio;
    std::strcpy(kept.spiDevice, defaults.spiDevice);
    std::strcpy(kept.parallelChip, defaults.parallelChip);
    std::strcpy(kept.i2cDevice, defaults.i2cDevice);
    EXPECT_TRUE(sameAs(settings().bus(), kept));
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(BusPersistence, TheRecordKeepsEveryStoreInRange) {
    BusSettings wild = everyBusSettingChanged();
    wild.i2cAddress = 0x02;
    wild.spiSpeedHz = 999;
    wild.reset.offset = -7;
    wild.sh1106ColumnOffset = 200;
    wild.parallelOnGpio = 9;
    std::memset(wild.spiDevice, 'x', sizeof wild.spiDevice);  // no end
    wild.i2cDevice[0] = '\0';
    settings().setBus(wild);
    const BusSettings bus = settings().bus();
    const BusSettings defaults;
    EXPECT_EQ(bus.i2cAddress, defaults.i2cAddress);
    EXPECT_EQ(bus.spiSpeedHz, defaults.spiSpeedHz);
    EXPECT_EQ(bus.reset.offset, defaults.reset.offset);
    EXPECT_EQ(bus.sh1106ColumnOffset, defaults.sh1106ColumnOffset);
    EXPECT_EQ(bus.parallelOnGpio, defaults.parallelOnGpio);
    EXPECT_STREQ(bus.spiDevice, defaults.spiDevice);
    EXPECT_STREQ(bus.i2cDevice, defaults.i2cDevice);
    EXPECT_STREQ(bus.dc.chip, "pinctrl-rp1") << "what was in range stays";
    EXPECT_EQ(bus.dataLines[7], 9);

    BusSettings edges;
    edges.i2cAddress = 0x77;
    edges.spiSpeedHz = 125'000'000;
    edges.dataLines[0] = 65'535;
    settings().setBus(edges);
    EXPECT_TRUE(sameAs(settings().bus(), edges));
}

TEST_F(BusPersistence, AFileCarriesTheBusAfterTheRecordsImage) {
    const BusSettings changed = everyBusSettingChanged();
    settings().setBus(changed);
    settings().setLptAddress(0x2BC);
    ASSERT_TRUE(saveFile(file("bus.tzn")));
    const Bytes saved = read(file("bus.tzn"));
    ASSERT_GT(saved.size(), 528u);
    EXPECT_EQ(Bytes(saved.begin(), saved.begin() + 520), imageBytes(settings()));
    EXPECT_EQ(std::string(saved.begin() + 520, saved.begin() + 524), "TBUS");
    const std::size_t length = saved[524] | saved[525] << 8 | saved[526] << 16 | saved[527] << 24;
    EXPECT_EQ(saved.size(), 528u + length);

    settings().setBus(BusSettings{});
    settings().setLptAddress(0x378);
    ASSERT_TRUE(loadFile(file("bus.tzn")));
    EXPECT_TRUE(sameAs(settings().bus(), changed));
    EXPECT_EQ(settings().lptAddress(), 0x2BC);
    EXPECT_TRUE(host.boxes.empty());

    // What an older version reads of it: the first 520 bytes, and they are the record.
    write(file("old-reader.tzn"), Bytes(saved.begin(), saved.begin() + 520));
    settings().setLptAddress(0x378);
    ASSERT_TRUE(loadFile(file("old-reader.tzn")));
    EXPECT_EQ(settings().lptAddress(), 0x2BC);
}

TEST_F(BusPersistence, AnOldFileLoadsAsBeforeWithTheDefaultBus) {
    settings().setLptAddress(0x278);
    ASSERT_TRUE(saveFile(file("old.tzn")));
    const Bytes old = read(file("old.tzn"));
    ASSERT_EQ(old.size(), 520u) << "the default bus adds nothing to a file";

    settings().setLptAddress(0x378);
    settings().setBus(everyBusSettingChanged());
    ASSERT_TRUE(loadFile(file("old.tzn")));
    EXPECT_EQ(imageBytes(settings()), old);
    EXPECT_TRUE(sameAs(settings().bus(), BusSettings{}));
}

TEST_F(BusPersistence, HostileChunksAreBoundedAndSkipped) {
    settings().setBus(everyBusSettingChanged());
    ASSERT_TRUE(saveFile(file("good.tzn")));
    const Bytes good = read(file("good.tzn"));
    const Bytes image(good.begin(), good.begin() + 520);
    const Bytes chunk(good.begin() + 520, good.end());

    auto loaded = [&](const Bytes& bytes) {
        write(file("hostile.tzn"), bytes);
        settings().setBus(BusSettings{});
        EXPECT_TRUE(loadFile(file("hostile.tzn")));
        return settings().bus();
    };

    // An unknown chunk before the bus chunk is skipped.
    Bytes skipped = image;
    const unsigned char other[] = {'X', 'T', 'R', 'A', 3, 0, 0, 0, 1, 2, 3};
    skipped.insert(skipped.end(), std::begin(other), std::end(other));
    skipped.insert(skipped.end(), chunk.begin(), chunk.end());
    EXPECT_TRUE(sameAs(loaded(skipped), everyBusSettingChanged()));

    // A length beyond the file's end: no bus at all.
    Bytes overlong = good;
    overlong[527] = 0x7F;
    EXPECT_TRUE(sameAs(loaded(overlong), BusSettings{}));

    // A chunk of only the first text and the address (an older, shorter payload).
    Bytes shorter = image;
    shorter.insert(shorter.end(), chunk.begin(), chunk.begin() + 8 + 64 + 4);
    shorter[524] = 68;
    shorter[525] = 0;
    const BusSettings partial = loaded(shorter);
    EXPECT_STREQ(partial.i2cDevice, "/dev/i2c-22");
    EXPECT_EQ(partial.i2cAddress, 0x3D);
    EXPECT_EQ(partial.spiSpeedHz, BusSettings{}.spiSpeedHz);

    // A text without its end and an address out of range.
    Bytes broken = good;
    std::fill(broken.begin() + 528, broken.begin() + 528 + 64, 'A');
    broken[528 + 64] = 0x80;
    const BusSettings bounded = loaded(broken);
    EXPECT_STREQ(bounded.i2cDevice, BusSettings{}.i2cDevice);
    EXPECT_EQ(bounded.i2cAddress, BusSettings{}.i2cAddress);
    EXPECT_STREQ(bounded.spiDevice, "/dev/spidev1.2");
}

} // namespace
} // namespace tessaranth::test
