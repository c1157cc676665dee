#pragma once
#include <cstdint>

// The shell of the program: every call the core makes into the window system
// and the volume queries. The Win32 build fills it with real calls; native
// tests with a recording fake.
struct Platform {
    int (*messageBox)(const char* text, const char* caption, unsigned style);
    int (*isInBuiltinGroup)(uint32_t rid);
    void (*getVolumeInformation)(const char* root, char* volumeName, uint32_t volumeNameSize,
                                 uint32_t* serialNumber, uint32_t* maxComponentLength,
                                 uint32_t* fileSystemFlags, char* fileSystemName,
                                 uint32_t fileSystemNameSize);
    bool (*getDiskFreeSpace)(const char* root, uint32_t* sectorsPerCluster,
                             uint32_t* bytesPerSector, uint32_t* freeClusters,
                             uint32_t* totalClusters);
    // Leaves the three values untouched where the system has no extended query.
    void (*getDiskFreeSpaceEx)(const char* root, uint64_t* freeBytesAvailable,
                               uint64_t* totalBytes, uint64_t* totalFreeBytes);
    unsigned (*getDriveType)(const char* root);
    void (*getModuleFileName)(char* path, uint32_t size);
    int32_t (*getProfileInt)(const char* section, const char* key, int32_t defaultValue,
                             const char* path);
    void (*writeProfileString)(const char* section, const char* key, const char* value,
                               const char* path);
    void (*getMainWindowRect)(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom);
};

extern Platform platform;
