#include "device/platform.h"

#include <windows.h>

uint32_t TickCount()
{
    return GetTickCount();
}

uint64_t MicrosecondCount()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    // Whole seconds and the rest apart, so the product cannot overflow.
    const uint64_t ticks = uint64_t(now.QuadPart), perSecond = uint64_t(frequency.QuadPart);
    return ticks / perSecond * 1000000 + ticks % perSecond * 1000000 / perSecond;
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
