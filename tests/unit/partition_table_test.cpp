#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fat_image.h"
#include "image_route.h"
#include "platform/crc32.h"
#include "volume/partition_table.h"

namespace {

PartitionTable table;

struct DumpRow {
    uint64_t start, size;
    std::string type;
};

// A sparse disk of `mib` MiB partitioned by sfdisk from `script`.
std::string sfdiskDisk(const TempDir& dir, const char* name, const std::string& script, int mib)
{
    std::string path = dir.path + "/" + name;
    if (!run("truncate -s " + std::to_string(mib) + "M " + path + " && printf '" + script +
             "' | sfdisk " + path))
        throw std::runtime_error("sfdisk refused " + script);
    return path;
}

// The partitions as `sfdisk --dump` lists them, in its order.
std::vector<DumpRow> sfdiskDump(const std::string& path)
{
    std::vector<DumpRow> rows;
    std::FILE* dump = popen(("sfdisk --dump " + path).c_str(), "r");
    char line[512], type[64];
    unsigned long long start, size;
    while (std::fgets(line, sizeof line, dump) != nullptr) {
        const char* at = std::strstr(line, " : start=");
        if (at &&
            std::sscanf(at, " : start=%llu, size=%llu, type=%63[^,\n]", &start, &size, type) == 3)
            rows.push_back({start, size, type});
    }
    if (pclose(dump) != 0) throw std::runtime_error("sfdisk --dump failed on " + path);
    return rows;
}

bool readImage(const std::string& path, uint32_t sectorSize, SectorNumber sectors = 0)
{
    SectorIo::setRoutes(ImageRoute::routes());
    EXPECT_EQ(SectorIo::openImage(path.c_str()), SectorIo::ImageOpening::Opened);
    SectorIo::setImageSectorSize(sectorSize);
    if (sectors == 0) sectors = fileSize(path) / sectorSize;
    return readPartitionTable(IMAGE_FILE_SOURCE, sectorSize, sectors, table);
}

std::string typeName(const Partition& p)
{
    char text[64];
    partitionTypeName(p, text, sizeof text);
    return text;
}

void expectListed(const std::vector<DumpRow>& rows)
{
    ASSERT_EQ(table.count, int32_t(rows.size()));
    for (size_t i = 0; i < rows.size(); i++) {
        const Partition& p = table.entries[i];
        EXPECT_EQ(p.number, int32_t(i + 1));
        EXPECT_EQ(p.firstSector, rows[i].start) << i;
        EXPECT_EQ(p.sectorCount, rows[i].size) << i;
        EXPECT_EQ(p.problems, 0u) << i;
        if (p.scheme != PartitionScheme::Gpt) {
            EXPECT_EQ(p.mbrType, std::stoul(rows[i].type, nullptr, 16));
        }
    }
}

void put32(std::vector<uint8_t>& bytes, size_t at, uint64_t value)
{
    for (int i = 0; i < 4; i++) bytes[at + i] = uint8_t(value >> 8 * i);
}

uint64_t get32(const std::vector<uint8_t>& bytes, size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint64_t(bytes[at + 3]) << 24;
}

// A plain bitwise CRC32, for tests that seal what they damage.
uint32_t plainCrc32(const uint8_t* bytes, size_t size)
{
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < size; i++) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; bit++) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
    }
    return ~crc;
}

// The shared CRC-32: its check value, nothing, a run taken in two parts, and
// the header and entries sfdisk sealed.
TEST(Crc32, CheckValueAndGptAsSfdiskSealedIt)
{
    const uint8_t* check = reinterpret_cast<const uint8_t*>("123456789");
    struct {
        const char* what;
        uint32_t crc;
        uint32_t expected;
    } rows[] = {
        {"check value", crc32(0, check, 9), 0xCBF43926u},
        {"nothing", crc32(0, check, 0), 0u},
        {"nothing after", crc32(0xCBF43926u, check, 0), 0xCBF43926u},
        {"in two parts", crc32(crc32(0, check, 4), check + 4, 5), 0xCBF43926u},
        {"one 'a'", crc32(0, reinterpret_cast<const uint8_t*>("a"), 1), 0xE8B7BE43u},
    };
    for (auto& row : rows) EXPECT_EQ(row.crc, row.expected) << row.what;
    // Eight bytes a step and the rest one at a time, from any alignment,
    // give what a plain bitwise CRC does.
    std::vector<uint8_t> bytes(100);
    for (size_t i = 0; i < bytes.size(); i++) bytes[i] = uint8_t(i * 73 + 5);
    for (size_t at = 0; at < 8; at++)
        for (size_t size = 0; at + size <= bytes.size(); size++)
            ASSERT_EQ(crc32(0, bytes.data() + at, size), plainCrc32(bytes.data() + at, size))
                << at << " " << size;

    TempDir dir;
    std::string disk = sfdiskDisk(dir, "gpt.img", "label: gpt\\nsize=1MiB, type=U\\n", 4);
    std::vector<uint8_t> header = readBytes(disk, 512, 512);
    uint32_t entryBytes = uint32_t(get32(header, 80) * get32(header, 84));
    std::vector<uint8_t> entries = readBytes(disk, 1024, entryBytes);
    EXPECT_EQ(crc32(0, entries.data(), entries.size()), get32(header, 88));
    uint32_t sealed = uint32_t(get32(header, 16)), headerSize = uint32_t(get32(header, 12));
    put32(header, 16, 0);
    EXPECT_EQ(crc32(0, header.data(), headerSize), sealed);
    ASSERT_TRUE(readImage(disk, 512));
    EXPECT_EQ(table.gpt, GptState::Primary);
}

TEST(PartitionTable, MbrAndItsLogicalsAsSfdiskWroteThem)
{
    TempDir dir;
    std::string disk = sfdiskDisk(dir, "mbr.img",
                                  "label: dos\\nstart=2048, size=20480, type=6\\n"
                                  "start=22528, size=40960, type=5\\n"
                                  "start=24576, size=8192, type=83\\n"
                                  "start=34816, size=8192, type=82\\n", 64);
    ASSERT_TRUE(readImage(disk, 512));
    expectListed(sfdiskDump(disk));
    EXPECT_EQ(table.gpt, GptState::None);
    EXPECT_EQ(table.chainEnd, ChainEnd::Complete);
    EXPECT_EQ(table.entries[2].scheme, PartitionScheme::Logical);
    ASSERT_EQ(table.ebrCount, 2);
    EXPECT_EQ(table.ebrSectors[0], 22528u);
    EXPECT_EQ(table.entries[3].tableSector, table.ebrSectors[1]);
    struct {
        SectorNumber sector;
        TableSector kind;
        int32_t holder;
    } rows[] = {
        {0, TableSector::Mbr, -1},       {2048, TableSector::None, 0},
        {22527, TableSector::None, 0},   {22528, TableSector::Ebr, -1},
        {22529, TableSector::None, -1},  {24576, TableSector::None, 2},
        {43007, TableSector::None, 3},   {table.ebrSectors[1], TableSector::Ebr, -1},
        {131071, TableSector::None, -1}, {131072, TableSector::None, -1},
    };
    for (auto& row : rows) {
        EXPECT_EQ(tableSectorKind(table, row.sector), row.kind) << row.sector;
        EXPECT_EQ(partitionHolding(table, row.sector), row.holder) << row.sector;
    }
}

// The primary copy, or the backup when the primary is damaged; neither: the
// MBR's protective entry alone, which covers the GPT's own sectors.
TEST(PartitionTable, GptFromEitherCopy)
{
    TempDir dir;
    std::string made = sfdiskDisk(dir, "gpt.img",
                                  "label: gpt\\nsize=10MiB, type=U\\nsize=16MiB, type=L\\n"
                                  "size=8MiB, type=S\\n"
                                  "size=4MiB, type=EBD0A0A2-B9E5-4433-87C0-68B6B72699C7\\n", 64);
    std::vector<DumpRow> dump = sfdiskDump(made);
    const std::vector<uint8_t> zeros(512, 0);
    struct {
        const char* what;
        std::function<void(const std::string&)> damage;
        GptState state;
    } rows[] = {
        {"as made", [](const std::string&) {}, GptState::Primary},
        {"primary header zeroed", [&](const std::string& d) { writeBytes(d, 512, zeros); },
         GptState::Backup},
        {"an entry's byte changed", [](const std::string& d) { writeBytes(d, 1024 + 60, {7}); },
         GptState::Backup},
        {"both headers zeroed",
         [&](const std::string& d) {
             writeBytes(d, 512, zeros);
             writeBytes(d, fileSize(d) - 512, zeros);
         },
         GptState::Damaged},
    };
    for (auto& row : rows) {
        std::string disk = dir.path + "/damaged.img";
        ASSERT_TRUE(run("cp --sparse=always " + made + " " + disk));
        row.damage(disk);
        ASSERT_TRUE(readImage(disk, 512)) << row.what;
        EXPECT_EQ(table.gpt, row.state) << row.what;
        if (row.state == GptState::Damaged) {
            ASSERT_EQ(table.count, 1);
            EXPECT_EQ(typeName(table.entries[0]), "GPT protective");
            EXPECT_EQ(table.entries[0].problems, uint32_t(PARTITION_OVERLAPS));
            continue;
        }
        expectListed(dump);
        const char* names[] = {"EFI system", "Linux filesystem", "Linux swap",
                               "Microsoft basic data"};
        for (int i = 0; i < 4; i++) EXPECT_EQ(typeName(table.entries[i]), names[i]) << row.what;
        if (row.state != GptState::Primary) continue;
        SectorNumber last = 131071;
        std::pair<SectorNumber, TableSector> kinds[] = {
            {0, TableSector::Mbr},         {1, TableSector::GptHeader},
            {2, TableSector::GptEntries},  {33, TableSector::GptEntries},
            {34, TableSector::None},       {last - 33, TableSector::None},
            {last - 32, TableSector::GptEntries}, {last, TableSector::GptHeader},
        };
        for (auto [sector, kind] : kinds) EXPECT_EQ(tableSectorKind(table, sector), kind) << sector;
    }
}

// Each change to the primary header, sealed with fresh CRCs, is refused by
// one check alone: the backup is read instead.
TEST(PartitionTable, GptHeaderChecks)
{
    TempDir dir;
    std::string made =
        sfdiskDisk(dir, "gpt.img", "label: gpt\\nsize=1MiB, type=U\\nsize=2MiB, type=L\\n", 8);
    struct {
        const char* what;
        size_t at;
        std::vector<uint8_t> bytes;
        bool seal;
        GptState state;
    } rows[] = {
        {"resealed as it was", 0, {'E'}, true, GptState::Primary},
        {"header CRC wrong", 0x40, {1}, false, GptState::Backup},
        {"revision 2", 8, {0, 0, 2, 0}, true, GptState::Backup},
        {"header of 91 bytes", 12, {91}, true, GptState::Backup},
        {"says it lies at sector 2", 24, {2}, true, GptState::Backup},
        {"first usable past the last", 40, {0xFF, 0xFF, 0xFF}, true, GptState::Backup},
        {"entries of 64 bytes", 84, {64}, true, GptState::Backup},
        {"entries of 130 bytes", 84, {130}, true, GptState::Backup},
        {"entries of 8192 bytes", 84, {0x00, 0x20}, true, GptState::Backup},
        {"16384 entries, 2 MiB", 80, {0x00, 0x40}, true, GptState::Backup},
    };
    for (auto& row : rows) {
        std::string disk = dir.path + "/damaged.img";
        ASSERT_TRUE(run("cp --sparse=always " + made + " " + disk));
        std::vector<uint8_t> header = readBytes(disk, 512, 512);
        std::copy(row.bytes.begin(), row.bytes.end(), header.begin() + row.at);
        uint64_t entryBytes = get32(header, 80) * get32(header, 84);
        uint32_t size = uint32_t(get32(header, 12));
        if (row.seal) {
            std::vector<uint8_t> entries = readBytes(disk, 1024, uint32_t(entryBytes));
            put32(header, 88, plainCrc32(entries.data(), entries.size()));
            put32(header, 16, 0);
            put32(header, 16, plainCrc32(header.data(), size));
        }
        writeBytes(disk, 512, header);
        ASSERT_TRUE(readImage(disk, 512)) << row.what;
        EXPECT_EQ(table.gpt, row.state) << row.what;
        EXPECT_EQ(table.count, 2) << row.what;
    }
}

TEST(PartitionTable, GptListsItsFirstEntriesAndSaysSo)
{
    TempDir dir;
    std::string script = "label: gpt\\ntable-length: 300\\n";
    for (int i = 0; i < 300; i++) script += "start=" + std::to_string(2048 + 8 * i) + ", size=8\\n";
    ASSERT_TRUE(readImage(sfdiskDisk(dir, "many.img", script, 8), 512));
    EXPECT_EQ(table.count, PARTITION_LIST_MAX);
    EXPECT_TRUE(table.listCut);
    EXPECT_EQ(table.entries[PARTITION_LIST_MAX - 1].firstSector,
              2048u + 8 * (PARTITION_LIST_MAX - 1));
    EXPECT_EQ(table.entries[PARTITION_LIST_MAX - 1].problems, 0u);
}

// Hand-made tables the chain and the checks must survive, on a disk of 1000
// sectors: entries put at a sector's slot, with 55 AA.
struct Put {
    SectorNumber sector;
    int slot;
    uint8_t type;
    uint32_t first, count;
};

std::vector<Put> longChain()
{
    std::vector<Put> puts = {{0, 0, 0x05, 100, 800}};
    for (uint32_t k = 0; k <= EBR_CHAIN_MAX; k++) {
        puts.push_back({100 + 2 * k, 0, 0x83, 1, 1});
        puts.push_back({100 + 2 * k, 1, 0x05, 2 * (k + 1), 2});
    }
    return puts;
}

TEST(PartitionTable, HostileTables)
{
    constexpr uint32_t P = PARTITION_PAST_DISK_END, O = PARTITION_OVERLAPS;
    constexpr ChainEnd DONE = ChainEnd::Complete;
    struct {
        const char* what;
        SectorNumber sectors;
        ChainEnd end;
        SectorNumber endSector;
        std::vector<uint32_t> problems;
        std::vector<Put> puts;
    } rows[] = {
        {"a link back to the first EBR", 1000, ChainEnd::Loop, 150, {0, 0, 0},
         {{0, 0, 0x05, 100, 500}, {100, 0, 0x83, 10, 20}, {100, 1, 0x05, 50, 100},
          {150, 0, 0x83, 10, 20}, {150, 1, 0x05, 0, 100}}},
        {"a link backwards to an EBR not seen", 1000, DONE, 0, {0, 0, 0, 0},
         {{0, 0, 0x05, 100, 500}, {100, 0, 0x83, 1, 10}, {100, 1, 0x0F, 200, 50},
          {300, 0, 0x83, 1, 10}, {300, 1, 0x85, 100, 50}, {200, 0, 0x83, 1, 10}}},
        {"a link past the extended partition", 1000, ChainEnd::OutsideExtended, 100, {0, 0},
         {{0, 0, 0x05, 100, 500}, {100, 0, 0x83, 1, 10}, {100, 1, 0x05, 600, 10}}},
        {"a link past the disk", 1000, ChainEnd::PastDisk, 100, {P, 0},
         {{0, 0, 0x05, 100, 2000}, {100, 0, 0x83, 1, 10}, {100, 1, 0x05, 950, 10}}},
        {"an extended partition past the disk", 1000, ChainEnd::PastDisk, 0, {P},
         {{0, 0, 0x05, 1500, 10}}},
        {"an EBR without 55 AA", 1000, ChainEnd::Unreadable, 100, {0}, {{0, 1, 0x0F, 100, 500}}},
        {"an EBR the image does not hold", 2000, ChainEnd::Unreadable, 1200, {0},
         {{0, 0, 0x05, 1200, 500}}},
        {"too many EBRs", 1000, ChainEnd::TooLong, 100 + 2 * (EBR_CHAIN_MAX - 1),
         std::vector<uint32_t>(1 + EBR_CHAIN_MAX, 0), longChain()},
        {"overlapping primaries", 1000, DONE, 0, {0, O},
         {{0, 0, 0x06, 100, 200}, {0, 1, 0x83, 250, 100}}},
        {"primaries to the end, past it, and far past it", 1000, DONE, 0, {0, 0, P, P},
         {{0, 0, 0x06, 800, 100}, {0, 1, 0x83, 900, 100}, {0, 2, 0x83, 1000, 5},
          {0, 3, 0x0C, 0xFFFFFFFF, 0xFFFFFFFF}}},
        {"logicals over their EBR and across the extended partition's end", 1000, DONE, 0,
         {0, O, O},
         {{0, 0, 0x05, 100, 100}, {100, 0, 0x83, 0, 10}, {100, 1, 0x05, 20, 80},
          {120, 0, 0x83, 10, 100}}},
    };
    TempDir dir;
    std::string disk = dir.path + "/hostile.img";
    for (auto& row : rows) {
        std::vector<uint8_t> bytes(1000 * 512, 0);
        for (const Put& put : row.puts) {
            size_t sector = size_t(put.sector) * 512, entry = sector + 446 + 16 * put.slot;
            bytes[entry + 4] = put.type;
            put32(bytes, entry + 8, put.first);
            put32(bytes, entry + 12, put.count);
            bytes[sector + 510] = 0x55;
            bytes[sector + 511] = 0xAA;
        }
        std::FILE* file = std::fopen(disk.c_str(), "wb");
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        std::fclose(file);
        ASSERT_TRUE(readImage(disk, 512, row.sectors)) << row.what;
        EXPECT_EQ(table.chainEnd, row.end) << row.what;
        EXPECT_EQ(table.chainEndSector, row.endSector) << row.what;
        ASSERT_EQ(table.count, int32_t(row.problems.size())) << row.what;
        for (size_t i = 0; i < row.problems.size(); i++)
            EXPECT_EQ(table.entries[i].problems, row.problems[i]) << row.what << ", entry " << i;
    }
}

TEST(PartitionTable, WhatSectorZeroHolds)
{
    TempDir dir;
    FatFormat floppy{12, 512, 1440, 1, 1, 2, 224}, fat32{32, 512, 40960, 1, 32, 2, 0};
    std::vector<uint8_t> mbr = readBytes(
        sfdiskDisk(dir, "mbr.img", "label: dos\\nstart=2048, size=2048, type=c\\n", 2), 0, 512);
    std::vector<uint8_t> gpt =
        readBytes(sfdiskDisk(dir, "gpt.img", "label: gpt\\nsize=1MiB\\n", 2), 0, 512);
    auto changed = [&](std::vector<std::pair<size_t, std::vector<uint8_t>>> patches) {
        std::vector<uint8_t> sector = mbr;
        for (auto& [at, bytes] : patches)
            std::copy(bytes.begin(), bytes.end(), sector.begin() + at);
        return sector;
    };
    struct {
        const char* what;
        std::vector<uint8_t> sector;
        bool isTable;
    } rows[] = {
        {"sfdisk's MBR", mbr, true},
        {"sfdisk's protective MBR", gpt, true},
        {"a floppy's boot sector", readBytes(makeFatImage(dir, "floppy.img", floppy), 0, 512),
         false},
        {"a FAT32 boot sector", readBytes(makeFatImage(dir, "fat32.img", fat32), 0, 512), false},
        {"the MBR under a BPB", changed({{0, {0xEB, 0x3C, 0x90}}, {11, {0, 2, 8}}}), false},
        {"exFAT's name and sector size",
         changed({{0, {0xEB, 0x76, 0x90, 'E', 'X', 'F', 'A', 'T', ' ', ' ', ' '}}, {108, {9}}}),
         false},
        {"exFAT's name alone", changed({{0, {0xEB, 0x76, 0x90, 'E', 'X', 'F', 'A', 'T'}}}), true},
        {"no 55 AA", changed({{510, {0x55, 0x55}}}), false},
        {"status 0x7F", changed({{446, {0x7F}}}), false},
        {"an entry from sector 0", changed({{446 + 8, {0, 0, 0, 0}}}), false},
        {"no entry in use", changed({{446 + 4, {0}}}), false},
        {"an unused entry of any start", changed({{446 + 16 + 8, {1, 2, 3, 4, 5, 6, 7, 8}}}), true},
        {"all zero", std::vector<uint8_t>(512, 0), false},
    };
    for (auto& row : rows) EXPECT_EQ(isPartitionSector(row.sector.data()), row.isTable) << row.what;
}

// An image whose sector size nobody gave: by its GPT header, else the first
// partition's boot sector; a 4096 one then reads in sectors of that size.
TEST(PartitionTable, ConfirmedSectorSize)
{
    TempDir dir;
    std::string gpt4096 = dir.path + "/gpt4096.img", mbr4096 = dir.path + "/mbr4096.img";
    ASSERT_TRUE(run("truncate -s 64M " + gpt4096 + " " + mbr4096));
    // sfdisk gives an image file's sectors 512 bytes whatever its script says; fdisk takes -b.
    ASSERT_TRUE(
        run("printf 'g\\nn\\n1\\n256\\n+10M\\nt\\n1\\nn\\n2\\n\\n+16M\\nw\\n' | fdisk -b 4096 " +
            gpt4096));
    ASSERT_TRUE(
        run("printf 'o\\nn\\np\\n1\\n256\\n+10M\\nt\\n6\\nw\\n' | fdisk -b 4096 " + mbr4096));
    ASSERT_TRUE(run("mkfs.fat -S 4096 --offset=256 " + mbr4096 + " 10240"));
    std::string mbr512 =
        sfdiskDisk(dir, "mbr512.img", "label: dos\\nstart=2048, size=20480, type=6\\n", 64);
    ASSERT_TRUE(run("mkfs.fat -S 512 --offset=2048 " + mbr512 + " 10240"));
    struct {
        const char* what;
        std::string path;
        uint32_t size;
    } rows[] = {
        {"GPT of 512", sfdiskDisk(dir, "gpt512.img", "label: gpt\\nsize=1MiB\\n", 8), 512},
        {"GPT of 4096", gpt4096, 4096},
        {"FAT on MBR of 512", mbr512, 512},
        {"FAT on MBR of 4096", mbr4096, 4096},
        {"a floppy", makeFatImage(dir, "floppy.img", {12, 512, 1440, 1, 1, 2, 224}), 512},
    };
    for (auto& row : rows) {
        readImage(row.path, 512);
        EXPECT_EQ(confirmDiskSectorSize(IMAGE_FILE_SOURCE, fileSize(row.path) / 512), row.size)
            << row.what;
    }
    ASSERT_TRUE(readImage(gpt4096, 4096));
    EXPECT_EQ(table.gpt, GptState::Primary);
    expectListed({{256, 2560, ""}, {2816, 4096, ""}});
    EXPECT_EQ(tableSectorKind(table, 16383), TableSector::GptHeader);
}

TEST(PartitionTable, TypeNames)
{
    Partition mbr{}, gpt{};
    gpt.scheme = PartitionScheme::Gpt;
    for (auto [type, name] : {std::pair{0x06, "FAT16"},
                              {0x0C, "FAT32"},
                              {0x07, "NTFS/exFAT"},
                              {0x0F, "Extended"},
                              {0xEE, "GPT protective"},
                              {0x42, "0x42"}}) {
        mbr.mbrType = uint8_t(type);
        EXPECT_EQ(typeName(mbr), name);
    }
    for (int i = 0; i < 16; i++) gpt.typeGuid[i] = uint8_t(i);
    EXPECT_EQ(typeName(gpt), "03020100-0504-0706-0809-0A0B0C0D0E0F");
    char cut[5];
    mbr.mbrType = 0x0C;
    partitionTypeName(mbr, cut, sizeof cut);
    EXPECT_STREQ(cut, "FAT3");
}

}  // namespace
