// The jobs in the program's own state: g_app's channel on an in-process simulator (open, or
// closed with a short list of ports to search), the layout's files in a fresh folder, the
// window a recorder, and stale device tables (0xAA, "stale") that show what a job changed.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "jobs/job_thread.h"
#include "tests/jobs/job_recorder.h"
#include "tests/support/sim_bench.h"
#include "tests/tune/temp_folder.h"

typedef std::vector<std::string> Calls;

class DeviceJobs : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetJobUi(Recorder().ui());
        g_app.chipId = 12;
        g_app.positionCount = 8;
        g_app.mainWindow = &window_;
        memset(&g_settings.layout, 0, sizeof g_settings.layout);
        Attach();
    }
    void TearDown() override
    {
        g_app.channel.ClosePort();
        g_app.channel.portCandidates = nullptr;
        g_app.channel.portCandidateCount = 0;
        SetJobUi(nullptr);
    }

    // A fresh device (fault counts start again) with the given faults, all 0xFF, and the
    // channel open on it as a found Orrery.
    void Attach(const std::vector<SimFault>& faults = {}, const SimConfig& config = SimConfig())
    {
        g_app.channel.ClosePort();
        line_.reset(new SimLine(config));
        for (const SimFault& fault : faults)
            line_->device.AddFault(fault);
        ASSERT_EQ(g_app.channel.OpenPort(line_->path()), CW_S_OK);
        g_app.channel.capabilities = kOrreryCaps;
        memset(g_app.deviceMetadata, 0xAA, sizeof g_app.deviceMetadata);
        snprintf(g_app.deviceDescription, sizeof g_app.deviceDescription, "stale");
        Recorder().Reset();
        Recorder().currentRow = 0;
        Recorder().yes = 0;
    }

    // The channel closed, to search three ports from the first: the device is on the last,
    // or on none.
    void SearchFrom(bool withDevice)
    {
        g_app.channel.ClosePort();
        g_app.channel.lastPortIndex = 0;
        ports_ = {"/nonexistent/port0", "/nonexistent/port1", withDevice ? line_->path() : "/nonexistent/port2"};
        for (size_t i = 0; i < 3; ++i)
            portNames_[i] = ports_[i].c_str();
        g_app.channel.portCandidates = portNames_;
        g_app.channel.portCandidateCount = 3;
    }

    // Writes a file into the test's folder and makes it position p's file.
    std::string PlaceFile(int p, const std::string& name, const Bytes& bytes)
    {
        const std::string path = folder_.File(name);
        WriteBytes(path, bytes);
        SetPath(p, path);
        return path;
    }
    static void SetPath(int p, const std::string& path)
    {
        snprintf(g_settings.layout.positionPaths[p].path, kPathFieldSize, "%s", path.c_str());
    }

    SimDevice& device() { return line_->device; }
    Bytes Position(int p) { return device().Flash(uint32_t(p) * 0x40000, 0x40000); }
    void SetPosition(int p, const Bytes& bytes) { device().SetFlash(uint32_t(p) * 0x40000, bytes); }

    // The frames that went to the device with these two command letters, as bytes.
    std::vector<Bytes> Frames(char first, char second)
    {
        std::vector<Bytes> frames;
        for (const TraceEntry& e : device().trace().Entries())
            if (e.dir == TraceDir::kToDevice && e.bytes.size() >= 2 && e.bytes[0] == uint8_t(first) &&
                e.bytes[1] == uint8_t(second))
                frames.push_back(e.bytes);
        return frames;
    }
    // The sectors erased, in order.
    std::vector<int> ErasedSectors()
    {
        std::vector<int> sectors;
        for (const Bytes& frame : Frames('8', 'E'))
            sectors.push_back(frame[2]);
        return sectors;
    }

    static uint32_t RunJob(JobKind kind)
    {
        return JobThreadProc(new JobRequest{kind, g_app.mainWindow, kJobMessageBase + kind});
    }

    static Bytes Table(int p) { return BytesOf(g_app.deviceMetadata[p]); }

    // The recorded calls that start with one of the prefixes, in order.
    static Calls CallsStartingWith(const std::vector<std::string>& prefixes)
    {
        Calls kept;
        for (const std::string& call : Recorder().Calls())
            for (const std::string& prefix : prefixes)
                if (call.compare(0, prefix.size(), prefix) == 0) {
                    kept.push_back(call);
                    break;
                }
        return kept;
    }

    TempFolder folder_;
    std::unique_ptr<SimLine> line_;
    std::vector<std::string> ports_;
    const char* portNames_[3] = {};
    int window_ = 0;
};

inline const Bytes kStale(sizeof(TuneMetadata), 0xAA);
inline const Bytes kCleared(sizeof(TuneMetadata), 0);
