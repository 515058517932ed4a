// The chip layer: reads, writes, verifies and erases the memory the programmer presents
// as a chip of a given type, and switches the emulated chip on and off.
#pragma once
#include <cstdint>

#include "device/channel.h"

typedef uint32_t ChipId;

enum : ChipId { kChipT6ViaOrrery = 12 };

// EraseChip modes.
enum : uint32_t { kEraseWholeChip = 5, kEraseSectors = 7, kEraseBlocks = 10 };

// The table row of a chip id; null above 12.
struct ChipInfo {
    const char* name;
    uint32_t size;
    uint32_t sectorSize;
    char readLetters[2];   // "\0\0" where reading has its own protocol (id 8)
    uint32_t readOffset;   // added to the start address before anything else
    uint8_t addressBytes;  // 2 or 3
    char writeLetter;      // first letter of the write command ("?W"), 0 for read-only parts
    char eraseLetter;      // first letter of the sector erase ("?E"), 0 without one
};
const ChipInfo* ChipInfoOf(ChipId chip);

uint32_t ChipSize(ChipId chip);
uint32_t SectorSize(ChipId chip);

DeviceResult ReadChip(DeviceChannel& channel, uint8_t* destination, ChipId chip, uint32_t start, uint32_t length,
                      ProgressCallback progress);
DeviceResult ReadEecIvImage(DeviceChannel& channel, uint8_t* destination, ProgressCallback progress);
DeviceResult WriteChip(DeviceChannel& channel, const uint8_t* source, ChipId chip, uint32_t start, uint32_t length,
                       ProgressCallback progress);
// 1 when the chip holds the same bytes, 0 when it differs, or a negative DeviceResult.
DeviceResult VerifyChip(DeviceChannel& channel, const uint8_t* local, ChipId chip, uint32_t start, uint32_t length,
                        ProgressCallback progress);
// As VerifyChip, with the comparison done inside the device (chip id 12).
DeviceResult DeviceVerifyBlocks(DeviceChannel& channel, const uint8_t* local, uint32_t start, uint32_t length,
                                ProgressCallback progress);
DeviceResult EraseSector(DeviceChannel& channel, ChipId chip, uint32_t sector);
DeviceResult EraseWholeChip(DeviceChannel& channel, ChipId chip, ProgressCallback progress);
// One 256 KB block of four sectors (ids 10 to 12).
DeviceResult EraseBlock(DeviceChannel& channel, ChipId chip, uint32_t block, ProgressCallback progress);
DeviceResult EraseChip(DeviceChannel& channel, ProgressCallback progress, ChipId chip, uint32_t mode, uint32_t first,
                       uint32_t count);
DeviceResult SetChipEnabled(DeviceChannel& channel, bool enabled);

// The checks every chip operation starts with: the capability it needs, and an open port.
DeviceResult ChipCommonChecks(const DeviceChannel& channel, bool checkPort, DeviceCaps needed = kCapsChipProgramming);
