#include "device/models.h"

#include <cstdio>
#include <cstring>

// Firmware "M.x below N": major equal to M and minor below N; any other major is not below.
static bool FirmwareBelow(const uint8_t version[3], uint8_t major, uint8_t minor)
{
    return version[0] == major && version[1] < minor;
}

bool IdentifyModel(char id, const uint8_t version[3], DeviceCaps* capsOut)
{
    DeviceCaps caps;
    switch (id) {
    case '1': caps = FirmwareBelow(version, 1, 34) ? 0x02000042 : 0x22000042; break;
    case '2': caps = FirmwareBelow(version, 1, 34) ? 0x02000022 : 0x22000022; break;
    case 'A': caps = FirmwareBelow(version, 2, 12) ? 0x13000101 : 0x53000101; break;
    case 'D': caps = 0xCA004001; break;
    case 'F': caps = 0x01000201; break;
    case 'J': caps = 0x01020001; break;
    case 'O':
        caps = 0x02000401;
        if (!FirmwareBelow(version, 10, 5))
            caps |= kCapsBanks;
        if (!FirmwareBelow(version, 10, 12))
            caps |= kCapsBulk;
        break;
    case 'P': caps = 0x6A000801; break;
    case 'Q': caps = 0x2A010001; break;
    case 'R': caps = 0x62001001; break;
    case 'T': caps = 0x02000084; break;
    case 'X': caps = 0x01008001; break;
    case 'Z': caps = 0x09040001; break;
    default: return false;
    }
    *capsOut = caps;
    return true;
}

static void CopyBounded(char* out, uint32_t size, const char* text)
{
    if (size == 0)
        return;
    strncpy(out, text, size - 1);
    out[size - 1] = '\0';
}

void DeviceModelName(DeviceCaps caps, char* nameOut, uint32_t nameSize, const uint8_t* version)
{
    // Tested in this order; a later match replaces an earlier one.
    static const struct {
        DeviceCaps bit;
        const char* name;
    } kNames[] = {
        {kCapsMirraI, "Mirra I"},      {kCapsMirraII, "Mirra II"},   {kCapsRelayPlus, "Relay Plus"},
        {kCapsChipwise, "Chipwise"},   {kCapsSparkEtch, "Spark & Etch"}, {kCapsHeron, "Heron"},
        {kCapsHeronII, "Heron II"},    {kCapsSwiftlet, "Swiftlet"},  {kCapsGryph, "Gryph"},
        {kCapsT5, "T5"},               {kCapsKestrel, "Kestrel"},    {kCapsPalomar, "Palomar"},
        {kCapsOrrery, "Orrery Programmer"},
    };
    if (nameOut == nullptr || nameSize == 0)
        return;
    for (const auto& entry : kNames)
        if (caps & entry.bit)
            CopyBounded(nameOut, nameSize, entry.name);
    if (version != nullptr) {
        char suffix[25];
        snprintf(suffix, sizeof suffix, " v%i.%i.%c", version[0], version[1], char(version[2]));
        size_t used = strnlen(nameOut, nameSize - 1);
        CopyBounded(nameOut + used, nameSize - uint32_t(used), suffix);
    }
}

bool HasAddress24(DeviceCaps caps)
{
    return (caps & (kCapsSwiftlet | kCapsPalomar)) != 0;
}

int LargeBinBank(DeviceCaps caps)
{
    if (caps & kCapsGryph)
        return 16;
    if (caps & (kCapsHeron | kCapsHeronII))
        return 8;
    return -1;
}

bool UsesBankCommands(DeviceCaps caps)
{
    return (caps & (kCapsHeron | kCapsHeronII | kCapsGryph | kCapsOrrery)) != 0;
}

uint8_t HighestRwBank(DeviceCaps caps)
{
    return (caps & (kCapsGryph | kCapsOrrery)) ? 16 : 8;
}
