// Bank registers: "B" commands of the Heron family and Gryph, and the Orrery's "8S", which
// selects the position presented to the engine.
#include "sim/handlers.h"

void HandleBankFrame(SimState& state, const uint8_t* frame, size_t length, SimReply& reply)
{
    if (!SimFrameChecksumOk(frame, length))
        return;
    const uint8_t selector = frame[1];
    const uint8_t value = frame[2];
    if (frame[0] == '8') {
        // Sixteen positions.
        if (value > 15) {
            reply.bytes = {'F'};
            return;
        }
        state.emulationBank = value;
        reply.bytes = {'O'};
        return;
    }
    switch (selector) {
    case 'E':
        if (value == 'E' || value == 'S') {
            reply.bytes = {state.emulationBank};
            return;
        }
        state.emulationBank = value;
        break;
    case 'S':
        state.emulationBank = value;
        break;
    case 'R':
        if (value == 'R') {
            reply.bytes = {state.rwBank};
            return;
        }
        state.rwBank = value;
        break;
    default:
        reply.bytes = {'?'};
        return;
    }
    reply.bytes = {'O'};
}
