// The whole chain under Wine: the Win32 serial backend opens \\.\COMn, which the test
// prefix links to the standalone simulator's pty.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "device/channel.h"
#include "tests/support/capture_sink.h"
#include "tests/support/channel_probe.h"
#include "tests/support/trace_file.h"

TEST(WineLink, TheChannelFrameByFrame)
{
    const char* port = getenv("T6_SIM_PORT");
    ASSERT_NE(port, nullptr) << "run through scripts/with-sim.sh";

    CaptureSink log;
    DeviceChannel channel;
    channel.SetLogTarget(log.sink());
    ASSERT_EQ(channel.OpenPort(port), CW_S_OK);
    EXPECT_EQ(log.lines()[0], std::string("KVSerial: Successfully opened ") + port);
    LineSettings line = {};
    ASSERT_TRUE(channel.port.QueryLineSettings(&line));
    EXPECT_EQ(line.baudRate, 115200u);
    EXPECT_EQ(line.byteSize, 8);
    EXPECT_EQ(line.parity, kNoParity);
    EXPECT_EQ(line.dtrControl + line.rtsControl, 2 * kLineControlEnable);
    PortTimeouts t = {};
    ASSERT_TRUE(channel.port.QueryTimeouts(&t));
    EXPECT_EQ(t.readInterval, 200u);
    EXPECT_EQ(t.readTotalMultiplier, 1u);
    EXPECT_EQ(t.readTotalConstant, 300u);

    // Both EEPROM frames, a faster line, and back to 115200 on close.
    uint8_t version[3] = {}, block[7] = {};
    ASSERT_EQ(channel.GetFirmwareVersion(version), CW_S_OK);
    channel.capabilities = kCapsExtendedProtocol;
    ASSERT_EQ(channel.ReadEEPROM(1, 7, block), CW_S_OK);
    channel.capabilities = 0;
    ASSERT_EQ(channel.ReadEEPROM(1, 7, block), CW_S_OK);
    channel.capabilities = kCapsExtendedProtocol;
    ASSERT_EQ(channel.SetUSBBaud(0), CW_S_OK);
    ASSERT_EQ(channel.GetFirmwareVersion(version), CW_S_OK);

    // The simulator keeps quiet on the third version request: a read failure within the
    // request's time-out, and the default time-out back afterwards.
    DWORD start = GetTickCount();
    EXPECT_EQ(channel.GetFirmwareVersion(version), CW_E_COMM_READ_FAILURE);
    EXPECT_LT(GetTickCount() - start, 1500u);
    EXPECT_EQ(ReadTimeoutNow(channel), 300u);
    channel.ClosePort();

    EXPECT_EQ(ReadSimTraceFile(), (std::vector<std::string>{
                                      "> 56 56",
                                      "< 01 05 5A",
                                      "> 48 52 07 00 01 A2",
                                      "< 5A 01 06 55 12 34 56 52",
                                      "> 45 07 00 01 00 00 00 00 00 00 00 4D",
                                      "< 5A 01 06 55 12 34 56 52",
                                      "> 53 00 53",
                                      "< 4F",
                                      "> 56 56",
                                      "< 01 05 5A",
                                      "> 56 56",
                                      "> 53 07 5A",
                                      "< 4F",
                                  }));
}
