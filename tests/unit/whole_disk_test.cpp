#include <string>
#include <vector>

#include "driveinfo/partition_list.h"
#include "editor/cluster_jump.h"
#include "editor/status_text.h"
#include "editor/write_undo.h"
#include "editor_fixture.h"
#include "image/drive_image.h"
#include "volume/boot_sector.h"

// A whole disk opened as an image file: its partitions listed, and the areas
// of the one holding the sector shown reached at their places on the disk.
namespace {

constexpr int DISK_MIB = 64;
constexpr uint64_t DISK_SECTORS = DISK_MIB * 2048;

struct Volume {
    int32_t entry;  // in the table's order: 0 primary, 1 extended, 2 and 3 logical
    int fatBits;
    const char* label;
};
constexpr Volume VOLUMES[] = {{0, 16, "PRIMARY16"}, {2, 32, "LOGICAL32"}, {3, 12, "LOGICAL12"}};

class WholeDisk : public EditorTest {
protected:
    // An MBR with a FAT16 primary, and an extended partition holding a FAT32
    // and a FAT12 logical one, laid out by sfdisk and formatted by mkfs.fat
    // where the table says each partition is.
    void SetUp() override
    {
        EditorTest::SetUp();
        disk = dir.path + "/disk.img";
        ASSERT_TRUE(run("truncate -s " + std::to_string(DISK_MIB) + "M " + disk));
        ASSERT_TRUE(run("printf 'label: dos\\nsize=16M, type=6\\ntype=5\\nsize=36M, type=c\\n"
                        "type=1\\n' | sfdisk -q " + disk));
        ASSERT_TRUE(openImageFile(disk.c_str()));
        ASSERT_TRUE(partitionTable.isDisk);
        ASSERT_EQ(partitionTable.count, 4);
        for (const Volume& v : VOLUMES) {
            const Partition& p = partitionTable.entries[v.entry];
            ASSERT_TRUE(run("mkfs.fat -F " + std::to_string(v.fatBits) + " -n " + v.label +
                            " --offset " + std::to_string(p.firstSector) + " " + disk + " " +
                            std::to_string(p.sectorCount / 2) + " >/dev/null"));
        }
        ASSERT_TRUE(loadSector(IMAGE_FILE_SOURCE, 0));
    }

    VolumeLayout layoutOf(const Partition& p)
    {
        return parseBootSector(readBytes(disk, p.firstSector * 512, 512).data(), false);
    }

    std::string areaText()
    {
        StatusTexts texts;
        formatStatus(texts);
        return texts.parts[3];
    }

    std::string disk;
};

TEST_F(WholeDisk, TheMbrIsNoVolumeButItsPartitionsAre)
{
    EXPECT_EQ(editor.sectorSize, 512u);
    EXPECT_EQ(editorLayout.totalSectors, DISK_SECTORS);
    EXPECT_TRUE(isCommandEnabled(CMD_PARTITION_LIST));
    EXPECT_FALSE(isCommandEnabled(CMD_JUMP_FAT));
    EXPECT_FALSE(isCommandEnabled(CMD_DRIVE_INFO));
    EXPECT_EQ(areaText(), "MBR");
    EXPECT_EQ(fake.title, "Veldis - disk.img　0セクタ");

    for (const Volume& v : VOLUMES) {
        const Partition& p = partitionTable.entries[v.entry];
        const VolumeLayout layout = layoutOf(p);
        std::string name = "ﾊﾟｰﾃｨｼｮﾝ" + std::to_string(p.number);
        ASSERT_TRUE(loadSector(IMAGE_FILE_SOURCE, p.firstSector + 1)) << v.label;
        EXPECT_EQ(fake.title, "Veldis - disk.img　パーティション" + std::to_string(p.number) + "　" +
                                  std::to_string(p.firstSector + 1) + "セクタ");
        const struct {
            int command;
            SectorNumber sector;
            std::string area;
        } jumps[] = {
            {CMD_JUMP_IPL, p.firstSector, name + " IPL"},
            {CMD_JUMP_FAT, p.firstSector + layout.reservedSectors, name + " FAT"},
            {CMD_JUMP_DIR, p.firstSector + layout.dirStart, name + (v.fatBits == 32 ? " DATA ｸﾗｽﾀ 2" : " DIR")},
            {CMD_JUMP_DATA, p.firstSector + layout.dataStart, name + " DATA ｸﾗｽﾀ 2"},
        };
        for (const auto& jump : jumps) {
            ASSERT_TRUE(navigate(jump.command));
            EXPECT_EQ(editor.currentSector, jump.sector) << v.label << " " << jump.command;
            EXPECT_EQ(areaText(), jump.area) << v.label;
        }
        jumpToCluster(3);
        EXPECT_EQ(editor.currentSector, p.firstSector + layout.dataStart + layout.sectorsPerCluster);
        ASSERT_TRUE(navigate(CMD_JUMP_LAST));  // the disk's last sector, not the partition's
        EXPECT_EQ(editor.currentSector, DISK_SECTORS - 1);
    }
}

TEST_F(WholeDisk, TheListNamesEachPartitionAndShowsOnlyThoseThatCanBe)
{
    buildPartitionRows();
    ASSERT_EQ(partitionRows.count, 4);
    const char* const contents[] = {"FAT16 (PRIMARY16)", "", "FAT32 (LOGICAL32)", "FAT12 (LOGICAL12)"};
    const char* const schemes[] = {"MBR 基本", "MBR 基本", "MBR 論理", "MBR 論理"};
    for (int32_t k = 0; k < 4; k++) {
        const Partition& p = partitionTable.entries[k];
        const PartitionRow& row = partitionRows.rows[k];
        EXPECT_STREQ(row.texts[1], schemes[k]) << k;
        EXPECT_EQ(row.texts[3], std::to_string(p.firstSector)) << k;
        EXPECT_EQ(row.texts[4], std::to_string(p.firstSector + p.sectorCount - 1)) << k;
        EXPECT_STREQ(row.texts[6], contents[k]) << k;
        EXPECT_STREQ(row.texts[7], "") << k;
    }
    EXPECT_STREQ(partitionRows.rows[0].texts[5], "16.0 MB");
    EXPECT_STREQ(partitionRows.note, "");
    EXPECT_FALSE(showPartitionRow(1));  // the extended container is no volume
    EXPECT_EQ(editor.currentSector, 0u);
    ASSERT_TRUE(showPartitionRow(3));
    EXPECT_EQ(editor.currentSector, partitionTable.entries[3].firstSector);
    SectorNumber start = 7, count = 9;  // the image dialogs' own range offers it
    offerShownPartition(start, &count);
    EXPECT_EQ(start, partitionTable.entries[3].firstSector);
    EXPECT_EQ(count, partitionTable.entries[3].sectorCount);
}

// Sectors that say where the volumes lie are written only when the user
// says so a second time; other sectors ask as before.
TEST_F(WholeDisk, WritingATableSectorAsksWhatItIs)
{
    const SectorNumber ebr = partitionTable.ebrSectors[1];
    const std::vector<uint8_t> before = readBytes(disk, 0, DISK_MIB << 20);
    for (SectorNumber sector : {SectorNumber(0), ebr}) {
        ASSERT_TRUE(loadSector(IMAGE_FILE_SOURCE, sector));
        editor.workBuffer[0x1B0] ^= 0xFF;
        syncBuffers(SyncMode::Compare);
        fake.boxes.clear();
        fake.answers = {ANSWER_OK, ANSWER_CANCEL};
        writeSector();
        char question[512];
        std::snprintf(question, sizeof question, messageText(MSG_TABLE_SECTOR_WRITE),
                      (unsigned long long)sector,
                      sector == 0 ? "MBR（マスターブートレコード）"
                                  : "EBR（拡張パーティションのブートレコード）");
        ASSERT_EQ(fake.boxes.size(), 2u);
        EXPECT_EQ(fake.boxes[1].text, question);
        EXPECT_NE(editor.modified, 0);
        revertEdits();
    }
    EXPECT_TRUE(readBytes(disk, 0, DISK_MIB << 20) == before);

    const SectorNumber data = partitionTable.entries[3].firstSector + 40;
    ASSERT_TRUE(loadSector(IMAGE_FILE_SOURCE, data));
    editor.workBuffer[0] = 0x5A;
    syncBuffers(SyncMode::Compare);
    fake.boxes.clear();
    fake.answers = {ANSWER_OK};
    writeSector();
    EXPECT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(readBytes(disk, data * 512, 1)[0], 0x5A);
}

// The same disk as physical disk 0: named so, and a write to it is taken
// back only while the disk in that place is the one written (its MBR's
// signature tells); on Windows 95/98 no physical disk is read at all.
TEST_F(WholeDisk, APhysicalDiskIsShownAndItsWriteTakenBackOnlyOntoIt)
{
    ImageRoute::attachDisk(0, disk, 512);
    const SectorNumber data = partitionTable.entries[0].firstSector + 100;
    ASSERT_TRUE(loadSector(diskSource(0), data));
    EXPECT_EQ(fake.title, "Veldis - ディスク0　パーティション1　" + std::to_string(data) + "セクタ");
    EXPECT_FALSE(isCommandEnabled(CMD_DRIVE_INFO));
    settings.confirmSectorWrite = 0;
    editor.workBuffer[0] = 0x77;
    syncBuffers(SyncMode::Compare);
    writeSector();
    ASSERT_EQ(readBytes(disk, data * 512, 1)[0], 0x77);
    EXPECT_TRUE(isCommandEnabled(CMD_UNDO_WRITE));

    writeBytes(disk, 440, {0x12, 0x34, 0x56, 0x78});  // another disk put in its place
    fake.boxes.clear();
    fake.answers = {ANSWER_OK};
    undoLastWrite();
    char refused[512];
    std::snprintf(refused, sizeof refused, messageText(MSG_OTHER_MEDIUM), "ディスク0",
                  (unsigned long long)data);
    ASSERT_EQ(fake.boxes.size(), 2u);
    EXPECT_EQ(fake.boxes[1].text, refused);
    EXPECT_EQ(readBytes(disk, data * 512, 1)[0], 0x77);

    // A partition whose boot sector cannot be read still shows its other
    // sectors, without areas.
    ImageRoute::failSector(ImageRoute::diskDrive(0), SectorOp::Read,
                           partitionTable.entries[0].firstSector);
    ASSERT_TRUE(loadSector(diskSource(0), data + 1));
    EXPECT_FALSE(isCommandEnabled(CMD_JUMP_FAT));
    EXPECT_EQ(areaText(), "ﾊﾟｰﾃｨｼｮﾝ1");

    SectorIo::setMethod(AccessMethod::Win98);
    fake.boxes.clear();
    size_t asked = ImageRoute::requests().size();
    EXPECT_FALSE(loadSector(diskSource(0), 0));
    EXPECT_EQ(boxesOf(MSG_SECTOR_READ_ERROR), 1);
    EXPECT_EQ(ImageRoute::requests().size(), asked);
}

}  // namespace
