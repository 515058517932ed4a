// Command handlers, one per command family; each answers a whole frame.
#pragma once
#include <cstddef>
#include <cstdint>

#include "sim/sim_device.h"

uint8_t SimByteSum(const uint8_t* bytes, size_t count);

// A frame's length byte: 256 is sent as 0.
inline size_t SimDataLength(uint8_t lengthByte)
{
    return lengthByte == 0 ? 256 : lengthByte;
}

// "VV", "S", "H" "R" and "E": firmware version, USB baud, EEPROM.
void HandleIdentityFrame(SimState& state, const uint8_t* frame, size_t length, SimReply& reply);

// True when the frame's last byte is the sum of the bytes before it.
bool SimFrameChecksumOk(const uint8_t* frame, size_t length);
// Appends the bytes and then their checksum: the form of every data reply.
void SimAppendData(SimReply& reply, const uint8_t* bytes, size_t count);

// Chip commands ("?R", "?W", "?E", "8V", "8M", "J4" and the EEC-IV stream).
void HandleChipFrame(SimState& state, const uint8_t* frame, size_t length, SimReply& reply);
// Slow and bulk transfers of emulation memory ("R", "W", "w", "X", "ZW").
void HandleBlockFrame(SimState& state, const uint8_t* frame, size_t length, SimReply& reply);
// Bank commands ("B" and the Orrery's "8S").
void HandleBankFrame(SimState& state, const uint8_t* frame, size_t length, SimReply& reply);
