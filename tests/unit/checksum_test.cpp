#include <cstdio>
#include <string>
#include <vector>

#include "app/main_commands.h"
#include "editor/cursor.h"
#include "editor_fixture.h"
#include "image/checksum.h"
#include "platform/crc32.h"

// Checksums of a real FAT12 floppy (A:) through the image route with its
// faults, and of the sector shown. The fake offers no digest unless a test
// asks for it: CRC-32 is the program's own, the digests are checked under
// Wine against their published vectors.
namespace {

constexpr uint32_t FLOPPY_SECTORS = 2880;

class Checksums : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        std::vector<uint8_t> data(200000);
        for (size_t i = 0; i < data.size(); i++) data[i] = uint8_t(i * 11 + i / 509);
        copyIntoImage(floppy, "DATA.BIN", data);
    }

    static std::string crcHex(const std::vector<uint8_t>& bytes)
    {
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08x", crc32(0, bytes.data(), bytes.size()));
        return hex;
    }
    // What the fake's digest of `bytes` bytes shows as.
    static std::string fakeDigest(uint64_t bytes, int kind, uint32_t size)
    {
        std::string hex;
        char pair[3];
        for (uint32_t i = 0; i < size; i++) {
            uint8_t byte = i < 8 ? uint8_t(bytes >> 8 * i) : i == size - 1 ? uint8_t(kind + 1) : 0;
            std::snprintf(pair, sizeof pair, "%02x", byte);
            hex += pair;
        }
        return hex;
    }
    // The four sums' lines, each digest's line as given.
    static std::string result(const std::string& crc, const std::string& name,
                              const std::string& md5, const std::string& sha1,
                              const std::string& sha256)
    {
        return "# CRC-32\r\n" + crc + "  " + name + "\r\n# MD5\r\n" + md5 + "\r\n# SHA-1\r\n" +
               sha1 + "\r\n# SHA-256\r\n" + sha256 + "\r\n";
    }
    static std::string unavailable()
    {
        return "このシステムでは使えません";
    }
    static std::string notComputed()
    {
        return "計算できませんでした";
    }
    std::string withoutDigests(const std::vector<uint8_t>& bytes, const std::string& name)
    {
        return result(crcHex(bytes), name, unavailable(), unavailable(), unavailable());
    }
    std::string failedAt(SectorNumber sector)
    {
        char text[128];
        std::snprintf(text, sizeof text, messageText(MSG_SECTOR_UNREADABLE),
                      (unsigned long long)sector);
        return text;
    }
    std::vector<uint8_t> sectors(uint32_t first, uint32_t count)
    {
        return readBytes(floppy, first * 512ull, count * 512);
    }
    bool checksumDrive(SaveRange range)
    {
        return computeChecksums(ChecksumTarget::DriveRange, driveSource(DRIVE_A), range);
    }
};

// Each range as the image save takes it, named after the drive and its first
// and last sector, read in one held read-only run: the CRC-32 is the one of
// the same bytes of the volume's file. The fields keep the range last taken.
TEST_F(Checksums, EachDriveRangeAsTheImageSaveTakesIt)
{
    struct {
        SaveRange range;
        uint32_t first, count;
        const char* name;
    } rows[] = {
        {SaveRange::WholeDrive, 0, FLOPPY_SECTORS, "A_0-2879.bin"},
        {SaveRange::Ipl, 0, 1, "A_0-0.bin"},
        {SaveRange::Fat, 1, 9, "A_1-9.bin"},
        {SaveRange::Dir, 19, 14, "A_19-32.bin"},
        {SaveRange::Data, 33, FLOPPY_SECTORS - 33, "A_33-2879.bin"},
        {SaveRange::UserSpecified, 100, 7, "A_100-106.bin"},
    };
    for (auto& row : rows) {
        ImageRoute::reset();
        attach(DRIVE_A, floppy, 512, 2);
        checksumStart = 100;
        checksumCount = 7;
        ASSERT_TRUE(checksumDrive(row.range)) << row.name;
        EXPECT_EQ(checksumStart, row.first);
        EXPECT_EQ(checksumCount, row.count);
        std::vector<uint8_t> bytes = sectors(row.first, row.count);
        EXPECT_EQ(checksumText, withoutDigests(bytes, row.name));
        ASSERT_EQ(ImageRoute::runs().size(), 1u) << row.name;
        EXPECT_EQ(ImageRoute::runs()[0].op, SectorOp::Read);
        EXPECT_FALSE(ImageRoute::runs()[0].locked);
        EXPECT_TRUE(ImageRoute::runs()[0].ended);
        for (const ImageRoute::Request& request : ImageRoute::requests()) {
            if (request.count != 1 || request.firstSector != 0) {
                EXPECT_TRUE(request.inRun);  // all but the layout's boot sector
            }
        }
    }
    EXPECT_TRUE(fake.boxes.empty());
}

// Every byte of the range goes to each digest the system offers, in the one
// pass that takes the CRC-32.
TEST_F(Checksums, TheDigestsTakeTheSamePass)
{
    fake.digestsOffered = {DigestKind::Md5, DigestKind::Sha1, DigestKind::Sha256};
    ASSERT_TRUE(checksumDrive(SaveRange::WholeDrive));
    uint64_t bytes = FLOPPY_SECTORS * 512ull;
    std::string name = "  A_0-2879.bin";
    EXPECT_EQ(checksumText, result(crcHex(sectors(0, FLOPPY_SECTORS)), "A_0-2879.bin",
                                   fakeDigest(bytes, 0, 16) + name, fakeDigest(bytes, 1, 20) + name,
                                   fakeDigest(bytes, 2, 32) + name));
    EXPECT_EQ(ImageRoute::runs().size(), 1u);
    EXPECT_EQ(fake.openDigests, 0);
}

// A digest whose system call fails on the way, or at its end, shows none;
// the others stand.
TEST_F(Checksums, ADigestThatFailsShowsNone)
{
    fake.digestsOffered = {DigestKind::Sha256};
    fake.digestAddsLeft = 1;  // the first chunk only
    ASSERT_TRUE(checksumDrive(SaveRange::WholeDrive));
    std::vector<uint8_t> bytes = sectors(0, FLOPPY_SECTORS);
    EXPECT_EQ(checksumText,
              result(crcHex(bytes), "A_0-2879.bin", unavailable(), unavailable(), notComputed()));
    EXPECT_EQ(fake.openDigests, 0);

    fake.digestsOffered = {DigestKind::Md5, DigestKind::Sha1};
    fake.digestAddsLeft = -1;
    fake.digestEndFails = true;
    ASSERT_TRUE(checksumDrive(SaveRange::WholeDrive));
    EXPECT_EQ(checksumText,
              result(crcHex(bytes), "A_0-2879.bin", notComputed(), notComputed(), unavailable()));
    EXPECT_EQ(fake.openDigests, 0);
    EXPECT_TRUE(fake.boxes.empty());
}

// A sector that cannot be read ends the pass naming it: no sum of the rest
// is shown, and no digest is left open.
TEST_F(Checksums, AnUnreadableSectorEndsItWithoutASum)
{
    fake.digestsOffered = {DigestKind::Md5, DigestKind::Sha1, DigestKind::Sha256};
    for (uint32_t failing : {0u, 1450u, 2879u}) {
        ImageRoute::reset();
        attach(DRIVE_A, floppy, 512, 2);
        ImageRoute::failSector(DRIVE_A, SectorOp::Read, failing);
        fake.boxes.clear();
        fake.progress.clear();
        std::snprintf(checksumText, CHECKSUM_TEXT_SIZE, "an old result");
        EXPECT_FALSE(checksumDrive(SaveRange::WholeDrive)) << failing;
        ASSERT_EQ(fake.boxes.size(), 1u) << failing;
        EXPECT_EQ(fake.boxes[0].text, failedAt(failing));
        EXPECT_EQ(fake.boxes[0].style & BOX_ICONERROR, BOX_ICONERROR);
        EXPECT_STREQ(checksumText, "");
        EXPECT_EQ(fake.openDigests, 0);
        EXPECT_EQ(fake.progress.back(), 0);
    }
}

// The user stops the run between two chunks: stopped, and no sum.
TEST_F(Checksums, AStoppedRunShowsNoSum)
{
    fake.digestsOffered = {DigestKind::Sha256};
    fake.runContinues = 0;
    EXPECT_FALSE(checksumDrive(SaveRange::WholeDrive));
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, messageText(MSG_RUN_STOPPED));
    EXPECT_STREQ(checksumText, "");
    EXPECT_EQ(fake.openDigests, 0);
    EXPECT_EQ(ImageRoute::requests().back().firstSector, 0u);  // the first chunk, the last read
}

// Ranges the save refuses are refused here too, and one of no sectors sums
// nothing; the drive shown keeps its volume facts.
TEST_F(Checksums, RangesThatCannotBeSummed)
{
    checksumStart = FLOPPY_SECTORS - 1;
    checksumCount = 2;
    EXPECT_FALSE(checksumDrive(SaveRange::UserSpecified));
    checksumCount = 0;
    EXPECT_FALSE(checksumDrive(SaveRange::UserSpecified));
    EXPECT_FALSE(computeChecksums(ChecksumTarget::DriveRange, NO_SOURCE, SaveRange::WholeDrive));
    EXPECT_EQ(boxesOf(MSG_BAD_PARAMETER), 2);
    EXPECT_EQ(boxesOf(MSG_NO_DRIVE), 1);
    EXPECT_TRUE(ImageRoute::runs().empty());
    EXPECT_STREQ(checksumText, "");
}

// The sector shown is summed as shown: its edits are in the sums, and said.
TEST_F(Checksums, TheSectorShownAsShown)
{
    EXPECT_FALSE(hasSectorToChecksum());
    EXPECT_FALSE(computeChecksums(ChecksumTarget::ShownSector, NO_SOURCE, SaveRange::WholeDrive));
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 34));
    EXPECT_TRUE(hasSectorToChecksum());
    size_t requests = ImageRoute::requests().size();
    ASSERT_TRUE(computeChecksums(ChecksumTarget::ShownSector, NO_SOURCE, SaveRange::WholeDrive));
    EXPECT_EQ(checksumText, withoutDigests(diskSector(34), "sector_34.bin"));
    typeText("4a");
    ASSERT_NE(shownSector(), diskSector(34));
    ASSERT_TRUE(computeChecksums(ChecksumTarget::ShownSector, NO_SOURCE, SaveRange::WholeDrive));
    EXPECT_EQ(checksumText, "# 書き込んでいない編集を含みます\r\n" +
                                withoutDigests(shownSector(), "sector_34.bin"));
    EXPECT_EQ(ImageRoute::requests().size(), requests);  // nothing read again
}

// The selected bytes of the sector shown, named by their first and last
// offset in it; without a selection there is nothing to sum as one.
TEST_F(Checksums, TheSelectionAsShown)
{
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 34));
    EXPECT_FALSE(hasSelectionToChecksum());
    EXPECT_FALSE(computeChecksums(ChecksumTarget::Selection, NO_SOURCE, SaveRange::WholeDrive));
    EXPECT_STREQ(checksumText, "");
    selectBytes(0x10, 0x1F);
    ASSERT_TRUE(hasSelectionToChecksum());
    ASSERT_TRUE(computeChecksums(ChecksumTarget::Selection, NO_SOURCE, SaveRange::WholeDrive));
    std::vector<uint8_t> sector = diskSector(34);
    EXPECT_EQ(checksumText, withoutDigests(std::vector<uint8_t>(sector.begin() + 0x10,
                                                                sector.begin() + 0x20),
                                           "selection_0010-001F.bin"));
    selectWholeSector();
    ASSERT_TRUE(computeChecksums(ChecksumTarget::Selection, NO_SOURCE, SaveRange::WholeDrive));
    EXPECT_EQ(checksumText, withoutDigests(sector, "selection_0000-01FF.bin"));
}

// ｺﾋﾟｰ puts the result on the clipboard as shown; a clipboard without
// memory says so.
TEST_F(Checksums, CopyTakesTheResultAsShown)
{
    ASSERT_TRUE(checksumDrive(SaveRange::Ipl));
    copyChecksums();
    EXPECT_EQ(fake.clipboard, checksumText);
    fake.clipboardAnswer = ClipboardResult::NoMemory;
    copyChecksums();
    EXPECT_EQ(boxesOf(MSG_OUT_OF_MEMORY), 1);
}

TEST_F(Checksums, TheCommandOpensTheDialogAtStart)
{
    EXPECT_EQ(runCommand(CMD_CHECKSUM), WindowAction::ChecksumDialog);
}

}  // namespace
