#include <cstdio>

#include "device/channel.h"

bool PortPathForIndex(const DeviceChannel& channel, uint32_t index, char* out, uint32_t size)
{
    if (channel.portCandidates == nullptr)
        return DefaultPortPath(index, out, size);
    if (index >= channel.portCandidateCount || channel.portCandidates[index] == nullptr)
        return false;
    snprintf(out, size, "%s", channel.portCandidates[index]);
    return true;
}
