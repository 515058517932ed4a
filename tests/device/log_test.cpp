#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "device/log.h"
#include "tests/support/capture_sink.h"

TEST(Log, LongLinesAreCutAndSwitchedOffSinksFormatNothing)
{
    LogPrintf(nullptr, "%s", "ignored");
    LogHexDump(nullptr, "KVSerial: Write", "A", 1);
    LogSink off = {nullptr, nullptr, nullptr, nullptr, nullptr}; // its destination is gone
    LogPrintf(&off, "%d", 1);
    LogHexDump(&off, "title", "A", 1);

    CaptureSink capture;
    LogPrintf(capture.sink(), "%s", std::string(5000, 'x').c_str());
    EXPECT_EQ(capture.lines(), std::vector<std::string>{std::string(4095, 'x')});
}

TEST(Log, HexDumpLinesAndColumns)
{
    // 17 bytes: a full line that fills the hex column exactly, then a one-byte line
    // followed by 45 spaces; control bytes and bytes from 0x7F show as ".".
    CaptureSink capture;
    unsigned char bytes[17];
    for (int i = 0; i < 16; ++i)
        bytes[i] = static_cast<unsigned char>(0x1E + i);
    bytes[16] = 0x7F;
    LogHexDump(capture.sink(), "KVSerial: Read", bytes, 17);
    // Nothing at all, not even the title, for an empty or missing block.
    LogHexDump(capture.sink(), "KVSerial: Write", bytes, 0);
    LogHexDump(capture.sink(), "KVSerial: Write", nullptr, 4);
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                   "KVSerial: Read",
                                   "0000: 1E 1F 20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D .. !\"#$%&'()*+,-",
                                   "0010: 7F " + std::string(45, ' ') + ".",
                               }));

    // Offsets past four digits grow.
    capture.clear();
    std::string block(0x10010, 'z');
    LogHexDump(capture.sink(), nullptr, block.data(), uint32_t(block.size()));
    ASSERT_EQ(capture.lines().size(), 0x1001u);
    EXPECT_EQ(capture.lines().back().substr(0, 7), "10000: ");
}

TEST(Log, LinesFromTwoThreadsStayWhole)
{
    CaptureSink capture;
    auto writer = [&](char c) {
        std::string text(300, c);
        for (int i = 0; i < 2000; ++i)
            LogPrintf(capture.sink(), "%s %d", text.c_str(), i);
    };
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();
    auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 4000u);
    for (const std::string& line : lines)
        ASSERT_EQ(line.substr(0, 301), std::string(300, line[0]) + " ") << line;
}
