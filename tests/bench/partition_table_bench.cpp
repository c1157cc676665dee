#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "image_route.h"
#include "volume/partition_table.h"

// readPartitionTable over the image route against reading the sectors it
// reads one by one through the same route: a GPT of 128 used entries made by
// sfdisk, and an MBR whose extended partition is a chain of 100 EBRs (more
// logical partitions than sfdisk makes, so written here).
namespace {

constexpr int CHAIN_LINKS = 100;

std::string folder, gptDisk, chainDisk;
PartitionTable table;
alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t sector[512];

std::string makeGptDisk()
{
    std::string path = folder + "/gpt128.img", script = folder + "/gpt128.sfdisk";
    std::FILE* file = std::fopen(script.c_str(), "w");
    std::fprintf(file, "label: gpt\n");
    for (int i = 0; i < 128; i++) std::fprintf(file, "start=%d, size=8\n", 2048 + 8 * i);
    std::fclose(file);
    std::string command = "truncate -s 8M " + path + " && sfdisk -q " + path + " < " + script;
    return std::system(command.c_str()) == 0 ? path : "";
}

void putEntry(uint8_t* ebr, int slot, uint8_t type, uint32_t first, uint32_t count)
{
    uint8_t* e = ebr + 446 + 16 * slot;
    e[4] = type;
    for (int i = 0; i < 4; i++) {
        e[8 + i] = uint8_t(first >> 8 * i);
        e[12 + i] = uint8_t(count >> 8 * i);
    }
    ebr[510] = 0x55;
    ebr[511] = 0xAA;
}

// EBR k at 2048 + 64 k, its logical partition 32 sectors further.
std::string makeChainDisk()
{
    std::string path = folder + "/chain100.img";
    std::vector<uint8_t> disk(16 << 20, 0);
    putEntry(&disk[0], 0, 0x05, 2048, 64 * CHAIN_LINKS);
    for (uint32_t k = 0; k < CHAIN_LINKS; k++) {
        uint8_t* ebr = &disk[(2048 + 64 * k) * 512];
        putEntry(ebr, 0, 0x83, 32, 16);
        if (k + 1 < CHAIN_LINKS) putEntry(ebr, 1, 0x05, 64 * (k + 1), 64);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool written = std::fwrite(disk.data(), 1, disk.size(), file) == disk.size();
    return std::fclose(file) == 0 && written ? path : "";
}

SectorNumber openDisk(const std::string& path)
{
    SectorIo::setRoutes(ImageRoute::routes());
    SectorIo::openImage(path.c_str());
    SectorIo::setImageSectorSize(512);
    return SectorIo::imageLength() / 512;
}

void partitionList(benchmark::State& state, const std::string* path, int32_t listed)
{
    SectorNumber sectors = openDisk(*path);
    for (auto _ : state) {
        readPartitionTable(IMAGE_FILE_SOURCE, 512, sectors, table);
        benchmark::DoNotOptimize(table.count);
    }
    if (table.count != listed) state.SkipWithError("not the partitions the disk holds");
}

// The MBR, the EBRs, the GPT headers and the entry array read first.
std::vector<SectorNumber> tableSectors()
{
    std::vector<SectorNumber> sectors = {0};
    sectors.insert(sectors.end(), table.ebrSectors, table.ebrSectors + table.ebrCount);
    const GptArea& primary = table.gptAreas[0];
    if (table.gpt != GptState::None) sectors.push_back(primary.header);
    for (SectorNumber s = 0; s < primary.entriesSectors; s++)
        sectors.push_back(primary.entriesFirst + s);
    if (table.gpt != GptState::None) sectors.push_back(table.gptAreas[1].header);
    return sectors;
}

void sectorsOneByOne(benchmark::State& state, const std::string* path, int32_t)
{
    SectorNumber count = openDisk(*path);
    readPartitionTable(IMAGE_FILE_SOURCE, 512, count, table);
    std::vector<SectorNumber> sectors = tableSectors();
    for (auto _ : state)
        for (SectorNumber s : sectors)
            if (SectorIo::transfer(SectorOp::Read, IMAGE_FILE_SOURCE, 1, s, sector) != 0)
                state.SkipWithError("a sector did not read");
    state.counters["sectors"] = double(sectors.size());
}

}  // namespace

BENCHMARK_CAPTURE(sectorsOneByOne, gpt128, &gptDisk, 128)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(partitionList, gpt128, &gptDisk, 128)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(sectorsOneByOne, chain100, &chainDisk, 1 + CHAIN_LINKS)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(partitionList, chain100, &chainDisk, 1 + CHAIN_LINKS)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

int main(int argc, char** argv)
{
    char pattern[] = "/tmp/veldis-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    folder = pattern;
    gptDisk = makeGptDisk();
    chainDisk = makeChainDisk();
    int status = 1;
    if (!gptDisk.empty() && !chainDisk.empty()) {
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        status = 0;
    }
    SectorIo::closeImage();
    return std::system(("rm -rf " + folder).c_str()) == 0 ? status : 1;
}
