// What the benchmarks under Wine share: the demo folder, the paced simulator, a text
// file's lines (ReadTraceFile: the simulator's trace, the device log, a timed program's
// output), frames and bytes on the wire and their limit, medians, and the status the
// program shows once it has found the simulated device.
#pragma once
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/sim_session.h"
#include "tests/support/trace_file.h"

extern const char kHardwareReady[];  // "Hardware ready.\r\nOrrery Programmer v1.5.Z"

bool StartsWith(const std::string& line, const char* start);
bool EndsWith(const std::string& text, const std::string& end);

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

// A fresh scratch folder of that name holding the demo material; "" (the reason printed)
// when it could not be written.
std::string DemoFolder(const char* name);

// Starts t6sim on COM7 with its session in folder's `name`: a line of that speed with a
// 1 ms turnaround, the device starting at that USB baud index with the demo device's
// memory. Its trace file, or "" (the reason printed) when it did not start.
std::string StartPacedSim(SimSession& sim, const std::string& folder, const std::string& name, unsigned baud,
                          unsigned usbBaudIndex);

// Milliseconds between two performance-counter readings.
double Ms(const LARGE_INTEGER& from, const LARGE_INTEGER& to);
