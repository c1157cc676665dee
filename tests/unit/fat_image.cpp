#include "fat_image.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

std::string describe(const FatFormat& f)
{
    char text[128];
    std::snprintf(text, sizeof text, "FAT%d S%u %uK s%d R%d f%d r%d", f.fatBits, f.sectorSize,
                  f.sizeKiB, f.sectorsPerCluster, f.reservedSectors, f.fatCount, f.rootEntries);
    return text;
}

TempDir::TempDir()
{
    char pattern[] = "/tmp/veldis-test-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    path = pattern;
}

TempDir::~TempDir()
{
    run("rm -rf '" + path + "'");
}

bool run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string makeFatImage(const TempDir& dir, const std::string& name, const FatFormat& f)
{
    std::string image = dir.path + "/" + name;
    std::string command = "mkfs.fat -C -F " + std::to_string(f.fatBits) + " -S " +
                          std::to_string(f.sectorSize) + " -f " + std::to_string(f.fatCount) +
                          " -n VELDISTEST -i 1234ABCD";
    if (f.sectorsPerCluster) command += " -s " + std::to_string(f.sectorsPerCluster);
    if (f.reservedSectors) command += " -R " + std::to_string(f.reservedSectors);
    if (f.rootEntries) command += " -r " + std::to_string(f.rootEntries);
    command += " '" + image + "' " + std::to_string(f.sizeKiB);
    if (!run(command)) throw std::runtime_error("mkfs.fat refused: " + command);
    return image;
}

void copyIntoImage(const std::string& image, const std::string& name,
                   const std::vector<uint8_t>& data)
{
    std::string source = image + "." + name;
    std::ofstream(source, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    if (!run("MTOOLS_SKIP_CHECK=1 mcopy -i '" + image + "' '" + source + "' ::" + name))
        throw std::runtime_error("mcopy failed for " + image);
    std::remove(source.c_str());
}

std::vector<uint8_t> readBytes(const std::string& path, uint64_t offset, uint32_t count)
{
    std::vector<uint8_t> bytes(count);
    std::ifstream in(path, std::ios::binary);
    in.seekg(std::streamoff(offset));
    in.read(reinterpret_cast<char*>(bytes.data()), count);
    if (!in) throw std::runtime_error("short read from " + path);
    return bytes;
}

uint64_t fileSize(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return uint64_t(in.tellg());
}

void writeBytes(const std::string& path, uint64_t offset, const std::vector<uint8_t>& data)
{
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    if (file == nullptr) throw std::runtime_error("cannot open " + path);
    bool written = std::fseek(file, long(offset), SEEK_SET) == 0 &&
                   std::fwrite(data.data(), 1, data.size(), file) == data.size();
    if (std::fclose(file) != 0 || !written) throw std::runtime_error("cannot write " + path);
}

void setNtfsSectorCount(const std::string& image, uint64_t sectors)
{
    std::vector<uint8_t> field(8);
    for (int i = 0; i < 8; i++) field[i] = uint8_t(sectors >> 8 * i);
    writeBytes(image, 40, field);
}
