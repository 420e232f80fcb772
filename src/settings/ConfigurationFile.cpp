// SPDX-License-Identifier: GPL-2.0-or-later
// Settings::saveToFile and Settings::loadFromFile: a configuration file is the record's image
// from `version` to `reserved15`, 520 bytes, and, when the display's bus is not the default one,
// the bus chunk after them (BusChunk.h). Every reader takes the first 520 bytes alone, so a file
// means to an older version exactly what it meant before, and a file of a display on the LPT
// port or the USB adapter stays 520 bytes long.
#include "settings/Settings.h"

#include "platform/FileDialogs.h"
#include "platform/Errors.h"
#include "platform/Platform.h"
#include "platform/ReplaceFile.h"
#include "settings/BusChunk.h"
#include "settings/BusFields.h"
#include "settings/SettingsFields.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <span>

namespace tessaranth {

namespace {

constexpr const char* fileFilter = "Tessaranth configuration (*.tzn)|*.tzn";
constexpr const char* fileExtension = ".tzn";
constexpr std::size_t pathSize = 4096;
// Of what follows the record's image, only this much is looked at.
constexpr std::size_t chunksLimit = 4096;

// Files of these versions kept the port as an index into this table.
constexpr const char* legacyVersions[] = {"v0.9.2 beta", "v0.9.2 alpha"};
constexpr uint32_t legacyPortAddresses[] = {0x378, 0x278, 0x3BC, 0x2BC};

void tell(const char* text) { platform::messageBox(text, "Tessaranth", platform::mbIconWarning); }

// A text field whose bytes hold no NUL ends at its last byte.
template <std::size_t N>
void terminate(char (&text)[N]) {
    if (!std::memchr(text, '\0', N)) text[N - 1] = '\0';
}

void terminateTexts(SettingsImage& image) {
    terminate(image.version);
    terminate(image.background);
    terminate(image.reserved14);
    terminate(image.reserved15);
}

bool isLegacyVersion(const char* version) {
    for (const char* legacy : legacyVersions)
        if (std::strcmp(version, legacy) == 0) return true;
    return false;
}

void convertLegacyPort(SettingsImage& image) {
    if (isLegacyVersion(image.version) && image.legacyLptIndex < std::size(legacyPortAddresses))
        image.lptAddress = legacyPortAddresses[image.legacyLptIndex];
}

} // namespace

bool Settings::saveToFile() {
    char path[pathSize];
    if (!platform::chooseSaveFile("Save Tessaranth configuration", fileFilter, fileExtension, path, sizeof path))
        return true;
    // Written beside the old file and renamed over it: a full disk or a crash leaves the old
    // file as it was.
    struct {
        SettingsImage image;
        unsigned char chunk[busChunkCapacity];
    } bytes;
    static_assert(offsetof(decltype(bytes), chunk) == settingsImageSize);
    copyImage(bytes.image, image_);
    const BusSettings busNow = bus();
    const std::size_t chunkSize = sameBus(busNow, BusSettings{}) ? 0 : writeBusChunk(busNow, bytes.chunk);
    if (platform::replaceFile(path, &bytes, settingsImageSize + chunkSize) != platform::errorSuccess) {
        tell("Error saving configuration");
        return false;
    }
    return true;
}

bool Settings::loadFromFile() {
    char path[pathSize];
    if (!platform::chooseOpenFile("Load Tessaranth configuration", fileFilter, fileExtension, path, sizeof path))
        return true;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        tell("Error loading configuration");
        return false;
    }
    // The file replaces as many leading bytes of the record as it has.
    SettingsImage loaded;
    copyImage(loaded, image_);
    std::fread(&loaded, 1, sizeof loaded, file);
    unsigned char chunks[chunksLimit];
    const std::size_t chunksSize = std::fread(chunks, 1, sizeof chunks, file);
    std::fclose(file);
    setBus(readBusChunks(std::span<const unsigned char>(chunks, chunksSize)));

    terminateTexts(loaded);
    convertLegacyPort(loaded);
    copyImage(image_, loaded);
    relaxedCopyText(loadedVersion_, sizeof loadedVersion_, loaded.version);
    return true;
}

} // namespace tessaranth
