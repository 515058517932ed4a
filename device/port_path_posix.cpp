#include <cstdio>

#include "device/channel.h"

// Port n is /dev/ttyUSBn for n below 8 and /dev/ttyACM(n-8) for n from 8 to 15: the
// names USB-serial bridges get on Linux.
bool DefaultPortPath(uint32_t index, char* out, uint32_t size)
{
    if (index < 8)
        snprintf(out, size, "/dev/ttyUSB%u", index);
    else if (index < 16)
        snprintf(out, size, "/dev/ttyACM%u", index - 8);
    else
        return false;
    return true;
}
