#include <gtest/gtest.h>

#include <vector>

#include "tests/support/sim_bench.h"
#include "tests/tune/temp_folder.h"

namespace {

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

// Aligned ranges go in bulk frames, on the Swiftlet into both spaces; the Palomar falls
// back to slow frames after a pause.
TEST(BlockTransfer, WriteFramesPerModel)
{
    struct Case {
        char id;
        DeviceCaps caps;
        uint32_t size, address, flags;
        Lines heads;
        uint8_t spaces[2];
        int64_t pauseMs;
    } const cases[] = {
        {'P', kHeronIICaps, 0x1000, 0x10000, 0, {"> 5A 57 10 01 00"}, {0x20, 0x20}, 0},
        {'R', kSwiftletCaps, 0x200, 0x400, 0, {"> 5A 57 02 20 04", "> 5A 57 02 10 04"}, {0x10, 0x20}, 0},
        {'Q', kPalomarCaps, 0x200, 0x10000, kTransferSpace10, {"> 57 00 11 00 00", "> 57 00 11 01 00"}, {0x10, 0x10},
         800},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        SimBench b(ModelConfig(c.id), c.caps);
        const Bytes data = Pattern(c.size, 1);
        auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(b.channel.WriteBlock(data.data(), c.size, c.address, c.flags, nullptr), CW_S_OK);
        EXPECT_GE(MsSince(start), c.pauseMs);
        EXPECT_EQ(Heads(b.line.Trace(), 5), c.heads);
        for (uint8_t space : c.spaces)
            EXPECT_EQ(b.line.device.Emulation(space, c.address, c.size), data);
    }

    // One byte goes slow.
    SimBench heronII(ModelConfig('P'), kHeronIICaps);
    const uint8_t one = 0x5A;
    ASSERT_EQ(heronII.channel.WriteBlock(&one, 1, 0x1234, 0, nullptr), CW_S_OK);
    EXPECT_EQ(heronII.log.lines().front(), "KVChipwise: Slow writing 1 bytes");
    EXPECT_EQ(heronII.line.Trace(), (Lines{"> 57 01 12 34 5A F8", "< 4F"}));
    // The Swiftlet refuses odd ranges, and reads even ones in space 0x20 unless 0x10 is named.
    SimBench swiftlet(ModelConfig('R'), kSwiftletCaps);
    uint8_t buffer[4];
    EXPECT_EQ(swiftlet.channel.ReadBlock(buffer, 0x400, 3, 0), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(swiftlet.log.lines().back(), "KVChipwise: SwiftLet I/O request address/size alignment error");
    ASSERT_EQ(swiftlet.channel.ReadBlock(buffer, 0x400, 4, kTransferSpace10), CW_S_OK);
    EXPECT_EQ(Heads(swiftlet.line.Trace(), 5), (Lines{"> 52 04 10 04 00"}));
}

TEST(BlockTransfer, LargeBinPagingSwitchesTheReadWriteBank)
{
    SimConfig config = ModelConfig('O', 10, 12);
    config.emulationBank = 8;
    SimBench b(config, kHeronCaps);
    b.channel.emulationBank = 8;
    ASSERT_TRUE(b.channel.LargeBinPaging());
    Bytes data = Pattern(0x200, 4);
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
    Bytes data = Pattern(0x300, 5), back(0x300);
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
    Bytes data = Pattern(0x400, 6);
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
