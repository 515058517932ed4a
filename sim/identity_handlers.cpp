#include "sim/handlers.h"

uint8_t SimByteSum(const uint8_t* bytes, size_t count)
{
    uint8_t sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum = uint8_t(sum + bytes[i]);
    return sum;
}

bool SimFrameChecksumOk(const uint8_t* frame, size_t length)
{
    return length > 0 && SimByteSum(frame, length - 1) == frame[length - 1];
}

void SimAppendData(SimReply& reply, const uint8_t* bytes, size_t count)
{
    reply.bytes.insert(reply.bytes.end(), bytes, bytes + count);
    reply.bytes.push_back(SimByteSum(bytes, count));
}

static void AnswerEEPROM(SimState& state, uint8_t count, uint16_t address, SimReply& reply)
{
    uint8_t data[256];
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t at = uint32_t(address) + i;
        data[i] = at < state.eeprom.size() ? state.eeprom[at] : 0xFF;
    }
    SimAppendData(reply, data, count);
}

void HandleIdentityFrame(SimState& state, const uint8_t* frame, size_t length, SimReply& reply)
{
    switch (frame[0]) {
    case 'V':
        reply.bytes = {state.config.firmwareMajor, state.config.firmwareMinor, uint8_t(state.config.modelId)};
        return;
    case 'S': {
        // A frame the device cannot trust gets no answer.
        if (!SimFrameChecksumOk(frame, length))
            return;
        uint32_t index = frame[1];
        if (index != 0 && index != 1 && index != 3 && index != 7) {
            reply.bytes = {'?'};
            return;
        }
        // Acknowledged at the old speed; the device then listens at the new one.
        reply.bytes = {'O'};
        state.usbBaudIndex = index;
        return;
    }
    case 'H':
        if (SimFrameChecksumOk(frame, length))
            AnswerEEPROM(state, frame[2], uint16_t(frame[3] << 8 | frame[4]), reply);
        return;
    case 'E':
        if (SimFrameChecksumOk(frame, length))
            AnswerEEPROM(state, frame[1], uint16_t(frame[2] << 8 | frame[3]), reply);
        return;
    }
}
