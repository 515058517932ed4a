// A simulated device on a pty, served by a thread of the test process; the code under
// test opens slavePath() through the real serial port.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/sim_device.h"
#include "sim/sim_pty.h"

class SimLine {
public:
    explicit SimLine(const SimConfig& config = SimConfig()) : device(config), pty(device)
    {
        opened_ = pty.Open();
        EXPECT_TRUE(opened_) << "no pseudo-terminal";
        if (opened_)
            pty.Start();
    }
    ~SimLine() { pty.Stop(); }

    const char* path() const { return pty.slavePath().c_str(); }

    // The trace as "> 56 56" / "< 01 05 5A" lines.
    std::vector<std::string> Trace()
    {
        std::vector<std::string> lines;
        for (const TraceEntry& e : device.trace().Entries())
            lines.push_back(FormatTraceEntry(e));
        return lines;
    }

    SimDevice device;
    SimPty pty;

private:
    bool opened_ = false;
};

using Lines = std::vector<std::string>;
