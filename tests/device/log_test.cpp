#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "device/log.h"
#include "tests/support/capture_sink.h"

TEST(Log, DisabledSinkFormatsNothing)
{
    LogPrintf(nullptr, "%s", "ignored");
    LogHexDump(nullptr, "KVSerial: Write", "A", 1);
    // A sink whose destination is gone: appendLine cleared.
    LogSink off = {nullptr, nullptr, nullptr, nullptr, nullptr};
    LogPrintf(&off, "%d", 1);
    LogHexDump(&off, "title", "A", 1);
}

TEST(Log, LongLineIsCutAt4095Characters)
{
    CaptureSink capture;
    std::string longText(5000, 'x');
    LogPrintf(capture.sink(), "%s", longText.c_str());
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_EQ(capture.lines()[0], std::string(4095, 'x'));
}

TEST(Log, HexDumpLinesAndColumns)
{
    CaptureSink capture;
    const unsigned char abc[] = {0x41, 0x42, 0x0D};
    LogHexDump(capture.sink(), "KVSerial: Read", abc, 3);
    ASSERT_EQ(capture.lines().size(), 2u);
    EXPECT_EQ(capture.lines()[0], "KVSerial: Read");
    EXPECT_EQ(capture.lines()[1], "0000: 41 42 0D " + std::string(39, ' ') + "AB.");

    // 17 bytes: a full line that fills the hex column exactly, then a one-byte line
    // followed by 45 spaces; control bytes and bytes from 0x7F show as ".".
    capture.clear();
    unsigned char bytes[17];
    for (int i = 0; i < 16; ++i)
        bytes[i] = static_cast<unsigned char>(0x1E + i);
    bytes[16] = 0x7F;
    LogHexDump(capture.sink(), nullptr, bytes, 17);
    ASSERT_EQ(capture.lines().size(), 2u);
    EXPECT_EQ(capture.lines()[0],
              "0000: 1E 1F 20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D .. !\"#$%&'()*+,-");
    EXPECT_EQ(capture.lines()[1], "0010: 7F " + std::string(45, ' ') + ".");

    // Nothing at all, not even the title, for an empty or missing block.
    capture.clear();
    LogHexDump(capture.sink(), "KVSerial: Write", bytes, 0);
    LogHexDump(capture.sink(), "KVSerial: Write", nullptr, 4);
    EXPECT_TRUE(capture.lines().empty());
}

TEST(Log, OffsetsPastFourDigitsGrow)
{
    CaptureSink capture;
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
    for (const std::string& line : lines) {
        char c = line[0];
        ASSERT_EQ(line.substr(0, 300), std::string(300, c)) << line;
        ASSERT_EQ(line[300], ' ');
    }
}
