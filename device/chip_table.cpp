#include "device/chip_frames.h"

static const ChipInfo kChips[] = {
    {"29C256", 32768, 32768, {'2', 'R'}, 0, 2, '2', 0},
    {"29F040", 524288, 65536, {'4', 'R'}, 0, 3, '4', '4'},
    {"27SF512", 65536, 65536, {'5', 'R'}, 0, 2, '5', 0},
    {"2732A (Read-Only)", 4096, 4096, {'3', 'R'}, 0, 2, 0, 0},
    {"27C128 (Read-Only)", 16384, 16384, {'5', 'R'}, 0xC000, 2, 0, 0},
    {"27C256 (Read-Only)", 32768, 32768, {'5', 'R'}, 0x8000, 2, 0, 0},
    {"27C512 (Read-Only)", 65536, 65536, {'5', 'R'}, 0, 2, 0, 0},
    {"T2 Ford Adapter", 262144, 65536, {'J', 'R'}, 0, 3, 'J', 'J'},
    {"T3X Ford EEC-IV Reader", 57344, 57344, {0, 0}, 0, 0, 0, 0},
    {"T3X Ford EEC-V Reader", 262144, 262144, {'J', 'S'}, 0, 3, 0, 0},
    {"T4 Ford Adapter", 4194304, 65536, {'6', 'R'}, 0, 3, '6', '6'},
    {"T5 Ford Adapter", 4194304, 65536, {'6', 'R'}, 0, 3, '6', '6'},
    {"T6 (via Orrery)", 4194304, 65536, {'8', 'R'}, 0, 3, '8', '8'},
};

const ChipInfo* ChipInfoOf(ChipId chip)
{
    return chip < sizeof kChips / sizeof kChips[0] ? &kChips[chip] : nullptr;
}

uint32_t ChipSize(ChipId chip)
{
    const ChipInfo* info = ChipInfoOf(chip);
    return info != nullptr ? info->size : 0;
}

uint32_t SectorSize(ChipId chip)
{
    const ChipInfo* info = ChipInfoOf(chip);
    return info != nullptr ? info->sectorSize : 0;
}

DeviceResult ChipCommonChecks(const DeviceChannel& channel, bool checkPort, DeviceCaps needed)
{
    if (!(channel.capabilities & needed))
        return CW_E_REQUEST_NOT_SUPPORTED;
    if (checkPort && !channel.IsPortOpen())
        return CW_E_PORT_NOT_INITIALIZED;
    return CW_S_OK;
}

uint32_t ChipCommandHeader(uint8_t* out, char first, char second, uint32_t length, uint32_t address,
                           uint8_t addressBytes)
{
    uint32_t n = 0;
    out[n++] = uint8_t(first);
    out[n++] = uint8_t(second);
    out[n++] = uint8_t(length);
    if (addressBytes == 3)
        out[n++] = uint8_t(address >> 16);
    out[n++] = uint8_t(address >> 8);
    out[n++] = uint8_t(address);
    return n;
}

void LogElapsed(DeviceChannel& channel, const char* operation, uint32_t startTick)
{
    // Unsigned subtraction is right across the 32-bit wrap of the tick count.
    uint32_t ms = TickCount() - startTick;
    LogPrintf(channel.logTarget, "KVChipwise: %s took %i milliseconds (%f seconds)", operation, int(ms), ms / 1000.0);
}
