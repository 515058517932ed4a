// The one place that knows how long each command frame is.
#pragma once
#include <cstddef>
#include <cstdint>

#include "sim/sim_device.h"

enum { kFrameNeedMore = 0, kFrameUnknown = -1 };

// The length of the frame at the start of buf, kFrameNeedMore when more bytes are needed
// to tell, or kFrameUnknown when the model does not know the command.
int SimFrameLength(const SimModel& model, const uint8_t* buf, size_t have);
