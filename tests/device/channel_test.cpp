#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "device/chip.h"
#include "tests/support/sim_bench.h"

using Fault = SimFaultKind;

TEST(Channel, AFailedOpenLogsTheCloseAndAClosedPortRefusesRequests)
{
    CaptureSink log;
    DeviceChannel channel;
    channel.SetLogTarget(log.sink());
    EXPECT_EQ(channel.OpenPort("/nonexistent/tty"), CW_E_PORT_NOT_INITIALIZED);
    // The port's own two lines, then the channel's.
    EXPECT_EQ(log.lines(), (Lines{"KVSerial: Open Port /nonexistent/tty Failed", "KVSerial: Port Closed",
                                  "KVSerial: Port Closed"}));
    uint8_t version[3], block[7];
    EXPECT_EQ(channel.GetFirmwareVersion(version), CW_E_PORT_NOT_INITIALIZED);
    EXPECT_EQ(channel.ReadEEPROM(1, 7, block), CW_E_PORT_NOT_INITIALIZED);
    EXPECT_TRUE(channel.AcquireRequestLock()); // refused before they took the lock
}

TEST(Channel, RequestsAreLoggedAndOddFirmwareRepliesRefused)
{
    SimBench b(SimConfig(), kOrreryCaps);
    uint8_t version[3] = {}, block[7];
    ASSERT_EQ(b.channel.GetFirmwareVersion(version), CW_S_OK);
    ASSERT_EQ(b.channel.ReadEEPROM(1, 7, block), CW_S_OK);
    Lines log = b.log.lines();
    log.resize(6);
    EXPECT_EQ(log, (Lines{"KVChipwise: Firmware Version string requested", "KVSerial: Write",
                          "0000: 56 56 " + std::string(42, ' ') + "VV", "KVSerial: Read",
                          "0000: 01 05 5A " + std::string(39, ' ') + "..Z",
                          "KVChipwise: ReadEEPROM requested, 7 bytes from address 1"}));

    // A looped-back request, version 0.0, and an id that is no letter or digit.
    const char replies[][3] = {{'V', 'V', 'Z'}, {0, 0, 'Z'}, {1, 5, '#'}};
    for (const char* reply : replies) {
        SimConfig config = ModelConfig(reply[2], uint8_t(reply[0]), uint8_t(reply[1]));
        SimBench odd(config);
        uint8_t kept[3] = {7, 7, 7};
        EXPECT_EQ(odd.channel.GetFirmwareVersion(kept), CW_E_INVALID_RESPONSE) << int(reply[0]);
        EXPECT_EQ(kept[0], 7); // untouched on failure
    }
}

TEST(Channel, EveryFaultGivesItsResultAndLeavesTheChannelClean)
{
    struct Case {
        Fault kind;
        uint32_t param;
        DeviceResult expected, next;
    } const cases[] = {
        {Fault::kSilence, 0, CW_E_COMM_READ_FAILURE, CW_S_OK},
        {Fault::kShortReply, 1, CW_E_COMM_READ_FAILURE, CW_S_OK}, // checksum missing
        {Fault::kQuestion, 0, CW_E_UNKNOWN_COMMAND, CW_S_OK},
        {Fault::kBadChecksum, 0, CW_E_EXTERNAL_CS_INVALID, CW_S_OK},
        {Fault::kStaleByte, 0x55, CW_S_OK, CW_S_OK},
        {Fault::kDelay, 1500, CW_E_COMM_READ_FAILURE, CW_S_OK},
        {Fault::kDisconnect, 3, CW_E_COMM_READ_FAILURE, CW_E_COMM_WRITE_FAILURE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.kind));
        SimBench b(SimConfig(), kOrreryCaps);
        b.line.device.AddFault({'H', 1, c.kind, c.param});
        uint8_t block[7], version[3];
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(b.channel.ReadEEPROM(1, 7, block), c.expected);
        EXPECT_LT(MsSince(start), 1500);
        EXPECT_EQ(b.ReadTimeoutNow(), 300u);
        if (c.kind == Fault::kBadChecksum) {
            EXPECT_EQ(b.log.lines().back(), "KVChipwise: ReadEEPROM: Invalid external data checksum\r\n"
                                            "\tCS of recvd data: 52\r\n\tCS from device: 53");
        }
        if (c.kind == Fault::kDelay)
            std::this_thread::sleep_for(std::chrono::milliseconds(c.param)); // let the late reply land
        // The lock was released and stale bytes are purged: the next requests work.
        EXPECT_EQ(b.channel.GetFirmwareVersion(version), c.next);
        EXPECT_EQ(b.channel.ReadEEPROM(1, 7, block), c.next);
    }
}

// A request waits a while for the lock. When the holder keeps it, the request is refused
// without a frame and without touching the holder's time-out.
TEST(Channel, BusyWhenTheHolderKeepsTheLock)
{
    SimBench b(SimConfig(), kOrreryCaps);
    uint32_t holderTimeout = 0;
    std::thread holder([&] {
        ASSERT_TRUE(b.channel.AcquireRequestLock());
        b.channel.port.SetReadTimeout(3000);
        std::this_thread::sleep_for(std::chrono::milliseconds(4000));
        holderTimeout = b.ReadTimeoutNow();
        b.channel.port.SetReadTimeout(300);
        b.channel.ReleaseRequestLock();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto start = std::chrono::steady_clock::now();
    uint8_t version[3];
    std::vector<uint8_t> data(256);
    EXPECT_EQ(b.channel.GetFirmwareVersion(version), CW_E_PORT_BUSY);
    EXPECT_EQ(ReadChip(b.channel, data.data(), 12, 0, 256, nullptr), CW_E_PORT_BUSY);
    EXPECT_EQ(EraseSector(b.channel, 12, 0), CW_E_PORT_BUSY);
    EXPECT_GE(MsSince(start), 3 * 1150);
    holder.join();
    EXPECT_EQ(holderTimeout, 3000u);
    EXPECT_TRUE(b.line.Trace().empty());

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
    SimBench wrong(SimConfig(), kOrreryCaps);
    wrong.line.device.AddFault({'S', 1, Fault::kWrongAck, 'X'});
    EXPECT_EQ(wrong.channel.SetUSBBaud(0), CW_E_INVALID_RESPONSE); // any answer but "O"
    EXPECT_EQ(wrong.channel.usbBaudIndex, 7u);
    EXPECT_EQ(BaudNow(wrong.channel), 115200u);

    SimBench b(SimConfig(), kOrreryCaps);
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
    EXPECT_EQ(b.log.lines(),
              Lines(2, "KVChipwise: SetUSBBaud to 921600, Force = TRUE FAILED with CW_E_INVALID_FUNC_PARAM"));
    // A model without the extended protocol cannot change its speed.
    b.channel.capabilities = 0x02000042;
    EXPECT_EQ(b.channel.SetUSBBaud(7), CW_E_REQUEST_NOT_SUPPORTED);

    b.channel.capabilities = kOrreryCaps;
    b.channel.ClosePort();
    EXPECT_EQ(b.channel.capabilities, 0u);
    EXPECT_EQ(b.line.device.DeviceBaud(), 115200u);
}
