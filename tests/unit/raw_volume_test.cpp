#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editor_fixture.h"
#include "image/image_save.h"

// Volumes the system cannot read, or whose boot sector does not fit the
// device, open by their device alone: the repair a sector editor is for.
namespace {

constexpr int AREA_COMMANDS[] = {CMD_JUMP_IPL, CMD_JUMP_FAT, CMD_JUMP_DIR, CMD_JUMP_DATA,
                                 CMD_JUMP_CLUSTER};
constexpr int EDIT_COMMANDS[] = {CMD_JUMP_LAST, CMD_SECTOR_FILE_LOAD, CMD_SECTOR_FILE_SAVE,
                                 CMD_DUMP_TO_FILE, CMD_EDIT_BYTE, CMD_ZERO_CLEAR, CMD_REFRESH};

class RawVolume : public EditorTest {
protected:
    // A: with its boot sector zeroed, so the system no longer reads it.
    void damageFloppy()
    {
        std::FILE* file = std::fopen(floppy.c_str(), "r+b");
        std::vector<uint8_t> zeros(512, 0);
        std::fwrite(zeros.data(), 1, zeros.size(), file);
        std::fclose(file);
        fake.volumesByDrive['A'].present = false;
        fake.volumesByDrive['A'].freeSpaceOk = false;
    }
    void expectRawCommands()
    {
        for (int id : AREA_COMMANDS) EXPECT_FALSE(isCommandEnabled(id)) << id;
        for (int id : EDIT_COMMANDS) EXPECT_TRUE(isCommandEnabled(id)) << id;
    }
};

TEST_F(RawVolume, AFailedQueryWithAWorkingDeviceOpensRaw)
{
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));  // areas first shown on, from a good volume
    damageFloppy();
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 5));
    EXPECT_TRUE(volumeInfo.isRaw);
    EXPECT_EQ(editor.sectorSize, 512u);
    EXPECT_EQ(fake.title, "Veldis - Ａドライブ　5セクタ");
    EXPECT_TRUE(shownSector() == diskSector(5));
    expectRawCommands();
    EXPECT_EQ(editorSpace.totalClusters, 0u);  // no figures of the good volume stay behind

    ASSERT_TRUE(navigate(CMD_JUMP_LAST));  // the device's last sector
    EXPECT_EQ(editor.currentSector, 2879u);
    EXPECT_FALSE(isCommandEnabled(CMD_NEXT_SECTOR));

    // The repair: the boot sector typed back and written.
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    editor.workBuffer[0] = 0xEB;
    syncBuffers(SyncMode::Compare);
    fake.answers = {ANSWER_OK};
    writeSector();
    EXPECT_EQ(diskSector(0)[0], 0xEB);
    EXPECT_EQ(editor.modified, 0);
}

TEST_F(RawVolume, AFailedQueryWithoutADeviceIsAReadError)
{
    damageFloppy();
    ImageRoute::hideDevice(DRIVE_A);
    EXPECT_FALSE(loadSector(driveSource(DRIVE_A), 0));
    EXPECT_EQ(boxesOf(MSG_SECTOR_READ_ERROR), 1);
    EXPECT_EQ(editor.source, NO_SOURCE);
}

// A boot sector claiming more sectors than there are: the device bounds them.
TEST_F(RawVolume, ABootSectorPastTheDeviceIsBoundedByIt)
{
    std::filesystem::resize_file(floppy, 1000 * 512);
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    EXPECT_TRUE(volumeInfo.isRaw);
    EXPECT_EQ(editorLayout.totalSectors, 1000u);
    expectRawCommands();
    ASSERT_TRUE(navigate(CMD_JUMP_LAST));
    EXPECT_EQ(editor.currentSector, 999u);
    EXPECT_FALSE(loadSector(driveSource(DRIVE_A), 1500));  // past the device: refused
    EXPECT_EQ(boxesOf(MSG_BAD_PARAMETER), 1);
    EXPECT_EQ(editor.currentSector, 999u);

    std::filesystem::resize_file(floppy, 2880 * 512);  // whole again: a FAT volume as before
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    EXPECT_FALSE(volumeInfo.isRaw);
    EXPECT_TRUE(isCommandEnabled(CMD_JUMP_DIR));
}

// FAT32 whose root cluster 0 puts the root directory inside the second FAT:
// no area command may lead there, with a device to bound it or without.
TEST_F(RawVolume, ABootSectorWithAreasOutOfOrderOpensRaw)
{
    std::string volume = makeFatImage(dir, "c.img", {32, 512, 34000, 1, 0, 2, 0});
    writeBytes(volume, 44, {0, 0, 0, 0});
    attach(DRIVE_C, volume, 512, 3);
    for (bool device : {true, false}) {
        if (!device) ImageRoute::hideDevice(DRIVE_C);
        ASSERT_TRUE(loadSector(driveSource(DRIVE_C), 0)) << device;
        EXPECT_TRUE(volumeInfo.isRaw) << device;
        expectRawCommands();
        ASSERT_TRUE(navigate(CMD_JUMP_LAST));
        EXPECT_EQ(editor.currentSector, 67999u) << device;
    }
}

// One device sector would overrun the editor's buffer, whatever the volume says.
TEST_F(RawVolume, ADeviceSectorLargerThanTheBufferIsRefused)
{
    attach(DRIVE_C, floppy, 32768, 3);
    fake.volumesByDrive['C'].bytesPerSector = 512;
    EXPECT_FALSE(loadSector(driveSource(DRIVE_C), 0));
    runImageSave((dir.path + "/c.img").c_str(), driveSource(DRIVE_C), SaveRange::WholeDrive);
    EXPECT_EQ(boxesOf(MSG_DRIVE_UNSUPPORTED), 2);
    EXPECT_TRUE(ImageRoute::requests().empty());
}

// The image runs take the whole device or sectors of the user's own, no area.
TEST_F(RawVolume, ImageRunsTakeTheDeviceButNoArea)
{
    damageFloppy();
    std::string file = dir.path + "/raw.img";
    for (SaveRange area : {SaveRange::Ipl, SaveRange::Fat, SaveRange::Dir, SaveRange::Data}) {
        fake.boxes.clear();
        runImageSave(file.c_str(), driveSource(DRIVE_A), area);
        ASSERT_EQ(fake.boxes.size(), 1u);
        EXPECT_EQ(fake.boxes[0].text, messageText(MSG_BAD_PARAMETER));
        EXPECT_FALSE(std::filesystem::exists(file));
    }
    runImageSave(file.c_str(), driveSource(DRIVE_A), SaveRange::WholeDrive);
    EXPECT_TRUE(readBytes(file, 0, uint32_t(fileSize(file))) == readBytes(floppy, 0, 2880 * 512));
}

// An image file whose boot sector claims sectors longer than the file opens
// raw in 512-byte sectors; a device's path is no image file; and while a run
// holds the file shown, no other file takes its place under it.
TEST_F(RawVolume, ImageFilesOpenRawByTheirLengthAndOnlyAsFiles)
{
    std::string small = dir.path + "/small.img";
    std::vector<uint8_t> boot = readBytes(floppy, 0, 512);
    boot[11] = 0x00, boot[12] = 0x10;  // 4096 bytes a sector
    boot.resize(3000, 0xAB);
    std::ofstream(small, std::ios::binary).write(reinterpret_cast<char*>(boot.data()), 3000);
    ASSERT_TRUE(openImageFile(small.c_str()));
    EXPECT_EQ(editor.sectorSize, 512u);
    EXPECT_TRUE(volumeInfo.isRaw);
    ASSERT_TRUE(navigate(CMD_JUMP_LAST));
    EXPECT_EQ(editor.currentSector, 4u);

    for (const char* device : {"\\\\.\\D:", "\\\\?\\GLOBALROOT\\Device\\Harddisk0\\Partition1",
                               "//./PhysicalDrive0", "\\??\\C:", "C:\\temp\\nul.img", "COM1"}) {
        fake.boxes.clear();
        EXPECT_FALSE(openImageFile(device)) << device;
        EXPECT_EQ(boxesOf(MSG_DEVICE_PATH), 1) << device;
    }
    for (const char* file : {"\\\\?\\C:\\images\\fd.img", "\\\\?\\UNC\\server\\fd.img",
                             "C:\\console.img", "C:\\con\\fd.img"})
        EXPECT_FALSE(isDevicePath(file)) << file;

    ASSERT_TRUE(SectorIo::beginRun(SectorOp::Read, IMAGE_FILE_SOURCE, 512, false));
    EXPECT_EQ(SectorIo::openImage(floppy.c_str()), SectorIo::ImageOpening::Unopened);
    SectorIo::setImageSectorSize(4096);
    uint8_t sector[IMAGE_BUFFER_SIZE];
    EXPECT_EQ(SectorIo::transfer(SectorOp::Read, IMAGE_FILE_SOURCE, 1, 4, sector), SECTOR_STATUS_OK);
    EXPECT_EQ(sector[0], 0xAB);
    SectorIo::endRun(false);
}

}  // namespace
