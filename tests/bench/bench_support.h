// What the benchmarks under Wine share: the simulator's options, a text file's lines (the
// simulator's trace, the device log, a timed program's output), frames and bytes on the
// wire and their limit, medians, and the status the program shows once it has found the
// simulated device.
#pragma once
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

extern const char kHardwareReady[];  // "Hardware ready.\r\nOrrery Programmer v1.5.Z"

std::vector<std::string> Lines(const std::string& path);
bool StartsWith(const std::string& line, const char* start);

// Frames and bytes on the wire, from trace lines: one line a frame ("> 56 56"), a reply
// ("< ...") or bytes the device lost ("! ...").
struct Wire {
    unsigned frames = 0;
    unsigned bytes = 0;
    void Add(const std::string& traceLine);
    // Every byte at 10 bits, and one turnaround per frame.
    double LimitMs(double baud, double turnaroundMs) const
    {
        return bytes * 10 * 1000.0 / baud + frames * turnaroundMs;
    }
};

template <class T>
T Median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? T() : values[values.size() / 2];
}

// t6sim's options for a line of that speed with a 1 ms turnaround, the device starting at
// that USB baud index, with its trace and memory in these files (Windows paths).
std::vector<std::string> PacedSimOptions(unsigned baud, unsigned usbBaudIndex, const std::string& trace,
                                         const std::string& memory);

// Milliseconds between two performance-counter readings.
double Ms(const LARGE_INTEGER& from, const LARGE_INTEGER& to);
