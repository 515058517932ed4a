#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "device/serial_port.h"
#include "tests/support/sim_bench.h"

TEST(SerialPort, PathsThatAreNoPortAndAClosedPort)
{
    CaptureSink log;
    SerialPort port;
    port.setLogTarget(log.sink());
    EXPECT_FALSE(port.Open("/nonexistent/ttyX"));
    EXPECT_STREQ(port.portName(), "/nonexistent/ttyX");
    EXPECT_FALSE(port.Open("/dev/null")); // opens, but has no line settings
    EXPECT_FALSE(port.IsOpen());
    uint8_t byte = 0;
    EXPECT_EQ(port.Write("x", 1) + port.Read(&byte, 1), 0u);
    EXPECT_FALSE(port.SetBaudRate(9600) || port.SetReadTimeout(100));
    port.Close(); // still logs
    EXPECT_EQ(log.lines(), (Lines{"KVSerial: Open Port /nonexistent/ttyX Failed", "KVSerial: Port Closed",
                                  "KVSerial: Successfully opened /dev/null", "KVSerial: GetCommState Failed",
                                  "KVSerial: Port Closed", "KVSerial: Port Closed"}));
}

// A pty has no low-latency setting to ask for: the open goes through as before and its log
// says nothing about it.
TEST(SerialPort, OpenForcesTheDeviceLineSettingsAndNewRatesAreLogged)
{
    SimLine line;
    CaptureSink log;
    SerialPort port;
    port.setLogTarget(log.sink());
    ASSERT_TRUE(port.Open(line.path()));
    const std::string path = line.path();
    LineSettings s;
    ASSERT_TRUE(port.QueryLineSettings(&s));
    EXPECT_EQ(s.baudRate, 115200u);
    EXPECT_EQ(s.byteSize, 8);
    EXPECT_EQ(s.parity + s.outxCtsFlow, 0);
    EXPECT_EQ(s.dtrControl + s.rtsControl, 2 * kLineControlEnable);

    // Same rate: nothing touched, nothing logged. A new rate is logged and reaches the line.
    EXPECT_TRUE(port.SetBaudRate(115200));
    EXPECT_TRUE(port.SetBaudRate(921600));
    ASSERT_TRUE(port.QueryLineSettings(&s));
    EXPECT_EQ(s.baudRate, 921600u);
    // Opening an open port closes it first, and no path opens the last one again.
    ASSERT_TRUE(port.Open(nullptr));
    Lines lines = log.lines();
    lines.resize(5);
    EXPECT_EQ(lines, (Lines{"KVSerial: Successfully opened " + path, "KVSerial: " + path + " opened at 115200 baud",
                            "KVSerial: Baud changed to 921600", "KVSerial: Port Closed",
                            "KVSerial: Successfully opened " + path}));
}

TEST(SerialPort, ShortReadsReturnWhatCame)
{
    SimLine line;
    SerialPort port;
    ASSERT_TRUE(port.Open(line.path()));

    // The firmware-version reply is 3 bytes; asking for 7 returns 3 once the line is quiet.
    uint8_t reply[7] = {};
    ASSERT_EQ(port.Write("VV", 2), 2u);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.Read(reply, 7), 3u);
    EXPECT_LT(MsSince(start), 2000);
    // Nothing at all: 0 after the total time-out.
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.Read(reply, 7), 0u);
    EXPECT_GE(MsSince(start), 280);
    EXPECT_LT(MsSince(start), 2000);

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

namespace {

// A bridge's driver as far as the low-latency request sees it; refuses its settings to be
// read when told to, like a driver without them.
struct FakeDriver {
    serial_struct settings;
    bool readable = true;
    std::vector<unsigned long> requests;
};
FakeDriver g_driver;

int FakeDriverControl(int, unsigned long request, void* argument)
{
    g_driver.requests.push_back(request);
    if (!g_driver.readable)
        return -1;
    serial_struct* s = static_cast<serial_struct*>(argument);
    if (request == TIOCGSERIAL)
        *s = g_driver.settings;
    else
        g_driver.settings = *s;
    return 0;
}

} // namespace

TEST(SerialPort, LowLatencyIsAskedOfTheDriverAndNothingElseChanges)
{
    memset(&g_driver.settings, 0, sizeof g_driver.settings);
    g_driver.settings.flags = ASYNC_SPD_HI;
    g_driver.settings.baud_base = 24000000;
    g_driver.settings.custom_divisor = 7;
    EXPECT_TRUE(PortRequestLowLatency(3, FakeDriverControl));
    EXPECT_EQ(g_driver.requests, (std::vector<unsigned long>{TIOCGSERIAL, TIOCSSERIAL}));
    EXPECT_EQ(g_driver.settings.flags, ASYNC_SPD_HI | ASYNC_LOW_LATENCY);
    EXPECT_EQ(g_driver.settings.baud_base + g_driver.settings.custom_divisor, 24000007);

    // A driver without the settings is not sent any.
    g_driver.requests.clear();
    g_driver.readable = false;
    EXPECT_FALSE(PortRequestLowLatency(3, FakeDriverControl));
    EXPECT_EQ(g_driver.requests, (std::vector<unsigned long>{TIOCGSERIAL}));
}
