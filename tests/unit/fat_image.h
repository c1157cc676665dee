#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Real FAT volumes for tests, written by mkfs.fat and filled by mtools.
struct FatFormat {
    int fatBits;              // -F
    uint32_t sectorSize;      // -S
    uint32_t sizeKiB;         // size of the image
    int sectorsPerCluster;    // -s, 0 = mkfs.fat's choice
    int reservedSectors;      // -R, 0 = mkfs.fat's choice
    int fatCount;             // -f
    int rootEntries;          // -r, 0 = mkfs.fat's choice (FAT12/16 only)
};

std::string describe(const FatFormat& format);

// A fresh folder under the temporary directory, removed by the destructor.
struct TempDir {
    TempDir();
    ~TempDir();
    std::string path;
};

// Runs a shell command line and tells whether it exited with 0.
bool run(const std::string& command);

std::string makeFatImage(const TempDir& dir, const std::string& name, const FatFormat& format);
void copyIntoImage(const std::string& image, const std::string& name,
                   const std::vector<uint8_t>& data);
// Writes the 64-bit field an NTFS boot sector keeps its sector count in
// (offset 40, over a FAT12/16 volume's serial and label), so the image also
// passes for an NTFS volume of that many sectors where a test calls it NTFS.
void setNtfsSectorCount(const std::string& image, uint64_t sectors);
// Writes `data` over the bytes at `offset`, as another program would.
void writeBytes(const std::string& path, uint64_t offset, const std::vector<uint8_t>& data);
std::vector<uint8_t> readBytes(const std::string& path, uint64_t offset, uint32_t count);
uint64_t fileSize(const std::string& path);
