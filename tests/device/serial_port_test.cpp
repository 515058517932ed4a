#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

#include "device/serial_port.h"
#include "tests/support/sim_bench.h"

TEST(SerialPort, PathsThatAreNoPort)
{
    CaptureSink log;
    SerialPort port;
    port.setLogTarget(log.sink());
    EXPECT_FALSE(port.Open("/nonexistent/ttyX"));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_STREQ(port.portName(), "/nonexistent/ttyX");
    EXPECT_EQ(log.lines(), (Lines{"KVSerial: Open Port /nonexistent/ttyX Failed", "KVSerial: Port Closed"}));

    // Opens, but has no line settings.
    log.clear();
    EXPECT_FALSE(port.Open("/dev/null"));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(log.lines(), (Lines{"KVSerial: Successfully opened /dev/null", "KVSerial: GetCommState Failed",
                                  "KVSerial: Port Closed"}));

    // A closed port does nothing and reports so; Close still logs.
    log.clear();
    uint8_t byte = 0;
    EXPECT_EQ(port.Write("x", 1), 0u);
    EXPECT_EQ(port.Read(&byte, 1), 0u);
    EXPECT_FALSE(port.SetBaudRate(9600));
    EXPECT_FALSE(port.SetReadTimeout(100));
    port.Close();
    EXPECT_EQ(log.lines(), (Lines{"KVSerial: Port Closed"}));
}

TEST(SerialPort, OpenForcesTheDeviceLineSettings)
{
    SimLine line;
    CaptureSink log;
    SerialPort port;
    port.setLogTarget(log.sink());
    ASSERT_TRUE(port.Open(line.path()));
    std::string path = line.path();
    EXPECT_EQ(log.lines(), (Lines{"KVSerial: Successfully opened " + path, "KVSerial: " + path + " opened at 115200 baud"}));

    LineSettings s;
    ASSERT_TRUE(port.QueryLineSettings(&s));
    EXPECT_EQ(s.baudRate, 115200u);
    EXPECT_EQ(s.byteSize, 8);
    EXPECT_EQ(s.parity, kNoParity);
    EXPECT_EQ(s.outxCtsFlow, 0);
    EXPECT_EQ(s.dtrControl, kLineControlEnable);
    EXPECT_EQ(s.rtsControl, kLineControlEnable);
    PortTimeouts t;
    ASSERT_TRUE(port.QueryTimeouts(&t));
    EXPECT_EQ(t.readInterval, 40u);
    EXPECT_EQ(t.readTotalMultiplier, 0u);
    EXPECT_EQ(t.readTotalConstant, 300u);
    EXPECT_EQ(t.writeTotalMultiplier, 0u);
    EXPECT_EQ(t.writeTotalConstant, 300u);

    // Same rate: nothing touched, nothing logged. A new rate is logged and reaches the line.
    log.clear();
    EXPECT_TRUE(port.SetBaudRate(115200));
    EXPECT_TRUE(log.lines().empty());
    EXPECT_TRUE(port.SetBaudRate(921600));
    EXPECT_EQ(log.lines(), (Lines{"KVSerial: Baud changed to 921600"}));
    ASSERT_TRUE(port.QueryLineSettings(&s));
    EXPECT_EQ(s.baudRate, 921600u);

    // Opening an open port closes it first.
    log.clear();
    ASSERT_TRUE(port.Open(nullptr));
    EXPECT_EQ(log.lines().front(), "KVSerial: Port Closed");
    EXPECT_EQ(log.lines()[1], "KVSerial: Successfully opened " + path);
}

TEST(SerialPort, ShortReadsReturnWhatCame)
{
    SimLine line;
    CaptureSink log;
    SerialPort port;
    ASSERT_TRUE(port.Open(line.path()));
    port.setLogTarget(log.sink());

    // The firmware-version reply is 3 bytes; asking for 7 returns 3 once the line is quiet.
    uint8_t reply[7] = {};
    ASSERT_EQ(port.Write("VV", 2), 2u);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.Read(reply, 7), 3u);
    EXPECT_LT(MsSince(start), 2000);
    EXPECT_EQ(log.lines(), (Lines{"KVSerial: Write", "0000: 56 56 " + std::string(42, ' ') + "VV",
                                  "KVSerial: Read", "0000: 01 05 5A " + std::string(39, ' ') + "..Z"}));

    // Nothing at all: 0 after the total time-out, and no dump.
    log.clear();
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.Read(reply, 7), 0u);
    int64_t waited = MsSince(start);
    EXPECT_GE(waited, 280);
    EXPECT_LT(waited, 2000);
    EXPECT_TRUE(log.lines().empty());

    // A device that vanishes part-way through its reply: what came before it went is kept.
    int device = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(device, 0);
    ASSERT_EQ(grantpt(device) | unlockpt(device), 0);
    ASSERT_TRUE(port.Open(ptsname(device)));
    ASSERT_TRUE(port.SetTimeouts(0, 0, 3000, 0, 300));
    std::thread vanish([device] {
        EXPECT_EQ(write(device, "\x01\x05", 2), 2);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        close(device);
    });
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.Read(reply, 7), 2u);
    EXPECT_LT(MsSince(start), 2000);
    vanish.join();
    EXPECT_EQ(port.Read(reply, 7), 0u);
}
