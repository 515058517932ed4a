// The chip the programmer presents: one 4 MB flash array behind every chip letter, each
// part seeing it wrapped at its own size. Flash can only clear bits when written; only an
// erase brings bytes back to 0xFF.
#include "sim/frames.h"
#include "sim/handlers.h"

namespace {

const uint32_t kSector = 65536;
const int kEecIvFrames = 224;

uint32_t ChipAddress(const SimChipLetter& chip, const uint8_t* frame)
{
    // Letters, length, then 2 or 3 address bytes.
    const uint8_t* a = frame + 3;
    return chip.addressBytes == 3 ? uint32_t(a[0] << 16 | a[1] << 8 | a[2]) : uint32_t(a[0] << 8 | a[1]);
}

uint8_t& FlashAt(SimState& state, const SimChipLetter& chip, uint32_t address)
{
    return state.flash[(address % chip.size) % kSimFlashSize];
}

void EecIvFrame(SimState& state, int sequence, SimReply& reply)
{
    uint8_t frame[258];
    frame[0] = uint8_t(sequence);
    for (int i = 0; i < 256; ++i)
        frame[1 + i] = state.flash[size_t(sequence) * 256 + size_t(i)];
    frame[257] = SimByteSum(frame, 257);
    reply.bytes.assign(frame, frame + sizeof frame);
}

void EecIvStream(SimState& state, uint8_t command, SimReply& reply)
{
    if (command == 'Q') {
        state.eecIvNext = -1;
        reply.bytes = {'O'};
    } else if (state.eecIvNext < kEecIvFrames) {
        EecIvFrame(state, state.eecIvNext++, reply);
    } else {
        reply.bytes = {'?'};
    }
}

void Erase(SimState& state, uint32_t from, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        state.flash[(from + i) % kSimFlashSize] = 0xFF;
}

} // namespace

void HandleChipFrame(SimState& state, const uint8_t* frame, size_t length, SimReply& reply)
{
    if (frame[0] == 'C' || frame[0] == 'Q') {
        EecIvStream(state, frame[0], reply);
        return;
    }
    // A frame the device cannot trust gets no answer.
    if (!SimFrameChecksumOk(frame, length))
        return;
    const SimChipLetter& chip = *SimChipLetterOf(frame[0]);
    switch (frame[1]) {
    case 'R':
    case 'S':
        if (frame[1] == 'S' && chip.letter == '8')
            break; // the Orrery's bank selection, answered elsewhere
        {
            uint8_t data[256];
            size_t n = SimDataLength(frame[2]);
            uint32_t address = ChipAddress(chip, frame);
            for (size_t i = 0; i < n; ++i)
                data[i] = FlashAt(state, chip, address + uint32_t(i));
            SimAppendData(reply, data, n);
        }
        return;
    case 'W': {
        size_t n = SimDataLength(frame[2]);
        uint32_t address = ChipAddress(chip, frame);
        const uint8_t* data = frame + 3 + chip.addressBytes;
        for (size_t i = 0; i < n; ++i) {
            uint8_t& cell = FlashAt(state, chip, address + uint32_t(i));
            cell = chip.replacesOnWrite ? data[i] : uint8_t(cell & data[i]);
        }
        reply.bytes = {'O'};
        return;
    }
    case 'E':
        if (chip.letter == '5') {
            Erase(state, 0, chip.size);
        } else {
            uint32_t sector = frame[2];
            if (uint64_t(sector + 1) * kSector > chip.size) {
                reply.bytes = {'F'};
                return;
            }
            Erase(state, sector * kSector, kSector);
        }
        reply.bytes = {'O'};
        return;
    case '4':
        state.eecIvNext = 1;
        EecIvFrame(state, 0, reply);
        return;
    case 'V': {
        uint32_t address = ChipAddress(chip, frame);
        const uint8_t* data = frame + 6;
        bool same = true;
        for (uint32_t i = 0; i < 256 && same; ++i)
            same = FlashAt(state, chip, address + i) == data[i];
        reply.bytes = {uint8_t(same ? 'O' : 'X')};
        return;
    }
    case 'M':
        if (frame[2] != 'Y' && frame[2] != 'N') {
            reply.bytes = {'?'};
            return;
        }
        state.chipEnabled = frame[2] == 'Y';
        reply.bytes = {'O'};
        return;
    }
}
