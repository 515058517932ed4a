#include <windows.h>

#include "tune/clock.h"

uint64_t CurrentFileTimeTicks()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    FILETIME ticks;
    if (!SystemTimeToFileTime(&now, &ticks))
        return 0;
    return (uint64_t(ticks.dwHighDateTime) << 32) | ticks.dwLowDateTime;
}

bool FileTimeToLocalCalendar(uint64_t ticks, CalendarTime* out)
{
    if (out == nullptr || ticks >= (uint64_t(1) << 63))
        return false;
    FILETIME time;
    time.dwLowDateTime = DWORD(ticks);
    time.dwHighDateTime = DWORD(ticks >> 32);
    SYSTEMTIME utc, local;
    if (!FileTimeToSystemTime(&time, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return false;
    *out = {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
    return true;
}
