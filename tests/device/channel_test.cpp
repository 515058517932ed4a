#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "device/channel.h"
#include "tests/support/channel_probe.h"
#include "tests/support/sim_bench.h"

namespace {

using Bench = SimBench;

} // namespace

TEST(Channel, OpenPortSetsRequestTimeoutsAndRefusesBadPaths)
{
    SimLine line;
    DeviceChannel channel;
    EXPECT_EQ(channel.OpenPort("/nonexistent/tty"), CW_E_PORT_NOT_INITIALIZED);
    EXPECT_FALSE(channel.IsPortOpen());
    ASSERT_EQ(channel.OpenPort(line.path()), CW_S_OK);
    PortTimeouts t = {};
    ASSERT_TRUE(channel.port.QueryTimeouts(&t));
    EXPECT_EQ(t.readInterval, 200u);
    EXPECT_EQ(t.readTotalMultiplier, 1u);
    EXPECT_EQ(t.readTotalConstant, 300u);
    EXPECT_EQ(t.writeTotalMultiplier, 0u);
    EXPECT_EQ(t.writeTotalConstant, 300u);

    // Requests on a closed port are refused before they take the lock.
    channel.ClosePort();
    uint8_t version[3], block[7];
    EXPECT_EQ(channel.GetFirmwareVersion(version), CW_E_PORT_NOT_INITIALIZED);
    EXPECT_EQ(channel.ReadEEPROM(1, 7, block), CW_E_PORT_NOT_INITIALIZED);
    EXPECT_TRUE(channel.AcquireRequestLock());
    channel.ReleaseRequestLock();
}

TEST(Channel, FirmwareVersionFramesAndLog)
{
    Bench b;
    uint8_t version[3] = {};
    ASSERT_EQ(b.channel.GetFirmwareVersion(version), CW_S_OK);
    EXPECT_EQ(version[0], 1);
    EXPECT_EQ(version[1], 5);
    EXPECT_EQ(version[2], 'Z');
    EXPECT_EQ(b.line.Trace(), (Lines{"> 56 56", "< 01 05 5A"}));
    EXPECT_EQ(b.log.lines(), (Lines{"KVChipwise: Firmware Version string requested", "KVSerial: Write",
                                    "0000: 56 56 " + std::string(42, ' ') + "VV", "KVSerial: Read",
                                    "0000: 01 05 5A " + std::string(39, ' ') + "..Z"}));
    EXPECT_EQ(ReadTimeoutNow(b.channel), 300u);
}

TEST(Channel, FirmwareRepliesThatAreRefused)
{
    struct Case {
        uint8_t major, minor;
        char id;
    } cases[] = {{'V', 'V', 'Z'}, {0, 0, 'Z'}, {1, 5, '#'}, {1, 5, '\0'}};
    for (const Case& c : cases) {
        SimConfig config;
        config.firmwareMajor = c.major;
        config.firmwareMinor = c.minor;
        config.modelId = c.id;
        Bench b(config);
        uint8_t version[3] = {7, 7, 7};
        EXPECT_EQ(b.channel.GetFirmwareVersion(version), CW_E_INVALID_RESPONSE) << int(c.major);
        EXPECT_EQ(version[0], 7); // untouched on failure
        EXPECT_EQ(ReadTimeoutNow(b.channel), 300u);
    }
}

TEST(Channel, EEPROMFramesOfBothProtocols)
{
    Bench b;
    uint8_t block[7] = {};
    const uint8_t expected[7] = {'Z', 0x01, 0x06, 'U', 0x12, 0x34, 0x56};

    b.channel.capabilities = kOrreryCaps;
    ASSERT_EQ(b.channel.ReadEEPROM(1, 7, block), CW_S_OK);
    EXPECT_EQ(0, memcmp(block, expected, 7));
    EXPECT_EQ(b.log.lines().front(), "KVChipwise: ReadEEPROM requested, 7 bytes from address 1");

    memset(block, 0, sizeof block);
    b.channel.capabilities = 0;
    ASSERT_EQ(b.channel.ReadEEPROM(0x1234 & 0x00FF, 7, block), CW_S_OK);
    EXPECT_EQ(b.line.Trace(), (Lines{"> 48 52 07 00 01 A2", "< 5A 01 06 55 12 34 56 52",
                                     "> 45 07 00 34 00 00 00 00 00 00 00 80", "< FF FF FF FF FF FF FF F9"}));
    EXPECT_EQ(ReadTimeoutNow(b.channel), 300u);
}

TEST(Channel, EveryFaultGivesItsResultAndLeavesTheChannelClean)
{
    struct Case {
        SimFaultKind kind;
        uint32_t param;
        DeviceResult expected;
    } cases[] = {
        {SimFaultKind::kSilence, 0, CW_E_COMM_READ_FAILURE},
        {SimFaultKind::kShortReply, 1, CW_E_COMM_READ_FAILURE}, // checksum missing
        {SimFaultKind::kQuestion, 0, CW_E_UNKNOWN_COMMAND},
        {SimFaultKind::kBadChecksum, 0, CW_E_EXTERNAL_CS_INVALID},
        {SimFaultKind::kStaleByte, 0x55, CW_S_OK},
        {SimFaultKind::kDelay, 1500, CW_E_COMM_READ_FAILURE},
    };
    for (const Case& c : cases) {
        Bench b;
        b.channel.capabilities = kOrreryCaps;
        b.line.device.AddFault({'H', 1, c.kind, c.param});
        uint8_t block[7];
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(b.channel.ReadEEPROM(1, 7, block), c.expected) << int(c.kind);
        EXPECT_LT(MsSince(start), 1500) << int(c.kind);
        EXPECT_EQ(ReadTimeoutNow(b.channel), 300u);
        if (c.kind == SimFaultKind::kDelay)
            std::this_thread::sleep_for(std::chrono::milliseconds(c.param)); // let the late reply land
        // The lock was released and stale bytes are purged: the next request works.
        uint8_t version[3];
        EXPECT_EQ(b.channel.GetFirmwareVersion(version), CW_S_OK) << int(c.kind);
        EXPECT_EQ(b.channel.ReadEEPROM(1, 7, block), CW_S_OK) << int(c.kind);
    }

    Bench b;
    b.channel.capabilities = kOrreryCaps;
    b.line.device.AddFault({'H', 1, SimFaultKind::kBadChecksum, 0});
    uint8_t block[7];
    b.channel.ReadEEPROM(1, 7, block);
    EXPECT_EQ(b.log.lines().back(),
              "KVChipwise: ReadEEPROM: Invalid external data checksum\r\n\tCS of recvd data: 52\r\n\tCS from device: 53");
}

TEST(Channel, PortThatVanishesMidRequest)
{
    Bench b;
    b.channel.capabilities = kOrreryCaps;
    b.line.device.AddFault({'H', 1, SimFaultKind::kDisconnect, 3});
    uint8_t block[7], version[3];
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(b.channel.ReadEEPROM(1, 7, block), CW_E_COMM_READ_FAILURE);
    EXPECT_EQ(b.channel.GetFirmwareVersion(version), CW_E_COMM_WRITE_FAILURE);
    EXPECT_LT(MsSince(start), 1500);
    EXPECT_EQ(ReadTimeoutNow(b.channel), 300u);
}

TEST(Channel, BusyWhenTheHolderKeepsTheLockAndTheHolderStillCompletes)
{
    Bench b;
    // The holder: a long exchange with its own 3 s time-out; the device answers late.
    b.line.device.AddFault({'V', 1, SimFaultKind::kDelay, 1500});
    uint8_t holderReply[3] = {};
    uint32_t holderGot = 0, holderTimeout = 0;
    std::thread holder([&] {
        ASSERT_TRUE(b.channel.AcquireRequestLock());
        b.channel.port.SetReadTimeout(3000);
        b.channel.port.Purge();
        b.channel.port.Write("VV", 2);
        holderGot = b.channel.port.Read(holderReply, 3);
        holderTimeout = ReadTimeoutNow(b.channel);
        b.channel.port.SetReadTimeout(300);
        b.channel.ReleaseRequestLock();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto start = std::chrono::steady_clock::now();
    uint8_t version[3];
    EXPECT_EQ(b.channel.GetFirmwareVersion(version), CW_E_PORT_BUSY);
    int64_t waited = MsSince(start);
    holder.join();
    EXPECT_GE(waited, 1150);
    EXPECT_EQ(holderGot, 3u);
    EXPECT_EQ(holderReply[2], 'Z');
    EXPECT_EQ(holderTimeout, 3000u); // the refused request left the holder's time-out alone

    // A request that finds the lock taken but freed within the wait goes through.
    std::thread brief([&] {
        b.channel.AcquireRequestLock();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        b.channel.ReleaseRequestLock();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(b.channel.GetFirmwareVersion(version), CW_S_OK);
    brief.join();
}

TEST(Channel, UsbBaudFollowsTheDeviceAndIsRestoredOnClose)
{
    Bench b;
    b.channel.capabilities = kOrreryCaps;
    ASSERT_EQ(b.channel.SetUSBBaud(0), CW_S_OK);
    EXPECT_EQ(b.channel.usbBaudIndex, 0u);
    EXPECT_EQ(BaudNow(b.channel), 921600u);
    EXPECT_EQ(b.line.device.DeviceBaud(), 921600u);
    uint8_t version[3];
    EXPECT_EQ(b.channel.GetFirmwareVersion(version), CW_S_OK);

    // Refused indexes name the current speed in the FAILED line and change nothing.
    b.log.clear();
    EXPECT_EQ(b.channel.SetUSBBaud(2), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(b.channel.SetUSBBaud(8), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(b.log.lines(), (Lines{"KVChipwise: SetUSBBaud to 921600, Force = TRUE FAILED with CW_E_INVALID_FUNC_PARAM",
                                    "KVChipwise: SetUSBBaud to 921600, Force = TRUE FAILED with CW_E_INVALID_FUNC_PARAM"}));

    // Closing returns the device to 115200.
    b.log.clear();
    b.channel.ClosePort();
    EXPECT_FALSE(b.channel.IsPortOpen());
    EXPECT_EQ(b.channel.capabilities, 0u);
    EXPECT_EQ(b.line.device.DeviceBaud(), 115200u);
    Lines trace = b.line.Trace();
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace[trace.size() - 2], "> 53 07 5A");
    EXPECT_EQ(trace.back(), "< 4F");
    EXPECT_EQ(b.log.lines().back(), "KVChipwise: COM Port closed.");
}

TEST(Channel, UsbBaudAnswerOtherThanOIsAFailure)
{
    Bench b;
    b.channel.capabilities = kOrreryCaps;
    b.line.device.AddFault({'S', 1, SimFaultKind::kWrongAck, 'X'});
    EXPECT_EQ(b.channel.SetUSBBaud(0), CW_E_INVALID_RESPONSE);
    EXPECT_EQ(b.channel.usbBaudIndex, 7u);
    EXPECT_EQ(BaudNow(b.channel), 115200u);
    EXPECT_EQ(b.log.lines().back(), "KVChipwise: SetUSBBaud to 921600, Force = TRUE FAILED with CW_E_INVALID_RESPONSE");

    // A model without the extended protocol cannot change its speed.
    b.channel.capabilities = 0x02000042;
    EXPECT_EQ(b.channel.SetUSBBaud(0), CW_E_REQUEST_NOT_SUPPORTED);
}
