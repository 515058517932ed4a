#include "sim/frames.h"

#include "sim/handlers.h"

namespace {

const SimChipLetter kLetters[] = {
    {'2', 2, 32768, true, true, false},
    {'3', 2, 4096, false, false, false},
    {'4', 3, 524288, true, false, true},
    {'5', 2, 65536, true, false, false},
    {'6', 3, kSimFlashSize, true, false, true},
    {'J', 3, 262144, true, false, true},
    {'8', 3, kSimFlashSize, true, false, true},
};

int ChipFrameLength(const SimState& state, const SimChipLetter& chip, const uint8_t* buf, size_t have)
{
    if (have < 2)
        return kFrameNeedMore;
    const size_t header = 3 + chip.addressBytes;
    switch (buf[1]) {
    case 'R':
        return int(header + 1);
    case 'W':
        if (!chip.writable)
            return kFrameUnknown;
        if (have < 3)
            return kFrameNeedMore;
        return int(header + SimDataLength(buf[2]) + 1);
    case 'E':
        if (chip.letter == '5')
            return 3;
        return chip.sectorErase ? 4 : kFrameUnknown;
    case 'S':
        if (chip.letter == 'J')
            return int(header + 1); // the EEC-V reader's read
        return chip.letter == '8' && state.model.orrery ? 4 : kFrameUnknown;
    case '4':
        return chip.letter == 'J' ? 3 : kFrameUnknown;
    case 'V':
        return chip.letter == '8' ? 263 : kFrameUnknown;
    case 'M':
        return chip.letter == '8' && state.model.orrery ? 4 : kFrameUnknown;
    default:
        return kFrameUnknown;
    }
}

int BlockFrameLength(const SimState& state, const uint8_t* buf, size_t have)
{
    const size_t header = state.model.address24 ? 5 : 4;
    if (buf[0] == 'R')
        return int(header + 1);
    if (buf[0] == 'Z') {
        if (have < 2)
            return kFrameNeedMore;
        if (buf[1] != 'W')
            return kFrameUnknown;
        if (have < 3)
            return kFrameNeedMore;
        return int(5 + size_t(buf[2]) * 256 + 1);
    }
    if (have < 2)
        return kFrameNeedMore;
    return int(header + SimDataLength(buf[1]) + 1);
}

} // namespace

const SimChipLetter* SimChipLetterOf(uint8_t letter)
{
    for (const SimChipLetter& l : kLetters)
        if (l.letter == letter)
            return &l;
    return nullptr;
}

int SimFrameLength(const SimState& state, const uint8_t* buf, size_t have)
{
    if (have == 0)
        return kFrameNeedMore;
    const SimModel& model = state.model;
    switch (buf[0]) {
    case 'V':
        // "VV" only: the firmware-version request.
        if (have < 2)
            return kFrameNeedMore;
        return buf[1] == 'V' ? 2 : kFrameUnknown;
    case 'S':
        return model.extendedProtocol ? 3 : kFrameUnknown;
    case 'H':
        if (!model.extendedProtocol)
            return kFrameUnknown;
        if (have < 2)
            return kFrameNeedMore;
        return buf[1] == 'R' ? 6 : kFrameUnknown;
    case 'E':
        return 12;
    case 'B':
        return model.bankCommands && !model.orrery ? 4 : kFrameUnknown;
    case 'R':
    case 'W':
    case 'w':
    case 'X':
    case 'Z':
        return BlockFrameLength(state, buf, have);
    case 'C':
    case 'Q':
        // Only inside the EEC-IV frame stream.
        return state.eecIvNext >= 0 ? 1 : kFrameUnknown;
    }
    const SimChipLetter* chip = SimChipLetterOf(buf[0]);
    if (chip != nullptr && model.chipProgramming)
        return ChipFrameLength(state, *chip, buf, have);
    return kFrameUnknown;
}

SimFamily SimFrameFamilyOf(const SimState&, const uint8_t* frame)
{
    switch (frame[0]) {
    case 'V':
    case 'S':
    case 'H':
    case 'E':
        return SimFamily::kIdentity;
    case 'B':
        return SimFamily::kBank;
    case 'R':
    case 'W':
    case 'w':
    case 'X':
    case 'Z':
        return SimFamily::kBlock;
    case '8':
        return frame[1] == 'S' ? SimFamily::kBank : SimFamily::kChip;
    default:
        return SimFamily::kChip;
    }
}
