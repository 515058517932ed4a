// Write and verify of a 224 KB tune file three ways against one simulator: through the
// window (t6utility.exe as its own process, driven from outside: the row selected, the
// command posted, the completion awaited), t6tool.exe under the same Wine prefix, and the
// native t6tool; at 921600 and 115200 baud with a 1 ms turnaround. The window is also timed
// from its first status line to its last, as both t6tool are, in runs of its own. Each is
// set against the wire limit of the frames it sent, taken from the simulator's trace.
// Figures only; no pass or fail.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "controls/register_controls.h"
#include "controls/text_progress.h"
#include "resources/resource.h"
#include "sim/demo/demo_material.h"
#include "tests/bench/bench_support.h"
#include "tests/e2e/e2e_setup.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sim_session.h"
#include "tests/e2e/window_driver.h"

namespace {

// Polling goes through the wineserver, which the job needs too: often enough for a few
// milliseconds' precision, seldom enough not to slow what it measures.
enum : DWORD { kStartMs = 30000, kJobMs = 120000, kPollMs = 5, kSettleMs = 500 };
enum { kCom = 7, kRow = 2 };  // grid row 2 is position 1, which holds the 224 KB demo file
const double kTurnaroundMs = 1.0;

struct LineCase {
    unsigned baud, usbBaudIndex;  // the device starts at the line's speed
    int runs;
};
// Five runs where one job takes under 4 s, for medians that a stray slow run does not move;
// a 224 KB write takes about 21 s at 115200: one run there.
const LineCase kLineCases[] = {{921600, 0, 5}, {115200, 7, 1}};

struct JobCase {
    const char* name;  // also t6tool's command
    int command;
    // The job's commands start with these bytes in the trace.
    const char* frameStarts[2];
    const char* firstLine;
    const char* lastLine;
};
const JobCase kJobs[] = {
    {"write", IDM_WRITE_SELECTION, {"> 38 45", "> 38 57"}, "Uploading to position 1...", "Upload succeeded."},
    {"verify", IDM_VERIFY_SELECTION, {"> 38 56", nullptr}, "Verifying position 1...", "Position 1 verify succeeded."},
};
enum { kJobCount = 2 };

enum Column { kWindow, kWindowLines, kToolExe, kToolNative, kColumnCount };

struct Timing {
    std::vector<double> ms;
    Wire wire;  // of the last run
    bool ok = true;
};
typedef Timing Table[kJobCount][kColumnCount];

// The job's commands after trace line `from`, with the replies that follow each.
Wire JobWire(const JobCase& job, const std::string& trace, size_t from)
{
    const std::vector<std::string> lines = ReadTraceFile(trace.c_str());
    Wire wire;
    bool inJob = false;
    for (size_t i = from; i < lines.size(); ++i) {
        if (StartsWith(lines[i], ">"))
            inJob = StartsWith(lines[i], job.frameStarts[0]) ||
                    (job.frameStarts[1] != nullptr && StartsWith(lines[i], job.frameStarts[1]));
        if (inJob)
            wire.Add(lines[i]);
    }
    return wire;
}

// Runs both jobs `runs` times in the column, each timed by time(run, job, &ms), and keeps
// the wire of each job's last run.
template <class TimeJob>
void RunColumn(Table& table, Column column, const std::string& trace, int runs, TimeJob time)
{
    for (int run = 0; run < runs; ++run) {
        for (int j = 0; j < kJobCount; ++j) {
            Timing& timing = table[j][column];
            const size_t mark = ReadTraceFile(trace.c_str()).size();
            double ms = 0;
            timing.ok = time(run, kJobs[j], &ms) && timing.ok;
            timing.ms.push_back(ms);
            timing.wire = JobWire(kJobs[j], trace, mark);
        }
    }
}

// The length of the status box's text, read through the window's thread; -1 when it did
// not answer.
LRESULT StatusLength(HWND main)
{
    DWORD_PTR length = 0;
    if (SendMessageTimeoutA(GetDlgItem(main, IDC_STATUS_BOX), WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kStartMs,
                            &length) == 0)
        return -1;
    return LRESULT(length);
}

// Posts the job's command and reads every few milliseconds until the commands, disabled by
// it, are enabled again. Their state is read without the window's thread, so waiting costs
// the job nothing; that gives the time from the command to the completion. With readAgainMs
// given, the job is timed from its first status line to its last instead, as the first and
// last change of the status box's length. That reading takes the window's thread, so it
// stops at the first line and starts again readAgainMs later, before the job's end; false
// when the last line was in by then, or came in unseen.
bool TimeWindowJob(HWND main, const JobCase& job, const double* readAgainMs, double* ms)
{
    auto ready = [&] { return ControlEnabled(main, IDC_WRITE_ALL); };
    LRESULT length = readAgainMs != nullptr ? StatusLength(main) : -1;
    LARGE_INTEGER start, firstLine = {}, lastLine = {}, now;
    QueryPerformanceCounter(&start);
    PostCommand(main, job.command);
    bool reading = readAgainMs != nullptr, started = false;
    for (const DWORD tick = GetTickCount(); GetTickCount() - tick < kJobMs; Sleep(kPollMs)) {
        QueryPerformanceCounter(&now);
        if (!reading && firstLine.QuadPart != 0 && Ms(firstLine, now) >= *readAgainMs) {
            if (EndsWith(ControlText(main, IDC_STATUS_BOX), job.lastLine))
                return false;
            reading = true;
            length = StatusLength(main);
        }
        if (reading) {
            const LRESULT nowLength = StatusLength(main);
            QueryPerformanceCounter(&now);
            if (nowLength != length) {
                reading = firstLine.QuadPart != 0;
                firstLine = firstLine.QuadPart != 0 ? firstLine : now;
                lastLine = now;
                length = nowLength;
            }
        }
        const bool enabled = ready();
        started = started || !enabled;
        if (started && enabled) {
            QueryPerformanceCounter(&now);
            *ms = readAgainMs != nullptr ? Ms(firstLine, lastLine) : Ms(start, now);
            return (readAgainMs == nullptr || lastLine.QuadPart > firstLine.QuadPart) &&
                   EndsWith(ControlText(main, IDC_STATUS_BOX), job.lastLine);
        }
    }
    return false;
}

// Each job timed from its posted command to its completion, then, in runs of their own,
// from its first status line to its last; the status box is read again from a little before
// the end that the first runs' median gives (300 ms and 2 % before it). Also gives the size
// of the window's progress bar.
bool RunWindow(const std::string& folder, const std::string& trace, int runs, Table& table, RECT* barSize)
{
    ProgramRun program;
    if (!program.Start(folder))
        return false;
    HWND main = program.WaitForMainWindow(kStartMs);
    if (main == nullptr || WaitForControlText(main, IDC_STATUS_BOX, kHardwareReady, kStartMs) != kHardwareReady ||
        !WaitUntil([&] { return ControlEnabled(main, IDC_WRITE_ALL); }, kStartMs))
        return false;
    GetClientRect(GetDlgItem(main, IDC_PROGRESS), barSize);
    ClickGridCell(GetDlgItem(main, IDC_POSITION_GRID), kRow, 1);
    // The selection fills the info boxes; that is not part of the first job.
    Sleep(kSettleMs);
    RunColumn(table, kWindow, trace, runs, [&](int, const JobCase& job, double* ms) {
        return TimeWindowJob(main, job, nullptr, ms);
    });
    RunColumn(table, kWindowLines, trace, runs, [&](int, const JobCase& job, double* ms) {
        const double completion = Median(table[&job - kJobs][kWindow].ms);
        const double readAgainMs = completion * 0.98 - 300;
        return TimeWindowJob(main, job, &readAgainMs, ms);
    });
    PostCommand(main, IDCANCEL);
    DWORD code = 0;
    return program.WaitForExit(kStartMs, &code);
}

// Milliseconds from the arrival of the job's first status line to its last, as
// scripts/timed-lines.sh stamped them; negative when either is missing.
double StampedJobMs(const JobCase& job, const std::string& output)
{
    long long first = -1, last = -1;
    for (const std::string& line : ReadTraceFile(output.c_str())) {
        const size_t space = line.find(' ');
        if (space == std::string::npos)
            continue;
        const std::string text = line.substr(space + 1);
        const long long stamp = atoll(line.substr(0, space).c_str());
        if (text == job.firstLine && first < 0)
            first = stamp;
        if (text == job.lastLine)
            last = stamp;
    }
    return first < 0 || last < 0 ? -1 : double(last - first);
}

// Each job run by t6tool through scripts/timed-lines.sh.
void RunTool(Column column, const std::string& folder, const std::string& trace, int runs, Table& table)
{
    const bool native = column == kToolNative;
    const std::string file = folder + kDemoTuneFolder + "\\" + kDemoTunes[1].fileName;
    const std::string com = "com" + std::to_string(kCom);
    const std::string port = native ? EnvironmentText("WINEPREFIX") + "/dosdevices/" + com : com;
    RunColumn(table, column, trace, runs, [&](int run, const JobCase& job, double* ms) {
        const std::string runFolder =
            folder + "tool-" + std::to_string(column) + "-" + std::to_string(run) + "-" + job.name + "\\";
        std::vector<std::string> words = {LinuxPathOf(runFolder)};
        if (!native)
            words.push_back("wine");
        words.insert(words.end(), {EnvironmentText(native ? "T6_TOOL_NATIVE" : "T6_TOOL"), job.name, "1",
                                   native ? LinuxPathOf(file) : file, "--port", port, "--yes"});
        CreateDirectoryA(runFolder.c_str(), nullptr);
        DeleteFileA((runFolder + "done").c_str());
        if (!StartScript("timed-lines.sh", words) ||
            !WaitUntil([&] { return FileExists(runFolder + "done"); }, kJobMs, 50))
            return false;
        *ms = StampedJobMs(job, runFolder + "output");
        return *ms >= 0;
    });
}

void PrintTable(const LineCase& line, const Table& table)
{
    const std::string runs = line.runs == 1 ? "one run" : "medians of " + std::to_string(line.runs) + " runs";
    printf("\n%u baud, 1 ms turnaround, %-18s", line.baud, (runs + ":").c_str());
    printf("   %-21s   %-21s   %-21s   %s\n", "window", "window, lines", "t6tool.exe", "native t6tool");
    for (int j = 0; j < kJobCount; ++j) {
        const Wire& wire = table[j][kWindow].wire;
        char label[64];
        snprintf(label, sizeof label, "%s, %u frames, limit %.3f s", kJobs[j].name, wire.frames,
                 wire.LimitMs(line.baud, kTurnaroundMs) / 1000);
        printf("  %-42s", label);
        for (const Timing& timing : table[j]) {
            // Each against the limit of its own frames.
            const double ms = Median(timing.ms), limit = timing.wire.LimitMs(line.baud, kTurnaroundMs);
            if (timing.ok && ms > 0)
                printf("   %7.3f s, ratio %.3f", ms / 1000, limit / ms);
            else
                printf("   %-21s", "failed");
        }
        const double window = Median(table[j][kWindow].ms), lines = Median(table[j][kWindowLines].ms),
                     exe = Median(table[j][kToolExe].ms);
        printf("\n    window / t6tool.exe %.3f, first to last status line %.3f (target: 1.03 at most; each ratio "
               "0.95 at least)\n",
               exe > 0 ? window / exe : 0.0, exe > 0 ? lines / exe : 0.0);
    }
}

// Milliseconds a message to the bar takes, from another thread or from the bar's own.
double MsPerMessage(HWND bar, UINT message, bool otherThread)
{
    const unsigned kCount = 1024;
    SendMessageA(bar, PBM_SETRANGE32, 0, kCount);
    auto send = [&] {
        for (unsigned i = 1; i <= kCount; ++i)
            SendMessageA(bar, message, i, 0);
    };
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!otherThread) {
        send();
    } else {
        // The bar's thread keeps handling messages while the sender runs, as the window's does.
        std::atomic<bool> done(false);
        std::thread sender([&] { send(); done = true; });
        while (!done) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        }
        sender.join();
    }
    QueryPerformanceCounter(&end);
    return Ms(start, end) / kCount;
}

// What one progress report costs under Wine, on a bar the size of the window's: the job's
// report from another thread (with the bar's repaint), a message there that the bar only
// answers, and the repaint alone on the bar's own thread.
void PrintReportCost(const RECT& size)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    double reportMs = 0, plainMs = 0, paintMs = 0;
    if (RegisterControlClasses(instance)) {
        HWND frame = CreateWindowExA(0, "STATIC", "job_bench", WS_POPUP | WS_VISIBLE | WS_BORDER, 50, 50,
                                     size.right + 20, size.bottom + 20, nullptr, nullptr, instance, nullptr);
        HWND bar = CreateWindowExA(0, kTextProgressClass, "", WS_CHILD | WS_VISIBLE, 10, 10, size.right, size.bottom,
                                   frame, nullptr, instance, nullptr);
        UpdateWindow(frame);
        plainMs = MsPerMessage(bar, PBM_GETPOS, true);
        reportMs = MsPerMessage(bar, PBM_SETPOS, true);
        paintMs = MsPerMessage(bar, PBM_SETPOS, false);
        DestroyWindow(frame);
    }
    printf("\nOne progress report on a bar of the window's size (%ld x %ld pixels), from another thread:\n"
           "  %.3f ms with the bar's repaint; %.3f ms for a message without one; the repaint alone %.3f ms\n",
           size.right, size.bottom, reportMs, plainMs, paintMs);
}

} // namespace

// An argument names the one line speed to run.
int main(int argc, char** argv)
{
    const unsigned onlyBaud = argc > 1 ? unsigned(atol(argv[1])) : 0;
    const std::string folder = DemoFolder("job-bench");
    if (folder.empty())
        return 1;
    printf("Write Selection and Verify Selection of a 224 KB tune file (position 1) through the window,\n"
           "t6tool.exe under the same Wine prefix and the native t6tool, against the simulator on COM%d;\n"
           "the window from the command to its completion and, in runs of their own (its status box read\n"
           "every %lu ms at the start and the end), from its first status line to its last; t6tool from its\n"
           "first status line to its last\n",
           kCom, static_cast<unsigned long>(kPollMs));
    bool ok = true;
    for (const LineCase& line : kLineCases) {
        if (onlyBaud != 0 && line.baud != onlyBaud)
            continue;
        SimSession sim;
        const std::string trace =
            StartPacedSim(sim, folder, "sim-" + std::to_string(line.baud), line.baud, line.usbBaudIndex);
        if (trace.empty())
            return 1;
        Table table;
        RECT barSize = {0, 0, 0, 0};
        if (!RunWindow(folder, trace, line.runs, table, &barSize))
            fprintf(stderr, "job_bench: the window at %u baud did not get through\n", line.baud);
        if (line.baud == 921600)
            PrintReportCost(barSize);
        RunTool(kToolExe, folder, trace, line.runs, table);
        RunTool(kToolNative, folder, trace, line.runs, table);
        sim.Stop();
        PrintTable(line, table);
        for (const auto& row : table)
            for (const Timing& timing : row)
                ok = ok && timing.ok;
    }
    return ok ? 0 : 1;
}
