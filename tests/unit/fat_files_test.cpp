#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fat_image.h"
#include "image_route.h"
#include "volume/cluster.h"
#include "volume/directory.h"
#include "volume/fat_chain.h"

// Files as mtools writes them and deletes them, found again by their
// directory entries and their chains; then FATs no file system would write.
namespace {

constexpr int DRIVE_D = 3;
// Marks as FAT32 writes them; each narrower FAT keeps their low bits.
constexpr int64_t END = 0x0FFFFFFF, BAD = 0x0FFFFFF7;

const FatFormat FLOPPY = {12, 512, 1440, 1, 1, 2, 224};
const FatFormat FAT16 = {16, 2048, 65536, 1, 8, 2, 1024};
const FatFormat FAT32 = {32, 512, 102400, 1, 32, 2, 0};

std::string utf8(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text)
        if (c < 0x80)
            out += char(c);
        else if (c < 0x800)
            out += {char(0xC0 | c >> 6), char(0x80 | (c & 0x3F))};
        else
            out += {char(0xE0 | c >> 12), char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
    return out;
}

std::u16string longName(const DirectoryEntry& entry)
{
    return std::u16string(entry.longName, entry.longName + entry.longLength);
}

std::string shortName(const DirectoryEntry& entry)
{
    return std::string(entry.name, entry.name + 11);
}

class FatFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ImageRoute::reset();
        SectorIo::setRoutes(ImageRoute::routes());
        SectorIo::setMethod(AccessMethod::WinNt5);
    }

    void format(const FatFormat& f)
    {
        image = makeFatImage(dir, "v" + std::to_string(images++) + ".img", f);
        ImageRoute::attach(DRIVE_D, image, f.sectorSize);
        layout = parseBootSector(readBytes(image, 0, 512).data(), false);
        openFatReader(*reader, driveSource(DRIVE_D), 0, layout);
        // A FAT scanned before, of another volume on this drive with this
        // layout, would be taken for this one's: a write lets it go.
        SectorIo::transfer(SectorOp::Write, NO_SOURCE, 0, 0, nullptr);
    }

    void mtools(const std::string& command, const std::u16string& name)
    {
        ASSERT_TRUE(run("LC_ALL=C.UTF-8 MTOOLS_SKIP_CHECK=1 " + command + " -i '" + image + "' " +
                        (command == "mcopy" ? dir.path + "/source" : "") + " '::/" + utf8(name) +
                        "'"))
            << command << " " << utf8(name);
    }

    std::vector<uint8_t> put(const std::u16string& name, size_t size)
    {
        std::vector<uint8_t> data(size);
        for (uint8_t& byte : data) byte = uint8_t((seed = seed * 1103515245 + 12345) >> 16);
        std::ofstream(dir.path + "/source", std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), std::streamsize(size));
        mtools("mcopy", name);
        return data;
    }

    uint64_t clusterBytes() const
    {
        return uint64_t(layout.sectorsPerCluster) * layout.bytesPerSector;
    }

    // What a walk gives, read from the image file itself.
    std::vector<uint8_t> walkBytes(uint32_t first, uint64_t size, bool recovering,
                                   uint32_t maxClusters = 8)
    {
        runs.clear();
        ChainWalk walk;
        beginChainWalk(walk, *reader, first, size, recovering);
        ClusterRun run;
        std::vector<uint8_t> bytes;
        for (int calls = 0; nextClusterRun(walk, maxClusters, run); calls++) {
            EXPECT_LE(run.count, maxClusters);
            EXPECT_LT(calls, 300000) << "no end";
            runs.push_back({run.first, run.count});
            std::vector<uint8_t> got =
                readBytes(image, clusterFirstSector(layout, run.first) * layout.bytesPerSector,
                          uint32_t(run.count * clusterBytes()));
            bytes.insert(bytes.end(), got.begin(), got.end());
        }
        stop = walk.stop;
        endChainWalk(walk);
        if (bytes.size() > size) bytes.resize(size);
        return bytes;
    }

    // FAT12/16 keep the root directory in an area of its own; FAT32 in the
    // chain of the cluster its boot sector names, which ends before any size.
    std::vector<uint8_t> rootBytes()
    {
        uint32_t bytes = layout.bytesPerSector;
        if (layout.fatType != 32)
            return readBytes(image, uint64_t(layout.dirStart) * bytes,
                             layout.rootDirSectors * bytes);
        std::vector<uint8_t> boot = readBytes(image, 44, 4);
        std::vector<uint8_t> root =
            walkBytes(boot[0] | boot[1] << 8 | boot[2] << 16, 1 << 30, false);
        EXPECT_EQ(stop, ChainStop::EndedEarly);
        return root;
    }

    std::vector<DirectoryEntry> decode(const std::vector<uint8_t>& bytes, uint32_t shownFrom = 0)
    {
        std::vector<DirectoryEntry> entries(bytes.size() / DIR_ENTRY_SIZE);
        entries.resize(decodeDirectory(bytes.data(), uint32_t(bytes.size()), shownFrom, layout,
                                       entries.data(), uint32_t(entries.size())));
        return entries;
    }

    const DirectoryEntry* find(const std::vector<DirectoryEntry>& entries,
                               const std::u16string& name, const char* stored, bool deleted)
    {
        for (const DirectoryEntry& e : entries)
            if (e.kind != EntryKind::LongName && e.deleted == deleted &&
                (stored ? shortName(e) == stored : longName(e) == name))
                return &e;
        return nullptr;
    }

    TempDir dir;
    std::string image;
    int images = 0;
    uint32_t seed = 1;
    VolumeLayout layout{};
    std::unique_ptr<FatReader> reader = std::make_unique<FatReader>();
    std::vector<std::pair<uint32_t, uint32_t>> runs;
    ChainStop stop = ChainStop::Complete;
};

TEST_F(FatFiles, EachFileIsFoundByItsNameAndReadByItsChain)
{
    const struct {
        std::u16string name;
        size_t size;
        const char* stored;  // the 8.3 name, where mtools needs no long name
    } files[] = {
        {u"SHORT.TXT", 100, "SHORT   TXT"},
        {u"lower.txt", 513, "LOWER   TXT"},  // its case in a flag, not a long name
        {u"A long file name.txt", 3000, nullptr},
        // Four parts; on the floppy its chain passes clusters 341 and 682,
        // whose FAT12 entries lie across two sectors.
        {u"The quick brown fox jumps over the lazy dog.bin", 400000, nullptr},
        {u"日本語のファイル名.txt", 1, nullptr},
        {u"empty.dat", 0, "EMPTY   DAT"},
    };
    for (const FatFormat& f : {FLOPPY, FAT16, FAT32}) {
        format(f);
        std::vector<std::vector<uint8_t>> written;
        for (const auto& file : files) written.push_back(put(file.name, file.size));
        mtools("mmd", u"Folder with a long name");
        const std::vector<uint8_t> root = rootBytes();
        const std::vector<DirectoryEntry> entries = decode(root);
        ASSERT_EQ(entries.size(), root.size() / DIR_ENTRY_SIZE);
        for (size_t i = 0; i < std::size(files); i++) {
            std::string what = describe(f) + " " + utf8(files[i].name);
            const DirectoryEntry* e = find(entries, files[i].name, files[i].stored, false);
            ASSERT_NE(e, nullptr) << what;
            EXPECT_EQ(e->kind, EntryKind::File) << what;
            EXPECT_EQ(e->size, files[i].size) << what;
            uint32_t parts = (e->offset - e->longOffset) / DIR_ENTRY_SIZE;
            EXPECT_EQ(parts, (e->longLength + 12) / 13) << what;
            EXPECT_EQ(e->longCheck, files[i].stored ? LongNameCheck::None : LongNameCheck::Valid)
                << what;
            EXPECT_TRUE(walkBytes(e->firstCluster, e->size, false) == written[i]) << what;
            EXPECT_EQ(stop, ChainStop::Complete) << what;
        }
        const DirectoryEntry* folder = find(entries, u"Folder with a long name", nullptr, false);
        ASSERT_NE(folder, nullptr) << describe(f);
        EXPECT_EQ(folder->kind, EntryKind::Directory);
        const std::vector<uint8_t> inFolder =
            walkBytes(folder->firstCluster, clusterBytes(), false);
        const DirectoryEntry* big = find(entries, files[3].name, nullptr, false);
        const std::vector<uint8_t> bigFile = walkBytes(big->firstCluster, 512, false);
        const std::vector<uint8_t> fat =
            readBytes(image, layout.reservedSectors * f.sectorSize, 512);
        const struct {
            const char* what;
            const std::vector<uint8_t>& sector;
            bool directory;
        } sectors[] = {
            {"the root", root, true},
            {"a folder's . and ..", inFolder, true},
            {"a file's data", bigFile, false},
            {"the FAT", fat, false},
            {"nothing written", std::vector<uint8_t>(512), false},
        };
        for (const auto& s : sectors)
            EXPECT_EQ(looksLikeDirectory(s.sector.data(), 512, layout), s.directory) << s.what;
    }
}

TEST_F(FatFiles, AFragmentedFileComesInRunsAndEachClusterKnowsItsPrevious)
{
    for (const FatFormat& f : {FLOPPY, FAT16, FAT32}) {
        format(f);
        const uint64_t cluster = clusterBytes();
        put(u"A.BIN", 3 * cluster);
        put(u"B.BIN", 2 * cluster);
        put(u"C.BIN", 3 * cluster);
        mtools("mdel", u"B.BIN");
        // FAT32's hint of where free clusters begin would put D after C.
        if (f.fatBits == 32)
            writeBytes(image, readBytes(image, 48, 1)[0] * 512 + 492, {0xFF, 0xFF, 0xFF, 0xFF});
        const std::vector<uint8_t> data = put(u"D.BIN", 4 * cluster + 1);
        const std::vector<DirectoryEntry> entries = decode(rootBytes());
        const DirectoryEntry* d = find(entries, u"", "D       BIN", false);
        ASSERT_NE(d, nullptr);
        for (uint32_t maxClusters : {1u, 8u}) {
            EXPECT_TRUE(walkBytes(d->firstCluster, d->size, false, maxClusters) == data)
                << describe(f);
            EXPECT_EQ(stop, ChainStop::Complete);
            EXPECT_EQ(runs.size(), maxClusters == 1 ? 5u : 2u) << describe(f);
        }
        uint32_t before = 0, previous = 1;
        for (const auto& run : runs)
            for (uint32_t c = run.first; c < run.first + run.second; before = c++) {
                EXPECT_TRUE(findPreviousCluster(*reader, c, previous));
                EXPECT_EQ(previous, before) << describe(f) << " cluster " << c;
            }
    }
}

TEST_F(FatFiles, ADeletedFileIsNamedAndRecoveredFromItsFreeClusters)
{
    const struct {
        std::u16string name;
        uint8_t guessed;
        LongNameCheck check;
    } files[] = {
        {u"Deleted report.txt", 'D', LongNameCheck::Valid},
        {u"notes for later.txt", 'N', LongNameCheck::Valid},
        {u".profile backup", 0, LongNameCheck::Mismatch},  // a dot begins no 8.3 name
    };
    format(FLOPPY);
    std::vector<std::vector<uint8_t>> written;
    for (const auto& file : files) written.push_back(put(file.name, 1500 + 1000 * written.size()));
    for (const auto& file : files) mtools("mdel", file.name);
    const std::vector<DirectoryEntry> entries = decode(rootBytes());
    for (size_t i = 0; i < std::size(files); i++) {
        const DirectoryEntry* e = find(entries, files[i].name, nullptr, true);
        ASSERT_NE(e, nullptr) << utf8(files[i].name);
        EXPECT_EQ(e->name[0], DELETED_MARK);
        EXPECT_EQ(e->guessedFirst, files[i].guessed);
        EXPECT_EQ(e->longCheck, files[i].check);
        EXPECT_TRUE(walkBytes(e->firstCluster, e->size, true) == written[i]) << utf8(files[i].name);
        EXPECT_EQ(stop, ChainStop::Complete);
    }
}

// Bytes of a real root directory changed into what no file system writes:
// the volume's label, then "A long file name.txt" in two parts and its entry.
TEST_F(FatFiles, DirectoryBytesNoFileSystemWrites)
{
    format(FAT16);
    put(u"A long file name.txt", 3000);
    const std::vector<uint8_t> root = readBytes(image, uint64_t(layout.dirStart) * 2048, 2048);
    using K = EntryKind;
    using L = LongNameCheck;
    struct Edit {
        uint32_t offset;
        uint8_t byte;
        uint32_t count = 1;
    };
    const struct {
        const char* what;
        std::vector<Edit> edits;
        uint32_t shownFrom;
        uint32_t slot;  // of those decoded
        EntryKind kind;
        LongNameCheck check;
        uint32_t longLength;
    } rows[] = {
        {"as written", {}, 0, 3, K::File, L::Valid, 20},
        {"shown from the entry", {}, 96, 0, K::File, L::Valid, 20},
        {"shown from its first part", {}, 64, 0, K::LongName, L::None, 13},
        {"parts swapped", {{32, 0x01}, {64, 0x42}}, 0, 3, K::File, L::Mismatch, 13},
        {"a part of another entry", {{64 + 13, 0x00}}, 0, 3, K::File, L::Mismatch, 20},
        {"no last part", {{32, 0x02}}, 0, 3, K::File, L::Mismatch, 20},
        {"a deleted part", {{64, 0xE5}}, 0, 3, K::File, L::None, 0},
        {"the end of the directory", {{64, 0x00}}, 0, 3, K::Unused, L::None, 0},
        {"a Kanji first byte", {{96, 0x05}}, 0, 3, K::File, L::Mismatch, 20},
        {"a reserved attribute", {{96 + 11, 0xA0}}, 0, 3, K::Damaged, L::Valid, 20},
        {"a control byte in the name", {{96 + 3, 0x09}}, 0, 3, K::Damaged, L::Mismatch, 20},
        {"a directory with a size", {{96 + 11, 0x10}}, 0, 3, K::Damaged, L::Valid, 20},
        {"a label with the directory bit", {{11, 0x18}}, 0, 0, K::Damaged, L::None, 0},
        {"a blank name", {{96, ' ', 11}}, 0, 3, K::Damaged, L::Mismatch, 20},
    };
    for (const auto& row : rows) {
        std::vector<uint8_t> bytes = root;
        for (const Edit& edit : row.edits)
            for (uint32_t i = 0; i < edit.count; i++) bytes[edit.offset + i] = edit.byte;
        const std::vector<DirectoryEntry> entries = decode(bytes, row.shownFrom);
        ASSERT_EQ(entries.size(), (2048 - row.shownFrom) / DIR_ENTRY_SIZE) << row.what;
        const DirectoryEntry& e = entries[row.slot];
        EXPECT_EQ(e.offset, row.shownFrom + row.slot * DIR_ENTRY_SIZE) << row.what;
        EXPECT_EQ(e.kind, row.kind) << row.what;
        EXPECT_EQ(e.longCheck, row.check) << row.what;
        EXPECT_EQ(e.longLength, row.longLength) << row.what;
        if (e.kind != EntryKind::Unused) {
            EXPECT_EQ(e.name[0], bytes[e.offset] == 0x05 ? DELETED_MARK : bytes[e.offset])
                << row.what;
        }
        EXPECT_EQ(looksLikeDirectory(bytes.data(), 2048, layout), row.kind != EntryKind::Damaged)
            << row.what;
    }
}

// A link written into the first FAT by hand, as each width packs it.
void setLink(const std::string& image, const VolumeLayout& layout, uint32_t cluster, uint32_t value)
{
    uint64_t fat = uint64_t(layout.reservedSectors) * layout.bytesPerSector;
    if (layout.fatType == 32)
        return writeBytes(
            image, fat + 4 * cluster,
            {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)});
    if (layout.fatType == 16)
        return writeBytes(image, fat + 2 * cluster, {uint8_t(value), uint8_t(value >> 8)});
    std::vector<uint8_t> pair = readBytes(image, fat + cluster * 3 / 2, 2);
    uint32_t word = pair[0] | pair[1] << 8;
    word = cluster % 2 ? (word & 0x000F) | (value & 0xFFF) << 4 : (word & 0xF000) | (value & 0xFFF);
    writeBytes(image, fat + cluster * 3 / 2, {uint8_t(word), uint8_t(word >> 8)});
}

// Cluster numbers below 0 count back from past the volume: -1 is the first
// cluster it does not have, -2 its last.
TEST_F(FatFiles, HostileTablesEndTheWalk)
{
    using Links = std::vector<std::pair<int64_t, int64_t>>;
    using S = ChainStop;
    const struct {
        const char* what;
        int fatBits;
        Links links;
        int64_t first;
        uint32_t clusters;  // of size; the last one holds a byte
        Links runs;         // first, count
        ChainStop stop;
        bool recovering = false;
        uint32_t maxClusters = 8;
    } rows[] = {
        {"a chain to its end", 12, {{2, 3}, {3, 4}, {4, END}}, 2, 3, {{2, 3}}, S::Complete},
        {"a size before the chain's end", 12, {{2, 3}, {3, END}}, 2, 1, {{2, 1}}, S::Complete},
        {"a chain shorter than its size", 12, {{2, 3}, {3, END}}, 2, 3, {{2, 2}}, S::EndedEarly},
        {"FAT16's lowest end mark", 16, {{2, 3}, {3, 0xFFF8}}, 2, 3, {{2, 2}}, S::EndedEarly},
        {"a loop", 12, {{2, 3}, {3, 2}}, 2, 9, {{2, 2}}, S::Loop},
        {"jumps begin runs", 12, {{2, 9}, {9, 10}, {10, 4}, {4, END}}, 2, 4,
         {{2, 1}, {9, 2}, {4, 1}}, S::Complete},
        {"runs cut at the most asked", 16, {{2, 3}, {3, 4}, {4, 5}, {5, END}}, 2, 4,
         {{2, 3}, {5, 1}}, S::Complete, false, 3},
        {"a link past the volume", 12, {{2, -1}}, 2, 9, {{2, 1}}, S::OutsideVolume},
        {"a free cluster in the chain", 12, {{2, 3}}, 2, 9, {{2, 2}}, S::FreeCluster},
        {"a bad cluster in the chain", 16, {{2, 3}, {3, BAD}}, 2, 9, {{2, 2}}, S::BadCluster},
        // Entries 341 and 682 begin at a sector's last byte.
        {"FAT12 entries across sectors", 12,
         {{340, 341}, {341, 342}, {342, 682}, {682, 683}, {683, END}}, 340, 5,
         {{340, 3}, {682, 2}}, S::Complete},
        {"a first cluster past the volume", 12, {}, -1, 1, {}, S::OutsideVolume},
        {"no first cluster", 16, {}, 0, 1, {}, S::OutsideVolume},
        {"an empty file", 12, {}, 0, 0, {}, S::Complete},
        {"the volume's last cluster", 32, {{2, -2}, {-2, END}}, 2, 2, {{2, 1}, {-2, 1}},
         S::Complete},
        {"FAT32's top four bits", 32, {{2, 0xF0000003}, {3, END}}, 2, 2, {{2, 2}}, S::Complete},
        {"links across the FAT's windows", 32, {{2, 100000}, {100000, 3}, {3, END}}, 2, 3,
         {{2, 1}, {100000, 1}, {3, 1}}, S::Complete},
        {"recovering free clusters", 12, {}, 20, 3, {{20, 3}}, S::Complete, true},
        {"recovering in runs", 32, {}, 20, 3, {{20, 2}, {22, 1}}, S::Complete, true, 2},
        {"recovering up to a cluster in use", 16, {{21, END}}, 20, 3, {{20, 1}}, S::InUse, true},
        {"recovering up to a bad cluster", 12, {{22, BAD}}, 20, 3, {{20, 2}}, S::InUse, true},
        {"recovering a first cluster in use", 12, {{20, END}}, 20, 3, {}, S::InUse, true},
        {"recovering past the volume's end", 16, {}, -3, 5, {{-3, 2}}, S::OutsideVolume, true},
    };
    std::map<int, std::pair<std::string, std::vector<uint8_t>>> volumes;  // image, its clean FAT
    for (const FatFormat& f : {FLOPPY, FAT16, FAT32}) {
        format(f);
        volumes[f.fatBits] = {image, readBytes(image, layout.reservedSectors * f.sectorSize,
                                               layout.sectorsPerFat * f.sectorSize)};
    }
    for (const auto& row : rows) {
        image = volumes[row.fatBits].first;
        layout = parseBootSector(readBytes(image, 0, 512).data(), false);
        ImageRoute::reset();
        ImageRoute::attach(DRIVE_D, image, layout.bytesPerSector);
        openFatReader(*reader, driveSource(DRIVE_D), 0, layout);
        writeBytes(image, layout.reservedSectors * layout.bytesPerSector,
                   volumes[row.fatBits].second);
        auto resolve = [&](int64_t c) {
            return uint32_t(c < 0 ? highestCluster(layout) + 2 + c : c);
        };
        for (const auto& link : row.links)
            setLink(image, layout, resolve(link.first), resolve(link.second));
        uint64_t size = row.clusters == 0 ? 0 : (row.clusters - 1) * clusterBytes() + 1;
        walkBytes(resolve(row.first), size, row.recovering, row.maxClusters);
        std::vector<std::pair<uint32_t, uint32_t>> expected;
        for (const auto& run : row.runs)
            expected.push_back({resolve(run.first), uint32_t(run.second)});
        EXPECT_EQ(runs, expected) << row.what;
        EXPECT_EQ(stop, row.stop) << row.what;
        for (const ImageRoute::Request& request : ImageRoute::requests()) {
            EXPECT_GE(request.firstSector, layout.reservedSectors) << row.what;
            EXPECT_LE(request.firstSector + request.count,
                      layout.reservedSectors + layout.sectorsPerFat)
                << row.what;
        }
    }
}

// One scan of the FAT serves every question until something is written.
TEST_F(FatFiles, PreviousClustersAreScannedOnceUntilAWrite)
{
    format(FLOPPY);
    for (auto link : {std::pair<uint32_t, uint32_t>{2, 3}, {3, 4}, {4, END}, {9, 4}})
        setLink(image, layout, link.first, link.second);
    const struct {
        uint32_t cluster, previous;
    } before[] = {{2, 0}, {3, 2}, {4, 3}, {9, 0}, {5000, 0}},
      after[] = {{3, 2}, {4, 9}};  // of two, the lower
    for (const auto& c : before) {
        uint32_t previous = 1;
        EXPECT_TRUE(findPreviousCluster(*reader, c.cluster, previous));
        EXPECT_EQ(previous, c.previous) << c.cluster;
    }
    EXPECT_EQ(ImageRoute::requests().size(), 1u);  // the floppy's FAT is one window

    // 3 -> end, written through the sector I/O.
    setLink(image, layout, 3, END);
    std::vector<uint8_t> fatSector = readBytes(image, 512, 512);
    ASSERT_EQ(SectorIo::transfer(SectorOp::Write, driveSource(DRIVE_D), 1, 1, fatSector.data()), 0);
    for (const auto& c : after) {
        uint32_t previous = 1;
        EXPECT_TRUE(findPreviousCluster(*reader, c.cluster, previous));
        EXPECT_EQ(previous, c.previous) << c.cluster;
    }
    ImageRoute::failSector(DRIVE_D, SectorOp::Read, 5);
    SectorIo::transfer(SectorOp::Write, driveSource(DRIVE_D), 1, 1, fatSector.data());
    uint32_t previous = 1;
    EXPECT_FALSE(findPreviousCluster(*reader, 3, previous));
}

}  // namespace
