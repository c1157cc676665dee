#include <fstream>
#include <string>
#include <vector>

#include "app/main_commands.h"
#include "editor/sector_structure.h"
#include "editor/structure_actions.h"
#include "editor_fixture.h"
#include "image/file_save.h"

// The structure view, the chain steps and the file save over a floppy mtools
// filled: a long name, a subdirectory, a fragmented file and a deleted one.
namespace {

std::vector<uint8_t> pattern(size_t size, uint8_t seed)
{
    std::vector<uint8_t> bytes(size);
    for (size_t k = 0; k < size; k++) bytes[k] = uint8_t(seed + k * 7 + k / 251);
    return bytes;
}

class Structure : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        copyIntoImage(floppy, "A.BIN", pattern(1024, 1));
        copyIntoImage(floppy, "GAP.BIN", pattern(1024, 2));
        copyIntoImage(floppy, "C.BIN", pattern(1024, 3));
        mtools("mdel", "GAP.BIN");
        put("Fragmented file.dat", fragmented);  // 2 clusters, a gap, 4
        mtools("mmd", "SUB");
        settings.structureView = 1;
    }

    void mtools(const char* command, const std::string& name)
    {
        EXPECT_TRUE(run(std::string("MTOOLS_SKIP_CHECK=1 ") + command + " -i '" + floppy +
                        "' '::/" + name + "'"));
    }

    void put(const std::string& name, const std::vector<uint8_t>& data)
    {
        std::string source = dir.path + "/source";
        std::ofstream(source, std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
        EXPECT_TRUE(run("LC_ALL=C.UTF-8 MTOOLS_SKIP_CHECK=1 mcopy -i '" + floppy + "' '" + source +
                        "' '::/" + name + "'"));
    }

    // The row whose 名前 or 長い名前 cell is `name`.
    const StructureRow* row(const std::string& name)
    {
        for (uint32_t k = 0; k < sectorStructure.rowCount; k++) {
            const StructureRow& r = sectorStructure.rows[k];
            if (name == structureCell(r, 1) || name == structureCell(r, 2)) return &r;
        }
        return nullptr;
    }

    int32_t indexOf(const StructureRow* r) { return int32_t(r - sectorStructure.rows); }

    std::string saved(const char* path) { return dir.path + "/" + path; }
    bool fileExists(const std::string& path) { return std::ifstream(path).good(); }

    const std::vector<uint8_t> fragmented = pattern(3000, 9);
};

TEST_F(Structure, EachAreaDecodesAndTheCaretFollowsTheRows)
{
    const struct {
        SectorNumber sector;
        StructureKind kind;
        const char* title;
        const char* cell;  // a row's third cell, with its fourth
        const char* value;
    } areas[] = {
        {0, StructureKind::BootSector, "ﾌﾞｰﾄｾｸﾀ  FAT12", "ｾｸﾀのﾊﾞｲﾄ数", "512 (200h)"},
        {0, StructureKind::BootSector, "ﾌﾞｰﾄｾｸﾀ  FAT12", "→ DATA領域", "ｾｸﾀ 33～2879"},
        {1, StructureKind::Fat, "FAT1  1/9 ｾｸﾀ目  ｸﾗｽﾀ 0～341", "FFFh", "最後"},
        {10, StructureKind::Fat, "FAT2  1/9 ｾｸﾀ目  ｸﾗｽﾀ 0～341", "003h", "次: 3"},
        {19, StructureKind::Directory, "ﾙｰﾄﾃﾞｨﾚｸﾄﾘ  1/14 ｾｸﾀ目", "", ""},
        {40, StructureKind::Other, "DATA領域  ｸﾗｽﾀ 9", "", ""},
    };
    for (const auto& area : areas) {
        ASSERT_TRUE(loadSector(driveSource(DRIVE_A), area.sector)) << area.sector;
        EXPECT_EQ(sectorStructure.kind, area.kind) << area.sector;
        EXPECT_STREQ(sectorStructure.title, area.title) << area.sector;
        bool found = area.cell[0] == '\0';
        for (uint32_t k = 0; k < sectorStructure.rowCount; k++)
            found |= std::string(structureCell(sectorStructure.rows[k], 2)) == area.cell &&
                     std::string(structureCell(sectorStructure.rows[k], 3)) == area.value;
        EXPECT_TRUE(found) << area.sector << " " << area.cell;
        EXPECT_TRUE(fake.structureShown);
    }
    // FAT12's entry 341 has its first byte on this sector and the rest on the next.
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 1));
    const StructureRow& last = sectorStructure.rows[sectorStructure.rowCount - 1];
    EXPECT_EQ(std::string(structureCell(last, 1)), "341");
    EXPECT_EQ(last.offset, 511u);
    EXPECT_EQ(last.length, 1u);

    // A row chosen puts the caret on it; the caret's row is marked.
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 19));
    const StructureRow* file = row("Fragmented file.dat");
    ASSERT_NE(file, nullptr);
    EXPECT_STREQ(structureCell(*file, 6), "3000");
    selectStructureRow(indexOf(file));
    EXPECT_EQ(uint32_t(editor.cursorLine * 16 + editor.cursorColumn), file->offset);
    EXPECT_EQ(sectorStructure.caretRow, indexOf(file));
    // An edit is decoded at once: the size's low byte.
    uint32_t generation = sectorStructure.generation;
    editor.workBuffer[file->offset + 28] = 0xB9;  // 3000 is 0BB8h
    showStructure();
    EXPECT_NE(sectorStructure.generation, generation);
    EXPECT_STREQ(structureCell(*row("Fragmented file.dat"), 6), "3001");
}

TEST_F(Structure, EnterFollowsDirectoriesAndTheChainStepsNameWhereTheyStop)
{
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 19));
    ASSERT_TRUE(openStructureRow(indexOf(row("SUB"))));
    EXPECT_EQ(sectorStructure.kind, StructureKind::Directory);
    ASSERT_NE(row(".."), nullptr);
    ASSERT_TRUE(openStructureRow(indexOf(row(".."))));
    EXPECT_EQ(editor.currentSector, 19u);

    // The file's clusters: 4 and 5 where GAP.BIN was, then 8 to 11 past C.BIN.
    ASSERT_TRUE(openStructureRow(indexOf(row("Fragmented file.dat"))));
    EXPECT_EQ(editor.currentSector, 33u + 4 - 2);
    const SectorNumber chain[] = {36, 39, 40, 41, 42};
    for (SectorNumber sector : chain) {
        ASSERT_TRUE(isCommandEnabled(CMD_NEXT_CLUSTER));
        runCommand(CMD_NEXT_CLUSTER);
        EXPECT_EQ(editor.currentSector, sector);
    }
    EXPECT_EQ(fake.boxes.size(), 0u);
    runCommand(CMD_NEXT_CLUSTER);
    EXPECT_EQ(editor.currentSector, 42u);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_NE(fake.boxes[0].text.find("ファイルの最後のクラスタです"), std::string::npos);
    for (SectorNumber sector : {41, 40, 39, 36, 35}) {
        runCommand(CMD_PREV_CLUSTER);
        EXPECT_EQ(editor.currentSector, sector);
    }
    runCommand(CMD_PREV_CLUSTER);
    EXPECT_EQ(editor.currentSector, 35u);
    EXPECT_NE(fake.boxes.back().text.find("チェーンの最初のクラスタ"), std::string::npos);
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 19));
    EXPECT_FALSE(isCommandEnabled(CMD_NEXT_CLUSTER));
}

TEST_F(Structure, AFileIsSavedByItsChainAndABrokenOneIsNamed)
{
    // A long name is offered whole, a double-byte character ending in 5Ch too.
    put(u8"ソフト.txt", {});
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 19));
    selectStructureRow(indexOf(row("ソフト.txt")));
    ASSERT_EQ(beginFileSave(), FileSaveStep::ChooseFile);
    EXPECT_FALSE(chooseSavedFile());
    EXPECT_STREQ(fileNameOf(lastFilePath), "ソフト.txt");

    selectStructureRow(indexOf(row("Fragmented file.dat")));
    ASSERT_EQ(beginFileSave(), FileSaveStep::ChooseFile);
    EXPECT_FALSE(chooseSavedFile());  // cancelled, on the name offered
    EXPECT_STREQ(fileNameOf(lastFilePath), "Fragmented file.dat");
    fake.chosenFiles.push_back(saved("whole.dat"));
    ASSERT_TRUE(chooseSavedFile());
    runFileSave();
    EXPECT_TRUE(readBytes(saved("whole.dat"), 0, 3000) == fragmented);
    EXPECT_EQ(fileSize(saved("whole.dat")), 3000u);
    EXPECT_EQ(boxesOf(MSG_DONE), 1);

    // Cluster 5's entry in the first FAT says free: the chain breaks after it.
    writeBytes(floppy, 512 + 7, {uint8_t(diskSector(1)[7] & 0x0F), 0x00});
    const struct {
        int answer;
        bool kept;
    } answers[] = {{ANSWER_NO, false}, {ANSWER_YES, true}};
    for (const auto& a : answers) {
        fake.answers.push_back(a.answer);
        fake.chosenFiles.push_back(saved("part.dat"));
        ASSERT_TRUE(chooseSavedFile());
        runFileSave();
        EXPECT_NE(fake.boxes.back().text.find("クラスタ 5 の次が、空きクラスタです。"),
                  std::string::npos);
        EXPECT_EQ(fileExists(saved("part.dat")), a.kept);
    }
    EXPECT_TRUE(readBytes(saved("part.dat"), 0, 1024) ==
                std::vector<uint8_t>(fragmented.begin(), fragmented.begin() + 1024));
    EXPECT_EQ(fileSize(saved("part.dat")), 1024u);

    // A sector that cannot be read, or a stop, leaves no file behind.
    ImageRoute::failSector(DRIVE_A, SectorOp::Read, 35);
    fake.chosenFiles.push_back(saved("failed.dat"));
    ASSERT_TRUE(chooseSavedFile());
    runFileSave();
    EXPECT_FALSE(fileExists(saved("failed.dat")));
    EXPECT_NE(fake.boxes.back().text.find("セクタ 35 が読めませんでした"), std::string::npos);
}

TEST_F(Structure, ADeletedFileIsSavedFromItsFreeClustersElsewhereOnly)
{
    put("Lost report.txt", pattern(1300, 5));
    mtools("mdel", "Lost report.txt");
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 19));
    const StructureRow* deleted = row("?OSTRE~1.TXT");
    ASSERT_NE(deleted, nullptr);
    EXPECT_STREQ(structureCell(*deleted, 7), "削除したﾌｧｲﾙ");
    selectStructureRow(indexOf(deleted));
    ASSERT_EQ(beginFileSave(), FileSaveStep::AskFirstCharacter);
    EXPECT_STREQ(fileSaveRequest.firstCharacter, "L");  // from the long name's checksum
    for (const char* refused : {"", "ab", "?", "."}) EXPECT_FALSE(acceptFirstCharacter(refused));
    EXPECT_TRUE(acceptFirstCharacter("l"));
    EXPECT_STREQ(fileSaveRequest.shortName, "LOSTRE~1.TXT");
    // Saved onto the floppy itself, it could take the clusters it reads.
    fake.chosenFiles.push_back("A:\\LOST.TXT");
    EXPECT_FALSE(chooseSavedFile());
    EXPECT_EQ(boxesOf(MSG_RECOVER_ON_SOURCE), 1);
    fake.chosenFiles.push_back(saved("lost.txt"));
    ASSERT_TRUE(chooseSavedFile());
    runFileSave();
    EXPECT_TRUE(readBytes(saved("lost.txt"), 0, 1300) == pattern(1300, 5));
    EXPECT_EQ(fileSize(saved("lost.txt")), 1300u);
}

}  // namespace
