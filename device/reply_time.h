// How long the device takes to answer beyond the wire time of its bytes. Behind a
// USB-serial bridge that is mostly the bridge's latency timer, which holds a short reply
// back (16 ms by default on the common bridges) and so costs every acknowledged frame that
// much: users see it as a slow program.
#pragma once
#include <cstdint>

#include "device/channel.h"

enum : uint32_t {
    kReplySamples = 5,
    kHighReplyTimeUs = 5000, // above this the adapter, not the device, is holding replies back
};

// The median of kReplySamples firmware-version requests, less their bytes' time on the
// line at the port's speed, in microseconds. A negative DeviceResult when a request went
// unanswered or was answered wrongly; the device's identification is left as it was.
DeviceResult MeasureReplyTime(DeviceChannel& channel, uint32_t* microsecondsOut);

// Measures the reply time and says it in `text`: "reply time: 16.1 ms", or "reply time: not
// measured (CW_E_COMM_READ_FAILURE)". *hint gets one line on how to lower the adapter's
// latency timer when the time is above kHighReplyTimeUs, else null. Returns what
// MeasureReplyTime did.
DeviceResult DescribeReplyTime(DeviceChannel& channel, char* text, uint32_t size, const char** hint);

// With a log attached: logs DescribeReplyTime's line and hint. Without one nothing is sent.
void LogReplyTime(DeviceChannel& channel);
