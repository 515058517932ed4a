#include "device/chip_frames.h"

void DeferredStep::Flush()
{
    if (!pending_)
        return;
    pending_ = false;
    reporter_.Step();
}

bool DeferredStep::ReportAfterSend()
{
    if (!pending_)
        return true;
    Flush();
    return channel_.cancelRequested.load() == 0;
}
