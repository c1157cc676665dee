#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/cursor.h"
#include "editor/display_mode.h"
#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "editor/view_scroll.h"
#include "editor/written_sectors.h"
#include "fake_platform.h"
#include "fat_image.h"
#include "image_route.h"
#include "platform/commands.h"
#include "platform/messages.h"
#include "platform/settings.h"

constexpr int DRIVE_A = 0;
constexpr int DRIVE_C = 2;

// The editor over real volumes: A: a 1.44 MB FAT12 floppy; C: (on demand) a
// FAT16 volume with 2048-byte sectors. Settings as with no INI file.
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        installFakePlatform();
        loadSettings();
        writtenSectors.count = 0;
        floppy = makeFatImage(dir, "a.img", {12, 512, 1440, 1, 1, 2, 224});
        attach(DRIVE_A, floppy, 512, 2);
    }

    void attach(int drive, const std::string& image, uint32_t bytesPerSector, unsigned type)
    {
        ImageRoute::attach(drive, image, bytesPerSector);
        fake.driveTypes[drive] = type;
        fake.volumesByDrive[char('A' + drive)].bytesPerSector = bytesPerSector;
    }

    std::string attachLargeSectorDrive()
    {
        std::string image = makeFatImage(dir, "c.img", {16, 2048, 65536, 1, 8, 2, 1024});
        attach(DRIVE_C, image, 2048, 3);
        return image;
    }

    std::vector<uint8_t> diskSector(uint32_t sector, uint32_t size = 512,
                                    const std::string& image = "")
    {
        return readBytes(image.empty() ? floppy : image, uint64_t(sector) * size, size);
    }

    std::vector<uint8_t> shownSector()
    {
        return std::vector<uint8_t>(editor.workBuffer, editor.workBuffer + editor.sectorSize);
    }

    void typeText(const char* text)
    {
        for (const char* c = text; *c; c++) onChar(uint8_t(*c));
    }

    int boxesOf(MessageId id)
    {
        int count = 0;
        for (const ShownBox& box : fake.boxes) count += box.text == messageText(id);
        return count;
    }

    TempDir dir;
    std::string floppy;
};
