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

#include "sim/demo/demo_material.h"
#include "device/chip.h"
#include "resources/resource.h"
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

const char kSearching[] = "Searching for hardware...";
const char kGettingMetadata[] = "Getting device tune metadata...";

// The device already runs at 921600, so discovery must find it at that speed.
std::vector<std::string> SimOptions(const std::string& simFolder, const std::string& folder)
{
    return PacedSimOptions(921600, 0, simFolder + "trace.txt", folder + kDemoDeviceFile);
}

// Discovery's frames, and the metadata pass's: the chip reads ("8R") and their replies.
void WireOfTrace(const std::string& path, Wire* discovery, Wire* metadata)
{
    Wire* phase = discovery;
    for (const std::string& line : Lines(path)) {
        if (StartsWith(line, "> 38 52"))
            phase = metadata;
        phase->Add(line);
    }
}

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
    for (const std::string& line : Lines(path)) {
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

DWORD WineStartMs(const std::string& folder)
{
    ProgramRun probe;
    if (!probe.Start(folder, "", "T6_START_PROBE"))
        return 0;
    HWND window = nullptr;
    WaitUntil(
        [&] { return (window = FindProcessWindow(probe.processId(), "t6 start probe")) != nullptr; },
        kWaitMs, 1);
    const DWORD shown = probe.MsSinceStart();
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD code = 0;
    probe.WaitForExit(kWaitMs, &code);
    return window != nullptr ? shown : 0;
}

struct StartupRun {
    bool ok = false;
    DWORD shownMs = 0, searchingMs = 0, metadataMs = 0, readyMs = 0;
    Wire discovery, metadata;
};

StartupRun RunProgram(const std::string& folder, int run, const std::string& log)
{
    StartupRun result;
    const std::string simFolder = folder + "sim-" + std::to_string(run) + "\\";
    SimSession sim;
    if (!sim.Start(simFolder, 7, SimOptions(simFolder, folder))) {
        fprintf(stderr, "startup_bench: the simulator did not start: %s\n", sim.Output().c_str());
        return result;
    }
    ProgramRun program;
    if (!program.Start(folder, log.empty() ? "" : "/log \"" + log + "\""))
        return result;
    HWND main = nullptr;
    WaitUntil([&] { return (main = program.WaitForMainWindow(0)) != nullptr; }, kWaitMs, 1);
    result.shownMs = program.MsSinceStart();
    std::string status;
    WaitUntil(
        [&] {
            status = ControlText(main, IDC_STATUS_BOX);
            const DWORD now = program.MsSinceStart();
            if (result.searchingMs == 0 && status.find(kSearching) != std::string::npos)
                result.searchingMs = now;
            if (result.metadataMs == 0 && status.find(kGettingMetadata) != std::string::npos)
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
    WireOfTrace(simFolder + "trace.txt", &result.discovery, &result.metadata);
    return result;
}

// The same discovery and the 16 reads through the device layer in this process.
bool RunDeviceLayer(const std::string& folder, double* discoveryMs, double* metadataMs)
{
    const std::string simFolder = folder + "sim-device-layer\\";
    SimSession sim;
    if (!sim.Start(simFolder, 7, SimOptions(simFolder, folder)))
        return false;
    DeviceChannel channel;
    LARGE_INTEGER start, found, read;
    QueryPerformanceCounter(&start);
    const DeviceCaps caps = channel.FindHardware(nullptr, 0, nullptr, 0);
    QueryPerformanceCounter(&found);
    bool ok = caps != 0;
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
    const std::string folder = FreshTestFolder("startup-bench");
    const std::string problem = WriteDemoMaterial(folder, folder);
    if (!problem.empty()) {
        fprintf(stderr, "startup_bench: %s\n", problem.c_str());
        return 1;
    }

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

    std::vector<DWORD> shown, ready, query, discovery, metadata;
    StartupRun last;
    for (int run = 1; run <= int(kRuns); ++run) {
        last = RunProgram(folder, run, "");
        if (!last.ok) {
            fprintf(stderr, "startup_bench: run %d did not reach \"Hardware ready.\"\n", run);
            return 1;
        }
        shown.push_back(last.shownMs);
        ready.push_back(last.readyMs);
        query.push_back(last.readyMs - last.searchingMs);
        discovery.push_back(last.metadataMs - last.searchingMs);
        metadata.push_back(last.readyMs - last.metadataMs);
    }
    double layerDiscoveryMs = 0, layerMetadataMs = 0;
    const bool layer = RunDeviceLayer(folder, &layerDiscoveryMs, &layerMetadataMs);

    const DWORD wineMs = Median(wine);
    const double discoveryLimit = last.discovery.LimitMs(kBaud, kTurnaroundMs) + waits.Ms();
    const double metadataLimit = last.metadata.LimitMs(kBaud, kTurnaroundMs);
    const double queryLimit = discoveryLimit + metadataLimit;
    printf("Start-up of t6utility.exe under Wine with the demo layout; the simulator on COM7 at 921600 baud,\n"
           "1 ms turnaround; medians of %lu runs, the status box polled every %lu ms\n",
           static_cast<unsigned long>(kRuns), static_cast<unsigned long>(kPollMs));
    printf("  Wine's own start (a trivial program, process start to its window shown): %5lu ms\n",
           static_cast<unsigned long>(wineMs));
    printf("  process start to the main window shown:      %5lu ms, %ld ms beyond Wine's own start (target 300 ms)\n",
           static_cast<unsigned long>(Median(shown)), long(Median(shown)) - long(wineMs));
    printf("  process start to \"Hardware ready.\", 16 records read: %5lu ms\n",
           static_cast<unsigned long>(Median(ready)));
    printf("  the query, \"Searching for hardware...\" to \"Hardware ready.\": %5lu ms; limit %.0f ms; ratio %.2f"
           " (target 1.10)\n",
           static_cast<unsigned long>(Median(query)), queryLimit, Median(query) / queryLimit);
    printf("    discovery:     %5lu ms; limit %.0f ms: %u frames, %u bytes on the wire (%.1f ms), and its own waits\n"
           "                   (%u opened ports x %.0f ms, %u from COM4 up x %.0f ms, %u unanswered firmware requests"
           " x %.0f ms,\n                   %u baud changes x %.0f ms: %.0f ms)\n",
           static_cast<unsigned long>(Median(discovery)), discoveryLimit, last.discovery.frames, last.discovery.bytes,
           last.discovery.LimitMs(kBaud, kTurnaroundMs), waits.opened, kOpenPauseMs, waits.highPorts,
           kHighPortPauseMs, waits.unanswered,
           kFirmwareTimeoutMs, waits.baudChanges, kBaudPauseMs, waits.Ms());
    printf("    metadata pass: %5lu ms; limit %.0f ms: %u frames, %u bytes, 10 bits a byte, 1 ms turnaround each\n",
           static_cast<unsigned long>(Median(metadata)), metadataLimit, last.metadata.frames, last.metadata.bytes);
    if (layer)
        printf("  the device layer alone, no window: discovery %.0f ms, metadata pass %.0f ms (ratio %.2f)\n",
               layerDiscoveryMs, layerMetadataMs, (layerDiscoveryMs + layerMetadataMs) / queryLimit);
    return 0;
}
