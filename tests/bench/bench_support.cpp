#include "tests/bench/bench_support.h"

#include <cstdio>

#include "sim/demo/demo_material.h"
#include "tests/e2e/e2e_setup.h"

const char kHardwareReady[] = "Hardware ready.\r\nOrrery Programmer v1.5.Z";

bool StartsWith(const std::string& line, const char* start)
{
    return line.rfind(start, 0) == 0;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
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

std::string DemoFolder(const char* name)
{
    const std::string folder = FreshTestFolder(name);
    const std::string problem = WriteDemoMaterial(folder, folder);
    if (problem.empty())
        return folder;
    fprintf(stderr, "%s: %s\n", name, problem.c_str());
    return "";
}

std::string StartPacedSim(SimSession& sim, const std::string& folder, const std::string& name, unsigned baud,
                          unsigned usbBaudIndex)
{
    const std::string session = folder + name + "\\", trace = session + "trace.txt";
    if (sim.Start(session, 7,
                  {"--line-rate", std::to_string(baud), "--turnaround-us", "1000", "--usb-baud-index",
                   std::to_string(usbBaudIndex), "--trace", LinuxPathOf(trace), "--memory",
                   LinuxPathOf(folder + kDemoDeviceFile)}))
        return trace;
    fprintf(stderr, "the simulator did not start: %s\n", sim.Output().c_str());
    return "";
}
