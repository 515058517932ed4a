// Command handlers, one per command family; each answers a whole frame.
#pragma once
#include <cstddef>
#include <cstdint>

#include "sim/sim_device.h"

uint8_t SimByteSum(const uint8_t* bytes, size_t count);

// "VV", "S", "H" "R" and "E": firmware version, USB baud, EEPROM.
void HandleIdentityFrame(SimState& state, const uint8_t* frame, size_t length, SimReply& reply);
