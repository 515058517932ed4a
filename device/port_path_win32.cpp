#include <cstdio>

#include "device/channel.h"

bool DefaultPortPath(uint32_t index, char* out, uint32_t size)
{
    snprintf(out, size, "\\\\.\\COM%i", int(index));
    return true;
}
