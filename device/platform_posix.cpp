#include "device/platform.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

uint32_t TickCount()
{
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint64_t MicrosecondCount()
{
    using namespace std::chrono;
    return uint64_t(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

void SleepMs(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace {
struct EventState {
    std::mutex mutex;
    std::condition_variable changed;
    bool signalled;
};
}

AutoResetEvent::AutoResetEvent(bool initiallySignalled)
    : impl_(new EventState{{}, {}, initiallySignalled})
{
}

AutoResetEvent::~AutoResetEvent()
{
    delete static_cast<EventState*>(impl_);
}

AutoResetEvent::WaitResult AutoResetEvent::Wait(uint32_t timeoutMs)
{
    EventState* e = static_cast<EventState*>(impl_);
    std::unique_lock<std::mutex> hold(e->mutex);
    if (!e->changed.wait_for(hold, std::chrono::milliseconds(timeoutMs), [e] { return e->signalled; }))
        return kTimedOut;
    e->signalled = false;
    return kSignalled;
}

void AutoResetEvent::Set()
{
    EventState* e = static_cast<EventState*>(impl_);
    {
        std::lock_guard<std::mutex> hold(e->mutex);
        e->signalled = true;
    }
    e->changed.notify_one();
}
