#include "tests/bench/bench_support.h"

#include <fstream>

#include "tests/e2e/e2e_setup.h"

const char kHardwareReady[] = "Hardware ready.\r\nOrrery Programmer v1.5.Z";

std::vector<std::string> Lines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool StartsWith(const std::string& line, const char* start)
{
    return line.rfind(start, 0) == 0;
}

void Wire::Add(const std::string& traceLine)
{
    if (traceLine.size() < 4)
        return;
    bytes += unsigned((traceLine.size() - 1) / 3);
    frames += traceLine[0] == '>' ? 1 : 0;
}

double Ms(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

std::vector<std::string> PacedSimOptions(unsigned baud, unsigned usbBaudIndex, const std::string& trace,
                                         const std::string& memory)
{
    return {"--line-rate", std::to_string(baud), "--turnaround-us", "1000", "--usb-baud-index",
            std::to_string(usbBaudIndex), "--trace", LinuxPathOf(trace), "--memory", LinuxPathOf(memory)};
}
