// The few operating-system services the device layer needs beyond the serial port:
// tick counts, sleeping and the auto-reset event used as the request lock.
#pragma once
#include <cstdint>

// Milliseconds since an arbitrary start; wraps like GetTickCount.
uint32_t TickCount();
// Microseconds since an arbitrary start, from a monotonic clock: for times too short for
// TickCount, whose steps on Windows are 10 to 16 ms.
uint64_t MicrosecondCount();
void SleepMs(uint32_t milliseconds);

// An unnamed auto-reset event: Set lets exactly one waiter through and resets.
class AutoResetEvent {
public:
    enum WaitResult { kSignalled, kTimedOut, kFailed };

    explicit AutoResetEvent(bool initiallySignalled);
    ~AutoResetEvent();
    AutoResetEvent(const AutoResetEvent&) = delete;
    AutoResetEvent& operator=(const AutoResetEvent&) = delete;

    WaitResult Wait(uint32_t timeoutMs);
    void Set();

private:
    void* impl_;
};
