// A channel opened on a simulated device, with the log captured: the bench most device
// tests stand on.
#pragma once
#include <gtest/gtest.h>

#include <chrono>

#include "device/channel.h"
#include "tests/support/capture_sink.h"
#include "tests/support/channel_probe.h"
#include "tests/support/sim_line.h"

struct SimBench {
    explicit SimBench(const SimConfig& config = SimConfig(), DeviceCaps caps = 0) : line(config)
    {
        channel.SetLogTarget(log.sink());
        EXPECT_EQ(channel.OpenPort(line.path()), CW_S_OK);
        channel.capabilities = caps;
        log.clear();
    }

    uint32_t ReadTimeoutNow() { return ::ReadTimeoutNow(channel); }

    SimLine line;
    CaptureSink log;
    DeviceChannel channel;
};

inline SimConfig ModelConfig(char id, uint8_t major = 1, uint8_t minor = 5)
{
    SimConfig config;
    config.modelId = id;
    config.firmwareMajor = major;
    config.firmwareMinor = minor;
    config.hardwareInfo[0] = uint8_t(id);
    return config;
}

inline int64_t MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// Capabilities of the models the tests use.
enum : DeviceCaps {
    kOrreryCaps = 0x09040001,
    kHeronCaps = 0x4A000401,   // firmware 10.12: banks and bulk
    kHeronIICaps = 0x6A000801,
    kGryphCaps = 0xCA004001,
    kPalomarCaps = 0x2A010001,
    kSwiftletCaps = 0x62001001,
};
