#include <gtest/gtest.h>

#include <vector>

#include "tests/support/sim_bench.h"

namespace {

std::vector<uint8_t> Pattern(size_t n, uint8_t seed)
{
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = uint8_t(seed + i * 13 + (i >> 8));
    return bytes;
}

// Frame heads only: the first `bytes` bytes of each line that went to the device.
Lines Heads(const Lines& trace, size_t bytes)
{
    Lines heads;
    for (const std::string& line : trace)
        if (line[0] == '>')
            heads.push_back(line.substr(0, 1 + 3 * bytes));
    return heads;
}

} // namespace

TEST(BlockTransfer, OneByteGoesSlowAnAlignedRangeInOneBulkFrame)
{
    SimBench b(ModelConfig('P'), kHeronIICaps);
    const uint8_t one = 0x5A;
    ASSERT_EQ(b.channel.WriteBlock(&one, 1, 0x1234, 0, nullptr), CW_S_OK);
    EXPECT_EQ(b.log.lines().front(), "KVChipwise: Slow writing 1 bytes");
    EXPECT_EQ(b.line.Trace(), (Lines{"> 57 01 12 34 5A F8", "< 4F"}));

    b.line.device.trace().Clear();
    std::vector<uint8_t> data = Pattern(0x1000, 1);
    ASSERT_EQ(b.channel.WriteBlock(data.data(), 0x1000, 0x10000, 0, nullptr), CW_S_OK);
    Lines trace = b.line.Trace();
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[0].size(), 1 + 3 * 4102u);
    EXPECT_EQ(trace[0].substr(0, 16), "> 5A 57 10 01 00");
    EXPECT_EQ(b.line.device.Emulation(0x20, 0x10000, 0x1000), data);
}

TEST(BlockTransfer, SwiftletWritesBothSpacesAndRefusesOddRanges)
{
    SimBench b(ModelConfig('R'), kSwiftletCaps);
    std::vector<uint8_t> data = Pattern(0x200, 2);
    ASSERT_EQ(b.channel.WriteBlock(data.data(), 0x200, 0x400, 0, nullptr), CW_S_OK);
    EXPECT_EQ(Heads(b.line.Trace(), 5), (Lines{"> 5A 57 02 20 04", "> 5A 57 02 10 04"}));
    EXPECT_EQ(b.line.device.Emulation(0x10, 0x400, 0x200), data);
    EXPECT_EQ(b.line.device.Emulation(0x20, 0x400, 0x200), data);

    b.line.device.trace().Clear();
    uint8_t buffer[4];
    EXPECT_EQ(b.channel.ReadBlock(buffer, 0x400, 3, 0), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(b.log.lines().back(), "KVChipwise: SwiftLet I/O request address/size alignment error");
    EXPECT_TRUE(b.line.Trace().empty());
    // Even ranges are read in space 0x20 unless 0x10 is named.
    ASSERT_EQ(b.channel.ReadBlock(buffer, 0x400, 4, kTransferSpace10), CW_S_OK);
    EXPECT_EQ(Heads(b.line.Trace(), 5), (Lines{"> 52 04 10 04 00"}));
}

TEST(BlockTransfer, PalomarFallsBackToSlowFramesAfterAPause)
{
    SimBench b(ModelConfig('Q'), kPalomarCaps);
    std::vector<uint8_t> data = Pattern(0x200, 3);
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(b.channel.WriteBlock(data.data(), 0x200, 0x10000, kTransferSpace10, nullptr), CW_S_OK);
    EXPECT_GE(MsSince(start), 800);
    EXPECT_EQ(Heads(b.line.Trace(), 5), (Lines{"> 57 00 11 00 00", "> 57 00 11 01 00"}));
    EXPECT_EQ(b.line.device.Emulation(0x10, 0x10000, 0x200), data);
}

TEST(BlockTransfer, LargeBinPagingSwitchesTheReadWriteBank)
{
    SimConfig config = ModelConfig('O', 10, 12);
    config.emulationBank = 8;
    SimBench b(config, kHeronCaps);
    b.channel.emulationBank = 8;
    ASSERT_TRUE(b.channel.LargeBinPaging());
    std::vector<uint8_t> data = Pattern(0x200, 4);
    // Slow frames (no bulk), crossing the 64 KB boundary at 0x20000.
    ASSERT_EQ(b.channel.WriteBlock(data.data(), 0x200, 0x1FF40, kTransferNoBulk, nullptr), CW_S_OK);
    EXPECT_EQ(Heads(b.line.Trace(), 4), (Lines{"> 42 52 01 95", "> 57 C0 FF 40", "> 42 52 02 96",
                                               "> 57 00 00 00", "> 57 40 01 00"}));
    EXPECT_EQ(b.channel.rwBank, 2);

    b.line.device.trace().Clear();
    b.channel.rwBank = 0; // stale: the read must switch to page 1 first
    std::vector<uint8_t> back(0x200);
    ASSERT_EQ(b.channel.ReadBlock(back.data(), 0x1FF40, 0x200, 0), CW_S_OK);
    EXPECT_EQ(back, data);
    EXPECT_EQ(Heads(b.line.Trace(), 4), (Lines{"> 42 52 01 95", "> 52 C0 FF 40", "> 42 52 02 96",
                                               "> 52 00 00 00", "> 52 40 01 00"}));

    // A page switch the device refuses ends the transfer.
    b.line.device.AddFault({'B', 0, SimFaultKind::kQuestion, 0});
    b.channel.rwBank = 0;
    EXPECT_EQ(b.channel.ReadBlock(back.data(), 0x1FF40, 0x200, 0), CW_E_LARGE_BIN_BANK_FAILED);
    EXPECT_EQ(b.ReadTimeoutNow(), 300u);
}

TEST(BlockTransfer, RepliesThatEndATransfer)
{
    SimBench b(ModelConfig('O', 10, 12), kHeronCaps);
    std::vector<uint8_t> data = Pattern(0x300, 5), back(0x300);
    ASSERT_EQ(b.channel.WriteBlock(data.data(), 0x300, 0, kTransferNoBulk, nullptr), CW_S_OK);

    // A missing checksum byte: a time-out, and no log line for it.
    b.line.device.AddFault({'R', 2, SimFaultKind::kShortReply, 1});
    b.log.clear();
    EXPECT_EQ(b.channel.ReadBlock(back.data(), 0, 0x300, 0), CW_E_COMM_READ_TIMEOUT);
    for (const std::string& line : b.log.lines())
        EXPECT_TRUE(line.find("timed-out") == std::string::npos && line.find("Error") == std::string::npos) << line;
    b.line.device.ClearFaults();
    b.line.device.AddFault({'R', 0, SimFaultKind::kBadChecksum, 0});
    EXPECT_EQ(b.channel.ReadBlock(back.data(), 0, 0x100, 0), CW_E_EXTERNAL_CS_INVALID);
    EXPECT_EQ(b.log.lines().back().substr(0, 50), "KVChipwise Read Error - invalid packet checksum. E");
    b.line.device.ClearFaults();

    // "X" frames are acknowledged by the 16-bit sum of their data, low byte first.
    ASSERT_EQ(b.channel.WriteBlock(data.data(), 0x100, 0x400, kTransferAltWrite | kTransferNoBulk, nullptr), CW_S_OK);
    b.line.device.AddFault({'X', 0, SimFaultKind::kBadChecksum, 0});
    EXPECT_EQ(b.channel.WriteBlock(data.data(), 0x100, 0x400, kTransferAltWrite | kTransferNoBulk, nullptr),
              CW_E_ALT_WRITE_BAD_CHECKSUM);
    b.line.device.AddFault({'W', 0, SimFaultKind::kWrongAck, '?'});
    EXPECT_EQ(b.channel.WriteBlock(data.data(), 0x10, 0x400, 0, nullptr), CW_E_INVALID_RESPONSE);
    EXPECT_EQ(b.ReadTimeoutNow(), 300u);
    b.line.device.ClearFaults();
    ASSERT_EQ(b.channel.ReadBlock(back.data(), 0, 0x300, 0), CW_S_OK);
    EXPECT_EQ(back, data);
}

TEST(BlockTransfer, CancelStopsBeforeTheNextFrameAndIsCleared)
{
    SimBench b(ModelConfig('O', 10, 12), kHeronCaps);
    static DeviceChannel* channel;
    static std::vector<ProgressInfo> reports;
    channel = &b.channel;
    reports.clear();
    auto cancelAfterFirstFrame = [](ProgressInfo* info) {
        reports.push_back(*info);
        if (info->flags == kProgressStep && info->current == 1)
            channel->Cancel();
        return 0;
    };
    std::vector<uint8_t> data = Pattern(0x400, 6);
    EXPECT_EQ(b.channel.WriteBlock(data.data(), 0x400, 0, kTransferNoBulk, cancelAfterFirstFrame),
              CW_E_OPERATION_CANCELED);
    EXPECT_EQ(Heads(b.line.Trace(), 1), (Lines{"> 57"}));
    EXPECT_EQ(b.channel.cancelRequested.load(), 0u);
    EXPECT_EQ(b.log.lines().back(), "KVChipwise: WriteBlock - Operation Canceled");
    // Begin with 4 frames announced, one step, and one end.
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].total, 4u);
    EXPECT_EQ(reports[2].flags, kProgressEnd);

    // The bulk path stops the same way: 0x3000 bytes are three frames of 4 KB.
    b.line.device.trace().Clear();
    std::vector<uint8_t> big = Pattern(0x3000, 7);
    EXPECT_EQ(b.channel.WriteBlock(big.data(), 0x3000, 0, kTransferAltWrite, cancelAfterFirstFrame),
              CW_E_OPERATION_CANCELED);
    EXPECT_EQ(Heads(b.line.Trace(), 2), (Lines{"> 5A 57"}));
    EXPECT_EQ(b.channel.cancelRequested.load(), 0u);
}
