#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "editor_fixture.h"
#include "image/drive_image.h"
#include "image/image_restore.h"
#include "image/image_save.h"
#include "image/rescue_map.h"
#include "map_blocks.h"
#include "platform/files.h"

// Drive images of real FAT volumes: A: a 1.44 MB floppy with a file on it,
// B: a second floppy, served by the image route with its faults.
namespace {

constexpr int DRIVE_B = 1;
constexpr uint32_t FLOPPY_SECTORS = 2880;

bool touches(const ImageRoute::Request& request, SectorNumber sector)
{
    return request.firstSector <= sector && sector < request.firstSector + request.count;
}

class ImageRun : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        std::vector<uint8_t> text(300000);
        for (size_t i = 0; i < text.size(); i++) text[i] = uint8_t(i * 7 + i / 511);
        copyIntoImage(floppy, "DATA.BIN", text);
        second = makeFatImage(dir, "b.img", {12, 512, 1440, 1, 1, 2, 224});
        attach(DRIVE_B, second, 512, 2);
        setNtfsSectorCount(floppy, FLOPPY_SECTORS - 1);  // where a test calls them NTFS
        setNtfsSectorCount(second, FLOPPY_SECTORS - 1);
        file = dir.path + "/drive.img";
        map = file + ".map";
    }

    std::vector<uint8_t> sectors(const std::string& image, uint32_t first, uint32_t count)
    {
        return count == 0 ? std::vector<uint8_t>{} : readBytes(image, first * 512ull, count * 512);
    }
    std::vector<uint8_t> whole(const std::string& path)
    {
        return readBytes(path, 0, uint32_t(fileSize(path)));
    }
    std::vector<std::string> boxTexts()
    {
        std::vector<std::string> texts;
        for (const ShownBox& box : fake.boxes) texts.push_back(box.text);
        return texts;
    }
    std::vector<std::string> texts(std::initializer_list<MessageId> ids)
    {
        std::vector<std::string> result;
        for (MessageId id : ids) result.push_back(messageText(id));
        return result;
    }
    // The question every restore of the whole floppy onto B: asks first.
    std::string overwriteB(const char* drive = "Ｂドライブ")
    {
        char text[512];
        std::snprintf(text, sizeof text, messageText(MSG_RESTORE_OVERWRITE), drive, 0ull, 2879ull,
                      "1,474,560");
        return text;
    }
    std::string notSectors(uint64_t size)
    {
        char text[512];
        std::snprintf(text, sizeof text, messageText(MSG_IMAGE_NOT_SECTORS),
                      (unsigned long long)size, 512ul);
        return text;
    }
    // A restore that did not end as a whole: the question it asked, why it
    // ended, and which sectors it wrote.
    std::vector<std::string> endedAt(MessageId why, uint32_t written)
    {
        char range[128];
        std::snprintf(range, sizeof range, messageText(MSG_SECTORS_WRITTEN), 0ull,
                      (unsigned long long)written - 1);
        return {overwriteB(), std::string(messageText(why)) + "\n" +
                                  (written == 0 ? messageText(MSG_NOTHING_WRITTEN) : range)};
    }
    // Every transfer of the run in one locked run of its drive.
    void expectOneRun(SectorOp op, bool dismounted)
    {
        ASSERT_EQ(ImageRoute::runs().size(), 1u);
        EXPECT_EQ(ImageRoute::runs()[0].op, op);
        EXPECT_TRUE(ImageRoute::runs()[0].locked);
        EXPECT_TRUE(ImageRoute::runs()[0].ended);
        EXPECT_EQ(ImageRoute::runs()[0].dismounted, dismounted);
        for (const ImageRoute::Request& request : ImageRoute::requests()) {
            if (request.firstSector != 0 || request.count != 1) {
                EXPECT_TRUE(request.inRun);
            }
        }
    }
    struct Hole {
        uint32_t first, count;
        char status;
    };
    // The map a save of a failing drive keeps beside the image: `sectors`
    // sectors, every one read but the holes.
    void mapBeside(const std::vector<Hole>& holes, uint32_t sectors = FLOPPY_SECTORS)
    {
        std::string text = "# Mapfile\n0x00000000 + 1\n";
        auto block = [&](uint32_t first, uint32_t count, char status) {
            char line[64];
            std::snprintf(line, sizeof line, "0x%08X 0x%08X %c\n", first * 512, count * 512, status);
            if (count > 0) text += line;
        };
        uint32_t at = 0;
        for (const Hole& hole : holes) {
            block(at, hole.first - at, '+');
            block(hole.first, hole.count, hole.status);
            at = hole.first + hole.count;
        }
        block(at, sectors - at, '+');
        std::ofstream(file + ".map") << text;
    }
    template <typename... Args>
    std::string said(MessageId id, Args... args)
    {
        char text[768];
        std::snprintf(text, sizeof text, messageText(id), args...);
        return text;
    }
    // A: afresh, with these sectors unreadable.
    void failA(const std::vector<SectorNumber>& bad)
    {
        ImageRoute::reset();
        attach(DRIVE_A, floppy, 512, 2);
        for (SectorNumber sector : bad) ImageRoute::failSector(DRIVE_A, SectorOp::Read, sector);
        fake.boxes.clear();
    }
    bool loadMap(RescueMap& parsed)
    {
        std::ifstream in(map, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return in.is_open() && parseMap(text.data(), text.size(), 512, parsed) && parsed.first == 0;
    }
    std::string mapBlocks()
    {
        RescueMap parsed;
        return loadMap(parsed) ? blocksOf(parsed) : "no map";
    }
    void saveWholeFloppy()
    {
        runImageSave(file.c_str(), driveSource(DRIVE_A), SaveRange::WholeDrive);
        ImageRoute::reset();
        attach(DRIVE_A, floppy, 512, 2);
        attach(DRIVE_B, second, 512, 2);
        fake.boxes.clear();
        fake.progress.clear();
    }

    std::string second, file, map;
};

// Any count moves in whole chunks of the route's size and one shorter last
// chunk: about 1 MiB on the NT route, 18 KiB through INT 25h/26h. A count
// with no small divisor (a prime) no longer goes a sector at a time.
TEST_F(ImageRun, AnyCountMovesInLargeChunksAndOneShorterLast)
{
    const SectorNumber total = (1 << 20) + 4096;
    std::string device = dir.path + "/device.img";
    std::ofstream(device, std::ios::binary).put(0);
    std::filesystem::resize_file(device, total * 512);
    attach(DRIVE_C, device, 512, 3);
    fake.volumesByDrive['C'].present = false;  // no file system: by the device
    fake.volumesByDrive['C'].freeSpaceOk = false;
    struct Case {
        SectorNumber first, count;
        std::vector<uint32_t> transfers;
    } cases[] = {
        {5, 1, {1}},
        {5, 36, {36}},
        {5, 37, {37}},
        {5, 2053, {2048, 5}},
        {5, (1 << 20) + 1, std::vector<uint32_t>(512, 2048)},
        {total - 4097, 4097, {2048, 2048, 1}},  // to the last sector
    };
    cases[4].transfers.push_back(1);
    for (const Case& c : cases) {
        writeBytes(device, c.first * 512, {0xF1});
        writeBytes(device, (c.first + c.count) * 512 - 1, {0x1A});
        ImageRoute::reset();
        attach(DRIVE_C, device, 512, 3);
        std::remove(file.c_str());
        imageSaveStart = c.first, imageSaveCount = c.count;
        runImageSave(file.c_str(), driveSource(DRIVE_C), SaveRange::UserSpecified);
        std::vector<uint32_t> transfers;
        for (const ImageRoute::Request& request : ImageRoute::requests())
            transfers.push_back(request.count);
        EXPECT_EQ(transfers, c.transfers) << c.count;
        EXPECT_EQ(ImageRoute::requests().front().firstSector, c.first) << c.count;
        EXPECT_EQ(fileSize(file), c.count * 512) << c.count;
        EXPECT_TRUE(readBytes(file, 0, 1) == std::vector<uint8_t>{0xF1}) << c.count;
        EXPECT_TRUE(readBytes(file, c.count * 512 - 1, 1) == std::vector<uint8_t>{0x1A});
    }
    // INT 25h/26h keep their 18 KiB: 2053 sectors go as 57 of 36 and one of 1.
    for (AccessMethod method : {AccessMethod::Win95, AccessMethod::Win98}) {
        SectorIo::setMethod(method);
        EXPECT_EQ(runChunkSectors(512), 36u);
        EXPECT_EQ(runChunkSectors(2048), 9u);
    }
    SectorIo::setMethod(AccessMethod::WinNt5);
    EXPECT_EQ(runChunkSectors(4096), 256u);
    EXPECT_EQ(runChunkSectors(0), 1u);
}

TEST_F(ImageRun, EachRangeSavesItsSectorsAndRemembersThem)
{
    struct Case {
        SaveRange range;
        uint32_t first, count;
    } cases[] = {
        {SaveRange::WholeDrive, 0, 2880}, {SaveRange::Ipl, 0, 1},  {SaveRange::Fat, 1, 9},
        {SaveRange::Dir, 19, 14},         {SaveRange::Data, 33, 2847},
    };
    for (const Case& c : cases) {
        ImageRoute::reset();
        attach(DRIVE_A, floppy, 512, 2);
        fake.boxes.clear();
        std::remove(file.c_str());
        runImageSave(file.c_str(), driveSource(DRIVE_A), c.range);
        EXPECT_EQ(imageSaveStart, c.first);
        EXPECT_EQ(imageSaveCount, c.count);
        EXPECT_TRUE(whole(file) == sectors(floppy, c.first, c.count)) << int(c.range);
        EXPECT_EQ(boxTexts(), texts({MSG_DONE}));
        expectOneRun(SectorOp::Read, false);
    }
    EXPECT_STREQ(lastFilePath, file.c_str());
}

// The DATA area of a FAT32 volume runs to its end: the last cluster included.
TEST_F(ImageRun, TheDataAreaOfFat32EndsWithTheVolume)
{
    std::string volume = makeFatImage(dir, "c.img", {32, 512, 34000, 1, 0, 2, 0});
    attach(DRIVE_C, volume, 512, 3);
    runImageSave(file.c_str(), driveSource(DRIVE_C), SaveRange::Data);
    std::vector<uint8_t> boot = sectors(volume, 0, 1);
    uint32_t reserved = boot[14] | boot[15] << 8, perFat = boot[36] | boot[37] << 8 | boot[38] << 16;
    uint32_t dataStart = reserved + 2 * perFat, total = 68000;
    EXPECT_EQ(imageSaveCount, total - dataStart);
    EXPECT_TRUE(whole(file) == sectors(volume, dataStart, total - dataStart));
}

TEST_F(ImageRun, RangesThatCannotBeSavedCreateNoFile)
{
    struct Case {
        const char* what;
        const char* fileSystem;
        SaveRange range;
        uint32_t start, count;
        MessageId message;
    } cases[] = {
        {"an area of NTFS", "NTFS", SaveRange::Fat, 0, 1, MSG_NTFS_NOT_ALLOWED},
        {"no sectors", "FAT", SaveRange::UserSpecified, 5, 0, MSG_BAD_PARAMETER},
        {"one past the end", "FAT", SaveRange::UserSpecified, 2000, 881, MSG_BAD_PARAMETER},
        {"past 32 bits", "FAT", SaveRange::UserSpecified, 0xFFFFFFF0u, 0x20, MSG_BAD_PARAMETER},
    };
    for (const Case& c : cases) {
        fake.boxes.clear();
        fake.volumesByDrive['A'].fileSystem = c.fileSystem;
        imageSaveStart = c.start;
        imageSaveCount = c.count;
        runImageSave(file.c_str(), driveSource(DRIVE_A), c.range);
        EXPECT_EQ(boxTexts(), texts({c.message})) << c.what;
        EXPECT_TRUE(fake.createdFiles.empty()) << c.what;
    }
    for (SaveRange range : {SaveRange::WholeDrive, SaveRange::UserSpecified}) {
        imageSaveStart = 2000, imageSaveCount = 880;  // up to the last sector
        fake.answers = {ANSWER_YES};
        runImageSave(file.c_str(), driveSource(DRIVE_A), range);
        EXPECT_EQ(fake.boxes.back().text, messageText(MSG_DONE));
    }
    EXPECT_TRUE(whole(file) == sectors(floppy, 2000, 880));
}

TEST_F(ImageRun, ChecksBeforeTheFileComeInOrder)
{
    runImageSave("", driveSource(DRIVE_A), SaveRange::Ipl);
    EXPECT_EQ(boxTexts(), texts({MSG_NO_FILE}));

    std::vector<uint8_t> kept = {1, 2, 3};
    std::ofstream(file, std::ios::binary).write("\1\2\3", 3);
    fake.boxes.clear();
    fake.answers = {ANSWER_NO};
    runImageSave(file.c_str(), NO_SOURCE, SaveRange::Ipl);  // No: the drive is never looked at
    EXPECT_EQ(boxTexts(), texts({MSG_FILE_EXISTS}));
    EXPECT_EQ(whole(file), kept);

    fake.boxes.clear();
    fake.answers = {ANSWER_YES};
    runImageSave(file.c_str(), NO_SOURCE, SaveRange::Ipl);
    EXPECT_EQ(boxTexts(), texts({MSG_FILE_EXISTS, MSG_NO_DRIVE}));

    for (uint32_t size : {0u, 18944u}) {  // no chunk of such sectors fits the buffer
        fake.boxes.clear();
        fake.volumesByDrive['B'].bytesPerSector = size;
        runImageSave((dir.path + "/other.img").c_str(), driveSource(DRIVE_B), SaveRange::WholeDrive);
        EXPECT_EQ(boxTexts(), texts({MSG_DRIVE_UNSUPPORTED})) << size;
    }
    fake.createFails = true;
    fake.boxes.clear();
    runImageSave((dir.path + "/other.img").c_str(), driveSource(DRIVE_A), SaveRange::Ipl);
    EXPECT_EQ(boxTexts(), texts({MSG_FILE_OPEN_ERROR}));
    EXPECT_TRUE(fake.createdFiles.empty());
}

// An unreadable chunk is never written as if it were disk content, and part
// of a drive never stays under the name of an image of all of it: the
// question names the first unreadable sector, and No ends the save there,
// with no file, no map and nothing more said.
TEST_F(ImageRun, ASaveStopsAtTheFirstUnreadableChunk)
{
    for (uint32_t failing : {1u, 1450u, 2879u}) {  // in the first, a middle and the last chunk
        failA({failing});
        std::remove(file.c_str());
        fake.answers = {ANSWER_NO};
        runImageSave(file.c_str(), driveSource(DRIVE_A), SaveRange::WholeDrive);
        for (const ImageRoute::Request& request : ImageRoute::requests())
            EXPECT_LE(request.firstSector, failing) << failing;
        EXPECT_EQ(boxTexts(), std::vector<std::string>{said(MSG_RESCUE_ASK, 0ull + failing)});
        EXPECT_FALSE(std::ifstream(file).good()) << failing;
        EXPECT_FALSE(std::ifstream(map).good()) << failing;
        EXPECT_EQ(fake.openFiles, 0);
    }
    fake.boxes.clear();
    fake.writeFailsPast = 100 * 512;  // a full disk
    runImageSave(file.c_str(), driveSource(DRIVE_A), SaveRange::WholeDrive);
    EXPECT_EQ(boxTexts(), texts({MSG_FILE_WRITE_ERROR}));
    EXPECT_FALSE(std::ifstream(file).good());
}

// Yes reads every other sector the way ddrescue does: the whole image, its
// unreadable sectors zeros, the map listing just them. Each bad sector is
// read by the save's chunk (all before sector 2048), the question's search
// (sector 1 only), a sweep's 64 KiB read, one read alone (trimming or
// scraping), then once per retry. A dead stretch of 600 costs a read of
// each 64 KiB it touches and the save's chunk.
// A later save, the drive mended, reads those sectors alone into the image.
TEST_F(ImageRun, AnsweredYesASaveReadsAroundBadSectorsAndZerosThem)
{
    std::vector<SectorNumber> sparse = {1, 1450, 1451, 1452, 2879}, dead;
    for (SectorNumber s = 1000; s < 1600; s++) dead.push_back(s);
    for (const std::vector<SectorNumber>* bad : {&sparse, &dead})
        for (SectorNumber s : *bad) writeBytes(floppy, s * 512, std::vector<uint8_t>(512, 0xEE));
    using Reads = std::vector<std::pair<SectorNumber, size_t>>;  // before retries
    const Reads sparseReads = {{1, 4}, {1450, 3}, {1451, 3}, {1452, 3}, {2879, 2}};
    struct Case {
        const std::vector<SectorNumber>& bad;
        int retries;
        const char* blocks;
        Reads reads;
        size_t failedReadsOfMany;
    } cases[] = {
        {dead, 0, "1000+ 600- 1280+", {{1000, 4}, {1300, 3}, {1599, 3}}, 7},
        {sparse, 0, "1+ 1- 1448+ 3- 1426+ 1-", sparseReads, 4},
        {sparse, 2, "1+ 1- 1448+ 3- 1426+ 1-", sparseReads, 4},
    };
    for (const Case& c : cases) {
        failA(c.bad);
        std::remove(file.c_str());
        settings.readRetries = c.retries;
        fake.answers = {ANSWER_YES};
        runImageSave(file.c_str(), driveSource(DRIVE_A), SaveRange::WholeDrive);
        std::vector<uint8_t> expected = whole(floppy);
        for (SectorNumber s : c.bad) std::fill_n(expected.begin() + s * 512, 512, 0);
        EXPECT_TRUE(whole(file) == expected) << c.blocks;
        EXPECT_EQ(mapBlocks(), c.blocks);
        EXPECT_EQ(boxTexts(), (std::vector<std::string>{
                                  said(MSG_RESCUE_ASK, 0ull + c.bad[0]),
                                  said(MSG_RESCUE_DONE, 0ull + c.bad.size(), map.c_str())}));
        const std::vector<ImageRoute::Request>& log = ImageRoute::requests();
        for (const auto& [sector, reads] : c.reads) {
            auto touching = [&](const ImageRoute::Request& r) { return touches(r, sector); };
            EXPECT_EQ(size_t(std::count_if(log.begin(), log.end(), touching)), reads + c.retries)
                << sector << " retries " << c.retries;
        }
        auto failedReadOfMany = [&](const ImageRoute::Request& r) {
            return r.count > 1 && std::any_of(c.bad.begin(), c.bad.end(),
                                              [&](SectorNumber s) { return touches(r, s); });
        };
        EXPECT_LE(size_t(std::count_if(log.begin(), log.end(), failedReadOfMany)),
                  c.failedReadsOfMany)
            << c.blocks;
        EXPECT_EQ(fake.openFiles, 0);
    }
    failA({});
    settings.readRetries = 0;  // the bad sectors are read again all the same
    fake.answers = {ANSWER_YES};
    runImageSave(file.c_str(), driveSource(DRIVE_A), SaveRange::WholeDrive);
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{said(MSG_RESCUE_RETRY, map.c_str(), 5ull),
                                                    said(MSG_RETRY_DONE, 5ull, 0ull, map.c_str())}));
    EXPECT_TRUE(whole(file) == whole(floppy));
    EXPECT_EQ(mapBlocks(), "2880+");
    std::vector<SectorNumber> read;
    for (const ImageRoute::Request& r : ImageRoute::requests())
        if (r.inRun) read.push_back(r.firstSector);
    EXPECT_EQ(read, sparse);
    EXPECT_EQ(fake.openFiles, 0);
}

// A stop keeps the image and a map that tells the truth about it: a sector
// it calls read holds the drive's bytes; what the run never reached is
// listed as not tried.
TEST_F(ImageRun, AStoppedRescueKeepsImageAndMap)
{
    failA({1});
    fake.answers = {ANSWER_YES};
    fake.runContinues = 12;  // a failed 64 KiB read, then 12 read, skipping past the failure
    runImageSave(file.c_str(), driveSource(DRIVE_A), SaveRange::WholeDrive);
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{
                              said(MSG_RESCUE_ASK, 1ull),
                              std::string(messageText(MSG_RUN_STOPPED)) + "\n" +
                                  said(MSG_MAP_KEPT, map.c_str())}));
    RescueMap kept;
    ASSERT_TRUE(loadMap(kept));
    EXPECT_EQ(blocksOf(kept), "128* 128? 1536+ 1088?");
    for (uint32_t k = 0; k < kept.blockCount; k++) {
        const MapBlock& block = kept.blocks[k];
        if (block.status == MapStatus::Finished) {
            EXPECT_TRUE(sectors(file, uint32_t(block.first), uint32_t(block.count)) ==
                        sectors(floppy, uint32_t(block.first), uint32_t(block.count)));
        }
    }
}

// A map beside an image that is no map of its range is said to be so, and
// the save asks whether to overwrite, as without a map; a fresh save
// deletes whatever map was there.
TEST_F(ImageRun, AMapThatDoesNotFitLeavesTheOverwriteQuestion)
{
    const std::string unreadable = said(MSG_MAP_UNREADABLE, map.c_str()),
                      exists = messageText(MSG_FILE_EXISTS), done = messageText(MSG_DONE);
    struct Case {
        const char* what;
        const char* text;
        std::deque<int> answers;
        std::vector<std::string> boxes;
        bool overwritten;
    } cases[] = {
        {"no map", "junk\n", {0, ANSWER_YES}, {unreadable, exists, done}, true},
        {"of 2 sectors", "0 + 1\n0x0 0x400 +\n", {0, ANSWER_YES}, {unreadable, exists, done}, true},
        {"of 1024-byte sectors", "0 + 1\n0x0 0x168000 +\n0x168000 0x400 -\n", {0, ANSWER_NO},
         {unreadable, exists}, false},
        {"one not gone back to", "0 - 1\n0x0 0x200 -\n0x200 0x167E00 +\n", {ANSWER_NO, ANSWER_YES},
         {said(MSG_RESCUE_RETRY, map.c_str(), 1ull), exists, done}, true},
        {"with nothing to read", "0 + 1\n0x0 0x168000 +\n", {ANSWER_YES}, {exists, done}, true},
    };
    for (const Case& c : cases) {
        std::ofstream(file, std::ios::binary) << "x";
        std::ofstream(map, std::ios::binary) << c.text;
        fake.boxes.clear();
        fake.answers = c.answers;
        runImageSave(file.c_str(), driveSource(DRIVE_A), SaveRange::WholeDrive);
        EXPECT_EQ(boxTexts(), c.boxes) << c.what;
        EXPECT_EQ(whole(file) == whole(floppy), c.overwritten) << c.what;
        EXPECT_EQ(std::ifstream(map).good(), !c.overwritten) << c.what;
    }
}

// A map that cannot be written leaves nothing to tell what the image lacks:
// the save fails as any other, and claims to keep neither.
TEST_F(ImageRun, ARescueWhoseMapCannotBeWrittenKeepsNothing)
{
    struct Case {
        const char* what;
        void (*fault)(const std::string& map);
    } cases[] = {
        {"a folder of its name",
         [](const std::string& map) {
             std::filesystem::create_directory(map);
             std::ofstream(map + "/inside") << "x";
         }},
        {"a full disk", [](const std::string&) { fake.writeFailsPast = 100; }},
    };
    for (const Case& c : cases) {
        failA({1});
        std::filesystem::remove_all(map);
        c.fault(map);
        fake.answers = {ANSWER_YES};
        runImageSave(file.c_str(), driveSource(DRIVE_A), SaveRange::WholeDrive);
        EXPECT_EQ(boxTexts(), (std::vector<std::string>{said(MSG_RESCUE_ASK, 1ull),
                                                        messageText(MSG_FILE_WRITE_ERROR)}))
            << c.what;
        EXPECT_FALSE(std::filesystem::exists(file)) << c.what;
        EXPECT_FALSE(std::filesystem::is_regular_file(map)) << c.what;
        EXPECT_EQ(fake.openFiles, 0);
    }
}

TEST_F(ImageRun, TheBarRisesInWholePercentsAndEmptiesAfterTheMessage)
{
    runImageSave(file.c_str(), driveSource(DRIVE_A), SaveRange::WholeDrive);  // 2048 sectors, then 832
    EXPECT_EQ(fake.progress, (std::vector<int>{0, 71, 100, 0}));
    // A restore's check has a pass of its own.
    fake.progress.clear();
    fake.answers = {ANSWER_OK};
    runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::DriveStart);
    EXPECT_EQ(fake.progress, (std::vector<int>{0, 71, 0, 71, 100, 0}));

    RunProgress progress;  // a drive of 2^32 - 1 sectors, one short of its end
    fake.progress.clear();
    showRunProgress(progress, 0xFFFFFFFEu, 0xFFFFFFFFu);
    showRunProgress(progress, 0x7FFFFFFFu, 0xFFFFFFFFu);
    EXPECT_EQ(fake.progress, (std::vector<int>{99, 49}));
}

// Every restore says what it will overwrite and writes only after OK,
// whatever the Options say of single-sector writes.
TEST_F(ImageRun, ARestoreAsksFirstThenWritesTheImageWhole)
{
    saveWholeFloppy();
    std::vector<uint8_t> before = whole(second), image = whole(file);
    settings.confirmSectorWrite = 0;
    fake.volumesByDrive['B'].label = "VELDIS_FD";
    for (int answer : {ANSWER_CANCEL, 0}) {
        fake.boxes.clear();
        fake.answers = {answer};
        runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::DriveStart);
        EXPECT_EQ(boxTexts(), std::vector<std::string>{overwriteB("Ｂドライブ（VELDIS_FD）")});
        EXPECT_EQ(fake.boxes[0].style, messageStyle(MessageKind::ConfirmOkCancel));
        EXPECT_TRUE(whole(second) == before) << answer;
        EXPECT_TRUE(ImageRoute::runs().empty());
        EXPECT_EQ(fake.openFiles, 0);
    }
    fake.boxes.clear();
    fake.answers = {ANSWER_OK};
    runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::DriveStart);
    EXPECT_TRUE(whole(second) == image);
    // The same layout: no second question.
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{overwriteB("Ｂドライブ（VELDIS_FD）"),
                                                    messageText(MSG_DONE)}));
    expectOneRun(SectorOp::Write, true);
    EXPECT_EQ(fake.openFiles, 0);
}

TEST(DriveLayout, Bytes11To31Count)
{
    std::vector<uint8_t> image(512, 0x11), drive(512, 0x11);
    EXPECT_TRUE(sameDriveLayout(image.data(), drive.data()));
    for (size_t at : {10u, 11u, 31u, 32u}) {
        drive = image;
        drive[at] ^= 1;
        EXPECT_EQ(sameDriveLayout(image.data(), drive.data()), at < 11 || at > 31) << at;
    }
}

TEST_F(ImageRun, AnotherLayoutAsksBeforeTheFirstWrite)
{
    saveWholeFloppy();
    second = makeFatImage(dir, "b2.img", {12, 512, 1440, 2, 1, 2, 224});
    attach(DRIVE_B, second, 512, 2);
    std::vector<uint8_t> before = whole(second), image = whole(file);

    std::vector<std::string> asked = {overwriteB(), messageText(MSG_LAYOUT_MISMATCH)};
    fake.answers = {ANSWER_OK, ANSWER_CANCEL};
    runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::UserSpecified);  // start 0 asks too
    EXPECT_EQ(boxTexts(), asked);
    EXPECT_TRUE(whole(second) == before);

    fake.boxes.clear();
    fake.answers = {ANSWER_OK, ANSWER_OK};
    runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::DriveStart);
    asked.push_back(messageText(MSG_DONE));
    EXPECT_EQ(boxTexts(), asked);
    asked.pop_back();
    EXPECT_TRUE(whole(second) == image);

    // The same layout again, but its boot sector cannot be read: asked all the same.
    ImageRoute::failSector(DRIVE_B, SectorOp::Read, 0);
    fake.boxes.clear();
    fake.answers = {ANSWER_OK, ANSWER_CANCEL};
    runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::DriveStart);
    EXPECT_EQ(boxTexts(), asked);
}

TEST_F(ImageRun, ARestoreStopsAtTheFirstFailedWrite)
{
    saveWholeFloppy();
    for (uint32_t failing : {0u, 1450u, 2879u}) {
        ImageRoute::reset();
        std::string target = makeFatImage(dir, "t" + std::to_string(failing) + ".img",
                                          {12, 512, 1440, 1, 1, 2, 224});
        attach(DRIVE_B, target, 512, 2);
        std::vector<uint8_t> expected = whole(target);
        ImageRoute::failSector(DRIVE_B, SectorOp::Write, failing);
        fake.boxes.clear();
        fake.answers = {ANSWER_OK};
        runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::DriveStart);
        uint32_t before = failing / 2048 * 2048;
        std::vector<uint8_t> image = whole(file);
        std::copy(image.begin(), image.begin() + before * 512, expected.begin());
        EXPECT_TRUE(whole(target) == expected) << failing;
        EXPECT_EQ(ImageRoute::requests().back().firstSector, before);
        EXPECT_EQ(boxTexts(), endedAt(MSG_SECTOR_WRITE_ERROR, before));
    }
}

// Nothing is written past the end of the volume, into what follows it.
TEST_F(ImageRun, AnImageLargerThanTheRoomWritesNothing)
{
    saveWholeFloppy();
    std::vector<uint8_t> before = whole(second);
    struct Case {
        const char* what;
        RestoreStart start;
        uint32_t userStart;
        uint64_t reportedSize;
        MessageId message;
    } cases[] = {
        {"from sector 1", RestoreStart::UserSpecified, 1, 0, MSG_BAD_PARAMETER},
        {"from the FAT", RestoreStart::Fat, 0, 0, MSG_BAD_PARAMETER},
        {"at the end", RestoreStart::UserSpecified, 2880, 0, MSG_BAD_PARAMETER},
        {"of 4 GiB", RestoreStart::DriveStart, 0, 1ull << 32, MSG_BAD_PARAMETER},
        {"of 2^32 sectors", RestoreStart::DriveStart, 0, 512ull << 32, MSG_BAD_PARAMETER},
    };
    for (const Case& c : cases) {
        fake.boxes.clear();
        fake.reportedSize = c.reportedSize;
        imageRestoreStart = c.userStart;
        ImageRoute::reset();
        attach(DRIVE_B, second, 512, 2);
        runImageRestore(file.c_str(), driveSource(DRIVE_B), c.start);
        EXPECT_EQ(boxTexts(), texts({c.message})) << c.what;
        EXPECT_TRUE(ImageRoute::runs().empty()) << c.what;
        EXPECT_EQ(fake.openFiles, 0);
    }
    EXPECT_TRUE(whole(second) == before);

    // One sector short of the room fits: the last sector is written.
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(before.data()), 512);
    imageRestoreStart = 2879;
    fake.reportedSize = 0;
    fake.answers = {ANSWER_OK};
    runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::UserSpecified);
    EXPECT_EQ(fake.boxes.back().text, messageText(MSG_DONE));
    EXPECT_TRUE(sectors(second, 2879, 1) == sectors(second, 0, 1));
}

TEST_F(ImageRun, RestoreStartsFromTheLayout)
{
    std::ofstream(file, std::ios::binary).write("x", 1);  // shorter than a sector: refused
    struct Case {
        RestoreStart start;
        const char* fileSystem;
        uint32_t first;
        MessageId message;
    } cases[] = {
        {RestoreStart::Fat, "FAT", 1, MSG_IMAGE_NOT_SECTORS},
        {RestoreStart::Dir, "FAT", 19, MSG_IMAGE_NOT_SECTORS},
        {RestoreStart::Data, "FAT", 33, MSG_IMAGE_NOT_SECTORS},
        {RestoreStart::Data, "NTFS", 33, MSG_NTFS_NOT_ALLOWED},
        {RestoreStart::DriveStart, "NTFS", 0, MSG_IMAGE_NOT_SECTORS},
    };
    for (const Case& c : cases) {
        fake.boxes.clear();
        imageRestoreStart = 7;
        fake.volumesByDrive['B'].fileSystem = c.fileSystem;
        runImageRestore(file.c_str(), driveSource(DRIVE_B), c.start);
        std::string said = c.message == MSG_IMAGE_NOT_SECTORS ? notSectors(1) : messageText(c.message);
        EXPECT_EQ(boxTexts(), std::vector<std::string>{said}) << int(c.start) << c.fileSystem;
        if (c.message == MSG_IMAGE_NOT_SECTORS) {
            EXPECT_EQ(imageRestoreStart, c.first);
        }
    }
    fake.volumesByDrive['B'].fileSystem = "FAT";
    fake.boxes.clear();
    fake.openFails = true;
    runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::Fat);
    runImageRestore("", driveSource(DRIVE_B), RestoreStart::Fat);
    runImageRestore(file.c_str(), NO_SOURCE, RestoreStart::Fat);
    runImageRestore("\\\\.\\D:", driveSource(DRIVE_B), RestoreStart::Fat);
    EXPECT_EQ(boxTexts(), texts({MSG_FILE_OPEN_ERROR, MSG_NO_FILE, MSG_NO_DRIVE, MSG_DEVICE_PATH}));
}

// An empty file, or one with a partial last sector, is refused before the
// question and before the drive is held: nothing is written, dismounted
// or said to be done.
TEST_F(ImageRun, AnImageOfNoWholeSectorsIsNeverRestored)
{
    std::vector<uint8_t> before = whole(second);
    for (size_t size : {size_t(0), size_t(100), size_t(513), size_t(2880 * 512 - 1)}) {
        std::ofstream(file, std::ios::binary).write(std::string(size, 'x').data(), size);
        fake.boxes.clear();
        fake.answers = {ANSWER_OK, ANSWER_OK};
        runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::DriveStart);
        EXPECT_EQ(boxTexts(), std::vector<std::string>{notSectors(size)}) << size;
    }
    EXPECT_TRUE(ImageRoute::runs().empty());
    EXPECT_TRUE(whole(second) == before);
}

// A file that shrinks during the run gives a read error, not a chunk of stale
// buffer on the disk.
TEST_F(ImageRun, AShortReadOfTheFileWritesNoStaleChunk)
{
    saveWholeFloppy();
    std::vector<uint8_t> before = whole(second), image = whole(file);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), 2100 * 512);
    fake.reportedSize = FLOPPY_SECTORS * 512;  // the length taken before it shrank
    fake.answers = {ANSWER_OK};
    runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::DriveStart);
    EXPECT_EQ(boxTexts(), endedAt(MSG_FILE_READ_ERROR, 2048));
    std::copy(image.begin(), image.begin() + 2048 * 512, before.begin());
    EXPECT_TRUE(whole(second) == before);
}

// The user stops a run between two chunks: a restore has written whole
// chunks only and says which; a save leaves no file. Neither says done.
TEST_F(ImageRun, AStoppedRunEndsAfterItsCurrentChunk)
{
    saveWholeFloppy();
    fake.runContinues = 0;
    fake.answers = {ANSWER_OK};
    runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::DriveStart);
    EXPECT_EQ(boxTexts(), endedAt(MSG_RUN_STOPPED, 2048));
    ASSERT_EQ(ImageRoute::requests().back().op, SectorOp::Write);
    EXPECT_EQ(ImageRoute::requests().back().firstSector, 0u);  // the first chunk, the last
    fake.runContinues = 0;
    fake.answers = {ANSWER_YES};
    fake.boxes.clear();
    runImageSave(file.c_str(), driveSource(DRIVE_A), SaveRange::WholeDrive);
    EXPECT_EQ(boxTexts(), texts({MSG_FILE_EXISTS, MSG_RUN_STOPPED}));
    EXPECT_FALSE(std::ifstream(file).good());
}

// A restore reads back what it wrote: a chunk the drive silently dropped, a
// sector it cannot read back, a stop during the check: none says done.
TEST_F(ImageRun, ARestoreChecksWhatTheDriveKept)
{
    saveWholeFloppy();
    char differs[128], unreadable[128];
    std::snprintf(differs, sizeof differs, messageText(MSG_IMAGE_DIFFERS), 0ull);
    std::snprintf(unreadable, sizeof unreadable, messageText(MSG_SECTOR_UNREADABLE), 2500ull);
    std::vector<uint8_t> image = whole(file);
    struct Case {
        const char* what;
        void (*fault)();
        int continues;
        std::string said;
    } cases[] = {
        // The first chunk kept the new volume's boot sector, serial and all.
        {"the first chunk dropped", [] { ImageRoute::dropWrites(DRIVE_B, 100); }, -1, differs},
        {"sector 2500 unreadable", [] { ImageRoute::failSector(DRIVE_B, SectorOp::Read, 2500); },
         -1, unreadable},
        {"stopped in the check", [] {}, 1, messageText(MSG_NOT_CHECKED)},
    };
    for (const Case& c : cases) {
        std::string target = makeFatImage(dir, "c.img", {12, 512, 1440, 1, 1, 2, 224});
        ImageRoute::reset();
        attach(DRIVE_B, target, 512, 2);
        c.fault();
        fake.boxes.clear();
        fake.runContinues = c.continues;
        fake.answers = {ANSWER_OK};
        runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::DriveStart);
        std::vector<std::string> said = endedAt(MSG_DONE, 2880);
        said[1].replace(0, std::strlen(messageText(MSG_DONE)), c.said);
        EXPECT_EQ(boxTexts(), said) << c.what;
        expectOneRun(SectorOp::Write, true);
        std::remove(target.c_str());
    }
}

// The verify command compares a drive with an image and writes nothing,
// holding the volume without a lock. It compares the range its start names,
// which an image of another size does not match: what it holds is said.
TEST_F(ImageRun, TheVerifyCommandSaysWhetherADriveStillMatches)
{
    auto matches = [](unsigned long long first, unsigned long long count) {
        char text[256];
        std::snprintf(text, sizeof text, messageText(MSG_IMAGE_MATCHES), first,
                      first + count - 1, count);
        return std::string(text);
    };
    auto differs = [](const char* holds, unsigned long long range) {
        char text[256];
        std::snprintf(text, sizeof text, messageText(MSG_IMAGE_SIZE_DIFFERS), holds, range);
        return std::string(text);
    };
    std::vector<uint8_t> drive = whole(floppy);
    struct Case {
        const char* what;
        RestoreStart start;
        SectorNumber first;  // of the drive, where the image's bytes come from
        size_t bytes;
        std::string said;
        bool compared = false;
    } cases[] = {
        {"the whole drive", RestoreStart::DriveStart, 0, 2880 * 512, matches(0, 2880), true},
        {"the FAT", RestoreStart::Fat, 1, 9 * 512, matches(1, 9), true},
        {"sectors of one's own", RestoreStart::UserSpecified, 100, 50 * 512, matches(100, 50),
         true},
        {"an empty file", RestoreStart::DriveStart, 0, 0, differs(" 0 セクタ", 2880)},
        {"100 bytes", RestoreStart::DriveStart, 0, 100, differs(" 0 セクタと 100 バイト", 2880)},
        {"the first 1000 sectors", RestoreStart::DriveStart, 0, 1000 * 512,
         differs(" 1000 セクタ", 2880)},
        {"5 bytes too many", RestoreStart::DriveStart, 0, 2880 * 512 + 5,
         differs(" 2880 セクタと 5 バイト", 2880)},
        {"empty, from one's own sector", RestoreStart::UserSpecified, 100, 0,
         differs(" 0 セクタ", 1)},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> image(c.bytes, 0);
        size_t from = size_t(c.first) * 512;
        std::copy(drive.begin() + from, drive.begin() + std::min(drive.size(), from + c.bytes),
                  image.begin());
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<char*>(image.data()), c.bytes);
        fake.boxes.clear();
        imageVerifyStart = c.first;
        size_t runs = ImageRoute::runs().size();
        runImageVerify(file.c_str(), driveSource(DRIVE_A), c.start);
        EXPECT_EQ(boxTexts(), std::vector<std::string>{c.said}) << c.what;
        EXPECT_EQ(ImageRoute::runs().size(), runs + c.compared) << c.what;
    }
    EXPECT_FALSE(ImageRoute::runs().back().locked);
    EXPECT_FALSE(ImageRoute::runs().back().dismounted);

    std::remove(file.c_str());
    saveWholeFloppy();
    std::vector<uint8_t> changed = sectors(floppy, 1500, 1);
    changed[77] ^= 0x40;
    writeBytes(floppy, 1500 * 512, changed);
    fake.boxes.clear();
    runImageVerify(file.c_str(), driveSource(DRIVE_A), RestoreStart::DriveStart);
    char differsAt[128];
    std::snprintf(differsAt, sizeof differsAt, messageText(MSG_IMAGE_DIFFERS), 1500ull);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{differsAt});
    for (const ImageRoute::Request& request : ImageRoute::requests())
        EXPECT_EQ(request.op, SectorOp::Read);
}

// A map beside the image lists the sectors its save could not read, which
// the image holds as zeros: a restore says how many of those it will write,
// counting only the sectors the image holds. A map that cannot be read
// leaves them unknown: neither a restore nor a verify goes on.
TEST_F(ImageRun, ARestoreSaysHowManySectorsOfTheImageWereNeverRead)
{
    saveWholeFloppy();
    std::vector<uint8_t> before = whole(second), image = whole(file);
    auto unread = [&](unsigned long long count) {
        return overwriteB() + "\n" + said(MSG_RESTORE_UNREAD, count, map.c_str());
    };
    struct Case {
        const char* what;
        std::vector<Hole> holes;
        uint32_t sectors;
        std::string said;
    } cases[] = {
        {"two holes", {{2, 1, '-'}, {2040, 20, '/'}}, 2880, unread(21)},
        {"every sector read", {}, 2880, overwriteB()},
        {"a map past the image's end", {{2, 1, '-'}, {2880, 1120, '?'}}, 4000, unread(1)},
    };
    for (const Case& c : cases) {
        mapBeside(c.holes, c.sectors);
        fake.boxes.clear();
        fake.answers = {ANSWER_CANCEL};
        runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::DriveStart);
        EXPECT_EQ(boxTexts(), std::vector<std::string>{c.said}) << c.what;
        EXPECT_EQ(fake.boxes[0].style, messageStyle(MessageKind::ConfirmOkCancel));
    }
    std::ofstream(map) << "0x0 + 1\nnot a block\n";
    fake.boxes.clear();
    fake.answers = {ANSWER_OK};
    runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::DriveStart);
    runImageVerify(file.c_str(), driveSource(DRIVE_A), RestoreStart::DriveStart);
    const std::string unreadable = said(MSG_MAP_UNREADABLE, map.c_str());
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{unreadable, unreadable}));
    EXPECT_TRUE(whole(second) == before);
    EXPECT_TRUE(ImageRoute::runs().empty());
    EXPECT_EQ(fake.openFiles, 0);

    // The zeros go onto the drive with the rest, and the check reads them back.
    mapBeside({{2, 1, '-'}, {2040, 20, '/'}});
    fake.boxes.clear();
    fake.answers = {ANSWER_OK};
    runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::DriveStart);
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{unread(21), messageText(MSG_DONE)}));
    EXPECT_TRUE(whole(second) == image);
}

// A verify compares only the sectors the save read: those it could not are
// not even read from the drive, where they may fail still, and the match is
// told as one of the others only.
TEST_F(ImageRun, AVerifyLeavesTheSectorsNeverReadAlone)
{
    saveWholeFloppy();
    const std::string except =
        said(MSG_IMAGE_MATCHES_EXCEPT, 0ull, 2879ull, 2849ull, 31ull, map.c_str());
    // Across the first chunk's end, and at the drive's end.
    std::vector<Hole> holes = {{2, 1, '-'}, {2040, 20, '/'}, {2870, 10, '?'}};
    struct Case {
        const char* what;
        std::vector<Hole> holes;
        uint32_t changed;  // a sector of the drive no longer as saved; 0: none
        std::string said;
    } cases[] = {
        {"every sector listed read", {}, 0, said(MSG_SECTOR_UNREADABLE, 2ull)},
        {"a sector read changed", holes, 2060, said(MSG_IMAGE_DIFFERS, 2060ull)},
        {"a hole changed", holes, 2050, except},
        {"three holes", holes, 0, except},
    };
    for (const Case& c : cases) {
        mapBeside(c.holes);
        std::vector<uint8_t> kept = sectors(floppy, c.changed, 1), changed = kept;
        if (c.changed > 0) changed[9] ^= 1;
        writeBytes(floppy, c.changed * 512ull, changed);
        fake.boxes.clear();
        fake.progress.clear();
        ImageRoute::reset();
        attach(DRIVE_A, floppy, 512, 2);
        for (SectorNumber sector : {2, 2045, 2879})
            ImageRoute::failSector(DRIVE_A, SectorOp::Read, sector);
        runImageVerify(file.c_str(), driveSource(DRIVE_A), RestoreStart::DriveStart);
        writeBytes(floppy, c.changed * 512ull, kept);
        EXPECT_EQ(boxTexts(), std::vector<std::string>{c.said}) << c.what;
        for (const ImageRoute::Request& request : ImageRoute::requests())
            for (const Hole& hole : c.holes)
                EXPECT_TRUE(request.firstSector + request.count <= hole.first ||
                            request.firstSector >= hole.first + hole.count)
                    << c.what << " read " << request.firstSector;
    }
    // Said as a warning, once the bar is full.
    EXPECT_EQ(fake.boxes.back().style, messageStyle(MessageKind::Warning));
    EXPECT_EQ(fake.progress, (std::vector<int>{0, 71, 100, 0}));
}

// An image kept on the drive it is of (or on a volume of the disk it is
// of) would be read and written at once.
TEST_F(ImageRun, AnImageOnItsOwnDriveIsRefused)
{
    saveWholeFloppy();
    fake.createdFiles.clear();
    fake.diskOfDrive[2] = 1;  // C: lies on disk 1
    const struct {
        const char* path;
        Source target;
    } rows[] = {{"A:\\drive.img", driveSource(DRIVE_A)},
                {"a:\\images\\drive.img", driveSource(DRIVE_A)},
                {"C:\\disk1.img", diskSource(1)}};
    for (const auto& row : rows) {
        fake.boxes.clear();
        runImageSave(row.path, row.target, SaveRange::WholeDrive);
        runImageRestore(row.path, row.target, RestoreStart::DriveStart);
        EXPECT_EQ(boxTexts(), texts({MSG_IMAGE_ON_TARGET, MSG_IMAGE_ON_TARGET})) << row.path;
    }
    EXPECT_TRUE(ImageRoute::requests().empty());
    EXPECT_TRUE(fake.createdFiles.empty());
    fake.boxes.clear();
    runImageRestore("B:\\drive.img", driveSource(DRIVE_A), RestoreStart::DriveStart);  // another drive's file
    EXPECT_EQ(boxTexts(), texts({MSG_FILE_OPEN_ERROR}));
}

// A restore onto the drive shown lets its edits go first (or does not run),
// and shows the sector as the restore left it: a later write cannot put
// back what the disk held before.
TEST_F(ImageRun, ARestoreOntoTheDriveShownReadsItsSectorAfresh)
{
    saveWholeFloppy();
    ASSERT_TRUE(loadSector(driveSource(DRIVE_B), 0));
    editor.workBuffer[3] ^= 1;
    syncBuffers(SyncMode::Compare);
    std::vector<uint8_t> before = whole(second), image = whole(file);
    fake.answers = {ANSWER_CANCEL};
    runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::DriveStart);
    EXPECT_EQ(boxTexts(), texts({MSG_DISCARD_EDITS}));
    EXPECT_TRUE(whole(second) == before);
    EXPECT_NE(editor.modified, 0);

    fake.answers = {ANSWER_OK, ANSWER_OK};
    runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::DriveStart);
    EXPECT_TRUE(whole(second) == image);
    EXPECT_EQ(editor.modified, 0);
    EXPECT_TRUE(shownSector() == sectors(file, 0, 1));
    editor.workBuffer[100] ^= 0xFF;
    syncBuffers(SyncMode::Compare);
    fake.answers = {ANSWER_OK};
    writeSector();
    image[100] ^= 0xFF;
    EXPECT_TRUE(whole(second) == image);
}

// A device of 2^33 sectors (a sparse file): a range ending at its last sector
// is read from 64-bit offsets, whole, and the bar counts past 32 bits.
TEST_F(ImageRun, ARangePast32BitsSavesFromItsOffsets)
{
    const SectorNumber sectors = 1ull << 33;
    std::string huge = dir.path + "/huge.img";
    std::ofstream(huge, std::ios::binary).put(0);
    std::filesystem::resize_file(huge, sectors * 512);
    writeBytes(huge, (sectors - 100) * 512, std::vector<uint8_t>(512, 0xCD));
    writeBytes(huge, sectors * 512 - 3, {1, 2, 3});
    attach(DRIVE_C, huge, 512, 3);
    fake.volumesByDrive['C'].present = false;  // no file system: by the device
    fake.volumesByDrive['C'].freeSpaceOk = false;
    imageSaveStart = sectors - 100, imageSaveCount = 100;
    runImageSave(file.c_str(), driveSource(DRIVE_C), SaveRange::UserSpecified);
    EXPECT_EQ(boxTexts(), texts({MSG_DONE}));
    EXPECT_TRUE(whole(file) == readBytes(huge, (sectors - 100) * 512, 100 * 512));
    EXPECT_EQ(ImageRoute::requests().front().firstSector, sectors - 100);
    EXPECT_EQ(ImageRoute::requests().back().firstSector + ImageRoute::requests().back().count,
              sectors);

    RunProgress progress;
    fake.progress.clear();
    showRunProgress(progress, sectors - 1, sectors);
    showRunProgress(progress, 1ull << 32, sectors);
    showRunProgress(progress, UINT64_MAX / 2, UINT64_MAX);
    EXPECT_EQ(fake.progress, (std::vector<int>{99, 50}));
}

// The area commands and VolumeInfo describe the drive shown, whichever drive
// a run looked at.
TEST_F(ImageRun, TheDriveShownKeepsItsVolumeFacts)
{
    fake.volumesByDrive['A'].label = "SHOWN";
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    fake.volumesByDrive['B'].fileSystem = "NTFS";
    runImageSave(file.c_str(), driveSource(DRIVE_B), SaveRange::WholeDrive);
    runImageRestore(file.c_str(), driveSource(DRIVE_B), RestoreStart::Fat);
    EXPECT_STREQ(volumeInfo.volumeName, "SHOWN");
    EXPECT_FALSE(volumeInfo.isNtfs);
    EXPECT_TRUE(isCommandEnabled(CMD_JUMP_FAT));
}

}  // namespace
