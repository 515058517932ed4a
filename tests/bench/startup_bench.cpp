// Start-up of the program as a user sees it, against the simulator at 921600 baud with a
// 1 ms turnaround: process start to the main window shown, and to "Hardware ready." with
// all 16 records read; and the query's device time against the wire limit of its frames
// (from the simulator's trace) plus discovery's own waits (counted in the device log of
// one run with /log). Wine's own start is measured with a trivial program and subtracted.
// The same discovery and reads through the device layer alone, without the window, show
// what the window's reporting adds. Figures only; no pass or fail.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "device/chip.h"
#include "resources/resource.h"
#include "sim/demo/demo_material.h"
#include "tests/bench/bench_support.h"
#include "tests/e2e/e2e_setup.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sim_session.h"
#include "tests/e2e/window_driver.h"

namespace {

// Polling the status box goes through the window's own thread: often enough for a few
// milliseconds' precision, seldom enough not to slow what it measures.
enum : DWORD { kRuns = 5, kWaitMs = 30000, kPollMs = 5 };
const double kBaud = 921600, kTurnaroundMs = 1.0;
// Discovery's own waits: the pause after opening a port, the longer one from COM4 up, the
// firmware-version request's read time-out, and the pause after a USB baud change.
const double kOpenPauseMs = 100, kHighPortPauseMs = 60, kFirmwareTimeoutMs = 110, kBaudPauseMs = 10;

struct DiscoveryWaits {
    unsigned opened = 0, highPorts = 0, unanswered = 0, baudChanges = 0;
    double Ms() const
    {
        return opened * kOpenPauseMs + highPorts * kHighPortPauseMs + unanswered * kFirmwareTimeoutMs +
               baudChanges * kBaudPauseMs;
    }
};

DiscoveryWaits DiscoveryWaitsOfLog(const std::string& path)
{
    DiscoveryWaits waits;
    bool asked = false;
    for (const std::string& line : ReadTraceFile(path.c_str())) {
        const bool answer = StartsWith(line, "KVSerial: Read");
        const bool next = StartsWith(line, "KVChipwise:") || StartsWith(line, "KVSerial: Port Closed") ||
                          StartsWith(line, "KVSerial: Baud");
        if (asked && (answer || next)) {
            waits.unanswered += answer ? 0 : 1;
            asked = false;
        }
        if (line == "KVChipwise: Firmware Version string requested")
            asked = true;
        unsigned com = 0;
        if (sscanf(line.c_str(), "KVSerial: Successfully opened \\\\.\\COM%u", &com) == 1) {
            ++waits.opened;
            waits.highPorts += com >= 4 ? 1 : 0;
        }
        if (line.find("SetUSBBaud to") != std::string::npos && line.find("SUCCEEDED") != std::string::npos)
            ++waits.baudChanges;
    }
    return waits;
}

// Starts the program named by the variable and waits for its window with that title;
// milliseconds from the process's start, or 0 when it did not come.
DWORD ShownMs(ProgramRun& program, const std::string& folder, const std::string& arguments, const char* variable,
              const char* title, HWND* window)
{
    *window = nullptr;
    if (!program.Start(folder, arguments, variable))
        return 0;
    WaitUntil([&] { return (*window = FindProcessWindow(program.processId(), title)) != nullptr; }, kWaitMs, 1);
    return *window != nullptr ? program.MsSinceStart() : 0;
}

DWORD WineStartMs(const std::string& folder)
{
    ProgramRun probe;
    HWND window;
    const DWORD shown = ShownMs(probe, folder, "", "T6_START_PROBE", "t6 start probe", &window);
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD code = 0;
    probe.WaitForExit(kWaitMs, &code);
    return shown;
}

struct StartupRun {
    bool ok = false;
    DWORD shownMs = 0, searchingMs = 0, metadataMs = 0, readyMs = 0;
    Wire discovery, metadata;
};

StartupRun RunProgram(const std::string& folder, int run, const std::string& log)
{
    StartupRun result;
    SimSession sim;
    // The device already runs at 921600, so discovery must find it at that speed.
    const std::string trace = StartPacedSim(sim, folder, "sim-" + std::to_string(run), 921600, 0);
    if (trace.empty())
        return result;
    ProgramRun program;
    HWND main;
    result.shownMs = ShownMs(program, folder, log.empty() ? "" : "/log \"" + log + "\"", "T6_UTILITY",
                             kMainTitleStart, &main);
    std::string status;
    WaitUntil(
        [&] {
            status = ControlText(main, IDC_STATUS_BOX);
            const DWORD now = program.MsSinceStart();
            if (result.searchingMs == 0 && status.find("Searching for hardware...") != std::string::npos)
                result.searchingMs = now;
            if (result.metadataMs == 0 && status.find("Getting device tune metadata...") != std::string::npos)
                result.metadataMs = now;
            return status == kHardwareReady;
        },
        kWaitMs, kPollMs);
    result.readyMs = program.MsSinceStart();
    result.ok = main != nullptr && status == kHardwareReady && result.searchingMs != 0 && result.metadataMs != 0;
    // Close once the completion has been handled.
    WaitUntil([&] { return ControlEnabled(main, IDC_WRITE_ALL); }, kWaitMs);
    PostCommand(main, IDCANCEL);
    DWORD code = 0;
    program.WaitForExit(kWaitMs, &code);
    sim.Stop();
    // Discovery's frames, then the metadata pass's: the chip reads ("8R") and their replies.
    Wire* phase = &result.discovery;
    for (const std::string& line : ReadTraceFile(trace.c_str())) {
        if (StartsWith(line, "> 38 52"))
            phase = &result.metadata;
        phase->Add(line);
    }
    return result;
}

// The same discovery and the 16 reads through the device layer in this process.
bool RunDeviceLayer(const std::string& folder, double* discoveryMs, double* metadataMs)
{
    SimSession sim;
    if (StartPacedSim(sim, folder, "sim-device-layer", 921600, 0).empty())
        return false;
    DeviceChannel channel;
    LARGE_INTEGER start, found, read;
    QueryPerformanceCounter(&start);
    bool ok = channel.FindHardware(nullptr, 0, nullptr, 0) != 0;
    QueryPerformanceCounter(&found);
    for (int p = 0; p < kPositionCount && ok; ++p) {
        TuneMetadata record;
        ok = ReadChip(channel, reinterpret_cast<uint8_t*>(&record), kChipT6ViaOrrery,
                      uint32_t(p) * kTuneImageSize + kMetadataOffset, sizeof record, nullptr) >= 0;
    }
    QueryPerformanceCounter(&read);
    channel.ClosePort();
    *discoveryMs = Ms(start, found);
    *metadataMs = Ms(found, read);
    return ok;
}

} // namespace

int main()
{
    const std::string folder = DemoFolder("startup-bench");
    if (folder.empty())
        return 1;

    WineStartMs(folder);  // once to warm the file cache
    std::vector<DWORD> wine;
    for (DWORD i = 0; i < kRuns; ++i)
        wine.push_back(WineStartMs(folder));

    // One run with the device log, for what discovery waited for; its times are not used.
    const std::string log = folder + "device-log.txt";
    if (!RunProgram(folder, 0, log).ok) {
        fprintf(stderr, "startup_bench: the program did not find the simulator\n");
        return 1;
    }
    const DiscoveryWaits waits = DiscoveryWaitsOfLog(log);

    std::vector<StartupRun> runs;
    for (int run = 1; run <= int(kRuns); ++run) {
        runs.push_back(RunProgram(folder, run, ""));
        if (!runs.back().ok) {
            fprintf(stderr, "startup_bench: run %d did not reach \"Hardware ready.\"\n", run);
            return 1;
        }
    }
    // The median over the runs of a span between two of a run's moments.
    auto median = [&](DWORD StartupRun::*from, DWORD StartupRun::*to) {
        std::vector<DWORD> spans;
        for (const StartupRun& run : runs)
            spans.push_back(run.*to - (from != nullptr ? run.*from : 0));
        return Median(spans);
    };
    const DWORD shown = median(nullptr, &StartupRun::shownMs);
    const DWORD query = median(&StartupRun::searchingMs, &StartupRun::readyMs);
    double layerDiscoveryMs = 0, layerMetadataMs = 0;
    const bool layer = RunDeviceLayer(folder, &layerDiscoveryMs, &layerMetadataMs);

    const StartupRun& last = runs.back();
    const DWORD wineMs = Median(wine);
    const double discoveryLimit = last.discovery.LimitMs(kBaud, kTurnaroundMs) + waits.Ms();
    const double metadataLimit = last.metadata.LimitMs(kBaud, kTurnaroundMs);
    const double queryLimit = discoveryLimit + metadataLimit;
    // DWORD is unsigned long here, as %lu takes it.
    printf("Start-up of t6utility.exe under Wine with the demo layout; the simulator on COM7 at 921600 baud,\n"
           "1 ms turnaround; medians of %lu runs, the status box polled every %lu ms\n",
           DWORD(kRuns), DWORD(kPollMs));
    printf("  Wine's own start (a trivial program, process start to its window shown): %5lu ms\n", wineMs);
    printf("  process start to the main window shown:      %5lu ms, %ld ms beyond Wine's own start (target 300 ms)\n",
           shown, long(shown) - long(wineMs));
    printf("  process start to \"Hardware ready.\", 16 records read: %5lu ms\n",
           median(nullptr, &StartupRun::readyMs));
    printf("  the query, \"Searching for hardware...\" to \"Hardware ready.\": %5lu ms; limit %.0f ms; ratio %.2f"
           " (target 1.10)\n",
           query, queryLimit, query / queryLimit);
    printf("    discovery:     %5lu ms; limit %.0f ms: %u frames, %u bytes on the wire (%.1f ms), and its own waits\n"
           "                   (%u opened ports x %.0f ms, %u from COM4 up x %.0f ms, %u unanswered firmware requests"
           " x %.0f ms,\n                   %u baud changes x %.0f ms: %.0f ms)\n",
           median(&StartupRun::searchingMs, &StartupRun::metadataMs), discoveryLimit, last.discovery.frames,
           last.discovery.bytes, last.discovery.LimitMs(kBaud, kTurnaroundMs), waits.opened, kOpenPauseMs,
           waits.highPorts, kHighPortPauseMs, waits.unanswered, kFirmwareTimeoutMs, waits.baudChanges, kBaudPauseMs,
           waits.Ms());
    printf("    metadata pass: %5lu ms; limit %.0f ms: %u frames, %u bytes, 10 bits a byte, 1 ms turnaround each\n",
           median(&StartupRun::metadataMs, &StartupRun::readyMs), metadataLimit, last.metadata.frames,
           last.metadata.bytes);
    if (layer)
        printf("  the device layer alone, no window: discovery %.0f ms, metadata pass %.0f ms (ratio %.2f)\n",
               layerDiscoveryMs, layerMetadataMs, (layerDiscoveryMs + layerMetadataMs) / queryLimit);
    return 0;
}
