#include "device/reply_time.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// "VV" out, the three version bytes back.
const uint32_t kRequestBytes = 2, kReplyBytes = 3;

// One request's time from the first byte sent to the last byte read; negative on failure.
DeviceResult TimeOneRequest(DeviceChannel& channel, uint32_t* microseconds)
{
    RequestScope request(channel, 110);
    if (request.busy())
        return CW_E_PORT_BUSY;
    const uint8_t frame[kRequestBytes] = {'V', 'V'};
    uint8_t reply[kReplyBytes] = {};
    const uint64_t start = MicrosecondCount();
    const DeviceResult sent = request.WriteFrame(frame, sizeof frame);
    if (sent < 0)
        return sent;
    if (request.Read(reply, sizeof reply) < sizeof reply)
        return CW_E_COMM_READ_FAILURE;
    const uint64_t elapsed = MicrosecondCount() - start;
    if (memcmp(reply, channel.firmwareVersion, sizeof reply) != 0)
        return CW_E_INVALID_RESPONSE;
    *microseconds = uint32_t(std::min<uint64_t>(elapsed, 0xFFFFFFFFu));
    return CW_S_OK;
}

} // namespace

DeviceResult MeasureReplyTime(DeviceChannel& channel, uint32_t* microsecondsOut)
{
    if (!channel.port.IsOpen())
        return CW_E_PORT_NOT_INITIALIZED;
    uint32_t samples[kReplySamples];
    for (uint32_t& sample : samples) {
        const DeviceResult result = TimeOneRequest(channel, &sample);
        if (result < 0)
            return result;
    }
    std::sort(samples, samples + kReplySamples);
    const uint32_t median = samples[kReplySamples / 2];
    // Ten bits a byte; a port without a known speed counts no wire time.
    const uint32_t baud = channel.port.lineSettings().baudRate;
    const uint32_t wire = baud == 0 ? 0 : (kRequestBytes + kReplyBytes) * 10 * 1000000 / baud;
    if (microsecondsOut != nullptr)
        *microsecondsOut = median > wire ? median - wire : 0;
    return CW_S_OK;
}

DeviceResult DescribeReplyTime(DeviceChannel& channel, char* text, uint32_t size, const char** hint)
{
    *hint = nullptr;
    uint32_t microseconds = 0;
    const DeviceResult result = MeasureReplyTime(channel, &microseconds);
    if (result < 0) {
        snprintf(text, size, "reply time: not measured (%s)", DeviceResultName(result));
        return result;
    }
    const uint32_t tenths = uint32_t((uint64_t(microseconds) + 50) / 100);
    snprintf(text, size, "reply time: %u.%u ms", tenths / 10, tenths % 10);
    if (microseconds > kHighReplyTimeUs)
        *hint = "The adapter's latency timer is probably high; set it to 1 ms: on Windows in Device Manager (the "
                "port's Properties > Port Settings > Advanced > Latency Timer), on Linux in "
                "/sys/bus/usb-serial/devices/<tty>/latency_timer.";
    return result;
}

void LogReplyTime(DeviceChannel& channel)
{
    if (channel.logTarget == nullptr || channel.logTarget->appendLine.load() == nullptr)
        return;
    char text[80];
    const char* hint = nullptr;
    DescribeReplyTime(channel, text, sizeof text, &hint);
    LogPrintf(channel.logTarget, "KVChipwise: %s", text);
    if (hint != nullptr)
        LogPrintf(channel.logTarget, "KVChipwise: %s", hint);
}
