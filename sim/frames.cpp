#include "sim/frames.h"

int SimFrameLength(const SimModel& model, const uint8_t* buf, size_t have)
{
    if (have == 0)
        return kFrameNeedMore;
    switch (buf[0]) {
    case 'V':
        // "VV" only: the firmware-version request.
        if (have < 2)
            return kFrameNeedMore;
        return buf[1] == 'V' ? 2 : kFrameUnknown;
    case 'S':
        return model.extendedProtocol ? 3 : kFrameUnknown;
    case 'H':
        if (!model.extendedProtocol)
            return kFrameUnknown;
        if (have < 2)
            return kFrameNeedMore;
        return buf[1] == 'R' ? 6 : kFrameUnknown;
    case 'E':
        return 12;
    default:
        return kFrameUnknown;
    }
}
