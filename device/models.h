// The device family: a model's id character and firmware version give its capability word.
#pragma once
#include <cstdint>

typedef uint32_t DeviceCaps;

enum : DeviceCaps {
    kCapsExtendedProtocol = 0x00000001,
    kCapsMirraII = 0x00000020,
    kCapsMirraI = 0x00000040,
    kCapsRelayPlus = 0x00000080,
    kCapsChipwise = 0x00000100,
    kCapsSparkEtch = 0x00000200,
    kCapsHeron = 0x00000400,
    kCapsHeronII = 0x00000800,
    kCapsSwiftlet = 0x00001000,
    kCapsGryph = 0x00004000,
    kCapsT5 = 0x00008000,
    kCapsPalomar = 0x00010000,
    kCapsKestrel = 0x00020000,
    kCapsOrrery = 0x00040000,
    kCapsInterfaceU = 0x00100000,
    kCapsInterfaceS = 0x00200000,
    kCapsInterfaceB = 0x00400000,
    kCapsChipProgramming = 0x01000000,
    kCapsBanks = 0x08000000,
    kCapsBulk = 0x40000000,
};

// True and *capsOut set for a known id; false and *capsOut untouched otherwise.
bool IdentifyModel(char id, const uint8_t version[3], DeviceCaps* capsOut);

// The model's name, then " vM.m.c" when version is given; both bounded by nameSize.
// With no model bit in caps nameOut keeps its text and only the version is appended.
void DeviceModelName(DeviceCaps caps, char* nameOut, uint32_t nameSize, const uint8_t* version);

// Swiftlet and Palomar address 24 bits with a memory-space selector; the others send two
// address bytes and page above 64 KB through the R/W bank.
bool HasAddress24(DeviceCaps caps);
// The bank that holds a large bin, paged 64 KB at a time: 8 on Heron and Heron II, 16 on
// Gryph, -1 on models without one.
int LargeBinBank(DeviceCaps caps);
// Heron, Heron II, Gryph and Orrery Programmer take the four-byte bank commands.
bool UsesBankCommands(DeviceCaps caps);
// Highest R/W bank number a set request may name.
uint8_t HighestRwBank(DeviceCaps caps);
