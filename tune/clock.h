// Upload times: the current moment as FILETIME ticks, and ticks shown in the machine's
// own time zone.
#pragma once
#include <cstdint>

// 100-ns ticks since 1601-01-01 UTC.
uint64_t CurrentFileTimeTicks();

struct CalendarTime {
    int year;
    int month;   // 1..12
    int day;     // 1..31
    int hour;
    int minute;
    int second;
};

// False when the ticks cannot be shown as a date (at or above 2^63, as on Windows).
bool FileTimeToLocalCalendar(uint64_t ticks, CalendarTime* out);
