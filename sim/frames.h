// The one place that knows how long each command frame is, and which handler family
// answers it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "sim/sim_device.h"

enum { kFrameNeedMore = 0, kFrameUnknown = -1 };

// The length of the frame at the start of buf, kFrameNeedMore when more bytes are needed
// to tell, or kFrameUnknown when the device does not know the command in its state.
int SimFrameLength(const SimState& state, const uint8_t* buf, size_t have);

enum class SimFamily { kIdentity, kChip, kBlock, kBank };
// Only for frames SimFrameLength accepted.
SimFamily SimFrameFamilyOf(const SimState& state, const uint8_t* frame);

// The chip command letters and what the part behind each takes.
struct SimChipLetter {
    char letter;
    uint8_t addressBytes;
    uint32_t size;          // addresses wrap at the part's size
    bool writable;
    bool replacesOnWrite;   // an EEPROM-like part; flash parts can only clear bits
    bool sectorErase;       // "?E" sector; "5E" erases the whole 27SF512
};
const SimChipLetter* SimChipLetterOf(uint8_t letter);
