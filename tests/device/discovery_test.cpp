#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/sim_bench.h"

namespace {

// Port n of the scan is candidate n: nothing there, except the simulator where placed.
struct Candidates {
    explicit Candidates(DeviceChannel& channel, const char* simulatorPath = nullptr, uint32_t at = 0)
    {
        for (uint32_t i = 0; i < 256; ++i)
            paths.push_back(simulatorPath != nullptr && i == at ? simulatorPath : "/nonexistent/port" + std::to_string(i));
        for (const std::string& p : paths)
            pointers.push_back(p.c_str());
        channel.portCandidates = pointers.data();
        channel.portCandidateCount = uint32_t(pointers.size());
    }
    std::vector<std::string> paths;
    std::vector<const char*> pointers;
};

// The port numbers the scan tried, from the log, as runs: "5-255 1-4".
std::string PortsTried(CaptureSink& log)
{
    const std::string prefix = "KVSerial: Open Port /nonexistent/port";
    std::string runs;
    int last = -2;
    for (const std::string& line : log.lines()) {
        if (line.compare(0, prefix.size(), prefix) != 0)
            continue;
        const int port = std::stoi(line.substr(prefix.size()));
        if (port != last + 1)
            runs += (runs.empty() ? "" : "-" + std::to_string(last) + " ") + std::to_string(port);
        last = port;
    }
    log.clear();
    return runs.empty() ? runs : runs + "-" + std::to_string(last);
}

} // namespace

TEST(Discovery, ScanOrderFromTheRememberedPort)
{
    CaptureSink log;
    DeviceChannel channel;
    channel.SetLogTarget(log.sink());
    Candidates nothing(channel);
    channel.lastPortIndex = 5;
    uint8_t version[3] = {9, 9, 9};
    char name[100] = "stale";
    EXPECT_EQ(channel.FindHardware(version, 0, name, sizeof name), 0u);
    EXPECT_EQ(log.lines().back(), "KVChipwise: COM Port closed.");
    EXPECT_EQ(PortsTried(log), "5-255 1-4");
    EXPECT_STREQ(name, "");
    EXPECT_EQ(version[0], 9); // left as it was
    EXPECT_FALSE(channel.IsPortOpen());

    // A fresh channel, or options bit 0, starts at port 0 and stops at 254.
    channel.lastPortIndex = 0;
    channel.FindHardware(nullptr, 0, nullptr, 0);
    EXPECT_EQ(PortsTried(log), "0-254");
    channel.lastPortIndex = 9;
    channel.FindHardware(nullptr, 1, nullptr, 0);
    EXPECT_EQ(PortsTried(log), "0-254");
}

TEST(Discovery, FindsTheOrreryAndFollowsItAcrossSpeeds)
{
    SimConfig config;
    config.usbBaudIndex = 0; // left at 921600 by an earlier session
    SimLine line(config);
    CaptureSink log;
    DeviceChannel channel;
    channel.SetLogTarget(log.sink());
    Candidates ports(channel, line.path(), 3);

    uint8_t version[3] = {};
    char name[100] = "";
    EXPECT_EQ(channel.FindHardware(version, 0, name, sizeof name), 0x09040001u | kCapsInterfaceU);
    EXPECT_STREQ(name, "Orrery Programmer v1.5.Z");
    EXPECT_EQ(version[2], 'Z');
    EXPECT_EQ(channel.lastPortIndex, 3u);
    EXPECT_EQ(channel.lastUsbBaudIndex, 0u);
    EXPECT_TRUE(channel.IsPortOpen());
    // 115200 first, lost; the Orrery's banks are not read back: nothing after the hardware block.
    Lines trace = line.Trace();
    ASSERT_GE(trace.size(), 5u);
    EXPECT_EQ(trace.front(), "! 56 56");
    EXPECT_EQ(Lines(trace.end() - 4, trace.end()),
              (Lines{"> 56 56", "< 01 05 5A", "> 48 52 07 00 01 A2", "< 5A 01 06 55 12 34 56 52"}));

    // The remembered speed comes first next time.
    line.device.trace().Clear();
    ASSERT_NE(channel.FindHardware(nullptr, 0, nullptr, 0), 0u);
    EXPECT_EQ(line.Trace().front(), "> 56 56");
    // Closing returns the device to 115200; the remembered port is still searched there.
    channel.ClosePort();
    EXPECT_EQ(line.device.DeviceBaud(), 115200u);
    log.clear();
    ASSERT_NE(channel.FindHardware(nullptr, 0, nullptr, 0), 0u);
    EXPECT_EQ(PortsTried(log), "");

    // Options bit 0 finds it too, but remembers nothing.
    channel.lastPortIndex = 0;
    EXPECT_NE(channel.FindHardware(nullptr, 1, nullptr, 0), 0u);
    EXPECT_EQ(channel.lastPortIndex, 0u);
}

TEST(Discovery, HardwareBlockAndBanksDecideTheModel)
{
    // Firmware of a Heron II, hardware block of an Orrery: an Orrery.
    SimConfig config = ModelConfig('P');
    config.hardwareInfo[0] = 'Z';
    config.hardwareInfo[3] = 'B';
    SimBench b(config);
    uint8_t version[3] = {1, 5, 'P'};
    EXPECT_EQ(b.channel.IdentifyDevice(version), 0x09040001u | kCapsInterfaceB);

    // An unknown interface is logged; a Heron's two banks are read.
    SimConfig heronConfig = ModelConfig('O', 10, 12);
    heronConfig.hardwareInfo[3] = '#';
    heronConfig.emulationBank = 5;
    heronConfig.rwBank = 2;
    SimBench heron(heronConfig);
    uint8_t heronVersion[3] = {10, 12, 'O'};
    EXPECT_EQ(heron.channel.IdentifyDevice(heronVersion), uint32_t(kHeronCaps));
    EXPECT_EQ(heron.channel.emulationBank, 5);
    EXPECT_EQ(heron.channel.rwBank, 2);
    const Lines lines = heron.log.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "VardenWare: Could not get communication interface type."),
              lines.end());

    // A Palomar's mode is read as well.
    SimBench palomar(ModelConfig('Q'));
    uint8_t palomarVersion[3] = {1, 0, 'Q'};
    EXPECT_EQ(palomar.channel.IdentifyDevice(palomarVersion), uint32_t(kPalomarCaps) | kCapsInterfaceU);
    EXPECT_EQ(palomar.channel.palomarMode, 3u);

    // An id outside the table is not a device: the port is closed again.
    SimLine unknown(ModelConfig('K'));
    DeviceChannel channel;
    Candidates ports(channel, unknown.path(), 1);
    char name[100];
    EXPECT_EQ(channel.FindHardware(nullptr, 0, name, sizeof name), 0u);
    EXPECT_FALSE(channel.IsPortOpen());
}
