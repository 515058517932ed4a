#include <ctime>

#include "tune/clock.h"

static const int64_t kTicksPerSecond = 10000000;
static const int64_t kSecondsFrom1601To1970 = 11644473600LL;

uint64_t CurrentFileTimeTicks()
{
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return uint64_t(now.tv_sec + kSecondsFrom1601To1970) * kTicksPerSecond + uint64_t(now.tv_nsec / 100);
}

bool FileTimeToLocalCalendar(uint64_t ticks, CalendarTime* out)
{
    if (out == nullptr || ticks >= (uint64_t(1) << 63))
        return false;
    time_t seconds = time_t(int64_t(ticks / kTicksPerSecond) - kSecondsFrom1601To1970);
    tm local;
    if (localtime_r(&seconds, &local) == nullptr)
        return false;
    *out = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
    return true;
}
