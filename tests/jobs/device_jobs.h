// The jobs in the program's own state: g_app's channel on an in-process simulator, the
// layout's files in a fresh folder, stale device tables (0xAA, "stale") that show what a job
// changed, and the window a recorder of every call through JobUi, one line each in order
// ("status|text|breaks|clear", "cell|3|", "done|kind|message|result",
// "failed|writing position 2|CW_E_INVALID_RESPONSE"); the progress bar's calls ("range|1024",
// "pos|5", "step|0") are kept apart.
#pragma once
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "jobs/job_thread.h"
#include "tests/support/sim_bench.h"
#include "tests/tune/temp_folder.h"

// Called from the job's worker thread.
class JobRecorder {
public:
    // Forgets the calls; the row the window answers for the next job.
    void Reset(int row = 0)
    {
        std::lock_guard<std::mutex> hold(mutex_);
        calls_.clear();
        bar_.clear();
        done_ = false;
        currentRow = row;
        onStatus = nullptr;
    }
    // The calls so far, one a line.
    std::string calls() { return Copy(calls_); }
    std::string bar() { return Copy(bar_); }
    bool WaitForDone(int milliseconds)
    {
        for (int waited = 0; !done_ && waited < milliseconds; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return done_;
    }

    int currentRow = 0;
    // Called with each status text before it is recorded: a test changes the world here
    // while the job runs.
    std::function<void(const std::string& text)> onStatus;
    const JobUi ui = {
        this,
        [](void* c, const char* text, int breaks, int clear) {
            if (Of(c).onStatus)
                Of(c).onStatus(text);
            Rec(c, {"status", text, N(breaks), N(clear)});
        },
        [](void* c, int row, const char* text) { Rec(c, {"cell", N(row), text}); },
        [](void* c) { return Rec(c, {"row"}), Of(c).currentRow; },
        [](void* c, int index) { Rec(c, {"selector", N(index)}); },
        // Every question is answered No.
        [](void* c, const char* text, const char* title) { return Rec(c, {"ask", text, title}), 0; },
        [](void* c, int id) { Rec(c, {"sound", N(id)}); },
        [](void* c, ProgressBarOp op, uint32_t value) {
            Rec(c, {op == kBarSetRange ? "range" : op == kBarStep ? "step" : "pos", N(value)}, true);
        },
        [](void* c, int row) { Rec(c, {"info", N(row)}); },
        [](void* c, const JobRequest* r, int result) {
            Rec(c, {"done", N(r->kind), N(r->notifyMessage), N(result)});
            Of(c).done_ = true;
        },
        [](void* c, const char* what, DeviceResult result) { Rec(c, {"failed", what, DeviceResultName(result)}); },
    };

private:
    static JobRecorder& Of(void* context) { return *static_cast<JobRecorder*>(context); }
    static std::string N(int64_t number) { return std::to_string(number); }
    // One call as a line: its name and arguments joined by '|'.
    static void Rec(void* context, std::initializer_list<std::string> parts, bool bar = false)
    {
        std::lock_guard<std::mutex> hold(Of(context).mutex_);
        std::string& calls = bar ? Of(context).bar_ : Of(context).calls_;
        for (const std::string& part : parts)
            calls += (&part != parts.begin() ? "|" : calls.empty() ? "" : "\n") + part;
    }
    std::string Copy(const std::string& calls)
    {
        std::lock_guard<std::mutex> hold(mutex_);
        return calls;
    }

    std::mutex mutex_;
    std::string calls_, bar_;
    std::atomic<bool> done_{false};
};

// One for the whole program: a worker may still be returning from its last call when a
// test ends.
inline JobRecorder& Recorder()
{
    static JobRecorder recorder;
    return recorder;
}

class DeviceJobs : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetJobUi(&Recorder().ui);
        g_app.chipId = 12;
        g_app.positionCount = 8;
        g_app.mainWindow = &window_;
        Attach();
    }
    void TearDown() override
    {
        g_app.channel.ClosePort();
        g_app.channel.portCandidates = nullptr;
        g_app.channel.portCandidateCount = 0;
        SetJobUi(nullptr);
    }

    // A fresh device, all 0xFF, whose frame number faultyFrame (counted from 1 since it
    // started; 0: none) gets the fault, the channel open on it as a found Orrery and its
    // port the only one a search tries, and an empty layout.
    void Attach(uint32_t faultyFrame = 0, SimFaultKind fault = SimFaultKind::kQuestion,
                const SimConfig& config = SimConfig())
    {
        g_app.channel.ClosePort();
        line_.reset(new SimLine(config));
        if (faultyFrame != 0)
            line_->device.AddFault({'8', faultyFrame, fault, 0});
        ASSERT_EQ(g_app.channel.OpenPort(line_->path()), CW_S_OK);
        g_app.channel.capabilities = kOrreryCaps;
        port_ = line_->path();
        g_app.channel.portCandidates = &port_;
        g_app.channel.portCandidateCount = 1;
        g_app.channel.lastPortIndex = 0;
        memset(g_app.deviceMetadata, 0xAA, sizeof g_app.deviceMetadata);
        snprintf(g_app.deviceDescription, sizeof g_app.deviceDescription, "stale");
        memset(&g_settings.layout, 0, sizeof g_settings.layout);
        Recorder().Reset();
    }

    // Writes a file into the test's folder and makes it position p's file.
    std::string PlaceFile(int p, const std::string& name, const Bytes& bytes)
    {
        const std::string path = folder_.File(name);
        WriteBytes(path, bytes);
        snprintf(g_settings.layout.positionPaths[p].path, kPathFieldSize, "%s", path.c_str());
        return path;
    }

    SimDevice& device() { return line_->device; }
    void SetPosition(int p, const Bytes& bytes) { device().SetFlash(uint32_t(p) * kTuneImageSize, bytes); }

    // How many frames were sent that start so ("> 38 57" for block writes).
    size_t Sent(const std::string& start)
    {
        size_t count = 0;
        for (const std::string& line : line_->Trace())
            count += line.compare(0, start.size(), start) == 0;
        return count;
    }
    // The sectors erased, in order, as their frames name them ("08 09 0A 0B ").
    std::string Erased()
    {
        std::string sectors;
        for (const std::string& line : line_->Trace())
            if (line.compare(0, 8, "> 38 45 ") == 0)
                sectors += line.substr(8, 3);
        return sectors;
    }

    static uint32_t RunJob(JobKind kind)
    {
        return JobThreadProc(new JobRequest{kind, g_app.mainWindow, kJobMessageBase + kind});
    }
    static Bytes Table(int p) { return BytesOf(g_app.deviceMetadata[p]); }

    TempFolder folder_;
    std::unique_ptr<SimLine> line_;
    const char* port_ = nullptr;
    int window_ = 0;
};

inline const Bytes kStale(sizeof(TuneMetadata), 0xAA);
inline const Bytes kCleared(sizeof(TuneMetadata), 0);
