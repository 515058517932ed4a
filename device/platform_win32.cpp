#include "device/platform.h"

#include <windows.h>

uint32_t TickCount()
{
    return GetTickCount();
}

void SleepMs(uint32_t milliseconds)
{
    Sleep(milliseconds);
}

AutoResetEvent::AutoResetEvent(bool initiallySignalled)
    : impl_(CreateEventA(nullptr, FALSE, initiallySignalled ? TRUE : FALSE, nullptr))
{
}

AutoResetEvent::~AutoResetEvent()
{
    if (impl_ != nullptr)
        CloseHandle(impl_);
}

AutoResetEvent::WaitResult AutoResetEvent::Wait(uint32_t timeoutMs)
{
    switch (WaitForSingleObject(impl_, timeoutMs)) {
    case WAIT_OBJECT_0:
        return kSignalled;
    case WAIT_TIMEOUT:
        return kTimedOut;
    default:
        return kFailed;
    }
}

void AutoResetEvent::Set()
{
    SetEvent(impl_);
}
