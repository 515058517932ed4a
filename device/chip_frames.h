// Pieces shared by the chip operations' files.
#pragma once
#include <cstdint>

#include "device/chip.h"

// Two letters, the length byte (256 as 0), then 2 or 3 address bytes. Returns its length.
uint32_t ChipCommandHeader(uint8_t* out, char first, char second, uint32_t length, uint32_t address,
                           uint8_t addressBytes);

// "KVChipwise: <operation> took %i milliseconds (%f seconds)" since startTick.
void LogElapsed(DeviceChannel& channel, const char* operation, uint32_t startTick);

// Text buffer sizes of the progress records.
enum : uint32_t { kChipTextSize = 100, kEraseTextSize = 50, kVerifyTextSize = 40 };
