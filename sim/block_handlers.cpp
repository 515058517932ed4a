// Emulation memory reached by address: slow frames and bulk frames. Two-byte-address
// models page it through the R/W bank; 24-bit models name a memory space in the top
// address byte, and the Palomar keeps its registers at the start of space 0x20.
#include "sim/handlers.h"

namespace {

struct Target {
    std::vector<uint8_t>* memory;
    uint32_t address;
    bool palomarRegisters;
};

Target Resolve(SimState& state, uint8_t a2, uint8_t a1, uint8_t a0)
{
    if (!state.model.address24)
        return {&state.space20, uint32_t(state.rwBank) << 16 | uint32_t(a1) << 8 | a0, false};
    uint8_t space = a2 & 0x30;
    uint32_t address = uint32_t(a2 & 0x0F) << 16 | uint32_t(a1) << 8 | a0;
    std::vector<uint8_t>* memory = space == 0x10 ? &state.space10 : &state.space20;
    bool registers = state.model.palomar && space != 0x10 && address < 3;
    return {memory, address, registers};
}

uint8_t ReadByte(SimState& state, const Target& t, uint32_t i)
{
    if (t.palomarRegisters && t.address + i < 3) {
        switch (t.address + i) {
        case 0: return state.palomarMode;
        case 1: return state.emulationBank;
        default: return 0;
        }
    }
    return (*t.memory)[(t.address + i) % kSimSpaceSize];
}

void WriteByte(SimState& state, const Target& t, uint32_t i, uint8_t value)
{
    if (t.palomarRegisters && t.address + i < 3) {
        // The bank register takes a write only right after 0xAA went to the unlock register.
        if (t.address + i == 2) {
            state.palomarUnlocked = value == 0xAA;
        } else if (t.address + i == 1 && state.palomarUnlocked) {
            state.emulationBank = value;
            state.palomarUnlocked = false;
        }
        return;
    }
    (*t.memory)[(t.address + i) % kSimSpaceSize] = value;
}

} // namespace

void HandleBlockFrame(SimState& state, const uint8_t* frame, size_t length, SimReply& reply)
{
    if (!SimFrameChecksumOk(frame, length))
        return;
    const bool wide = state.model.address24;
    if (frame[0] == 'Z') {
        uint32_t pages = frame[2];
        Target t;
        if (wide) {
            t = Resolve(state, frame[3], frame[4], 0);
        } else {
            t = {&state.space20, uint32_t(frame[3]) << 16 | uint32_t(frame[4]) << 8, false};
        }
        for (uint32_t i = 0; i < pages * 256; ++i)
            WriteByte(state, t, i, frame[5 + i]);
        reply.bytes = {'O'};
        return;
    }
    const size_t n = SimDataLength(frame[1]);
    const Target t = wide ? Resolve(state, frame[2], frame[3], frame[4]) : Resolve(state, 0, frame[2], frame[3]);
    const uint8_t* data = frame + (wide ? 5 : 4);
    if (frame[0] == 'R') {
        uint8_t bytes[256];
        for (uint32_t i = 0; i < n; ++i)
            bytes[i] = ReadByte(state, t, i);
        SimAppendData(reply, bytes, n);
        return;
    }
    uint32_t sum = 0;
    for (uint32_t i = 0; i < n; ++i) {
        WriteByte(state, t, i, data[i]);
        sum += data[i];
    }
    if (frame[0] == 'X')
        reply.bytes = {uint8_t(sum), uint8_t(sum >> 8)};
    else
        reply.bytes = {'O'};
}
