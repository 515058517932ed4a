#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "device/chip.h"
#include "tests/support/sim_bench.h"

namespace {

// Records every progress report, for the order and counts of begin, steps and end.
struct ProgressLog {
    static std::vector<ProgressInfo>& Reports()
    {
        static std::vector<ProgressInfo> reports;
        return reports;
    }
    static std::vector<std::string>& Texts()
    {
        static std::vector<std::string> texts;
        return texts;
    }
    static int Record(ProgressInfo* info)
    {
        Reports().push_back(*info);
        if ((info->flags & kProgressText) && info->text != nullptr)
            Texts().push_back(info->text);
        return 0;
    }
    static void Clear()
    {
        Reports().clear();
        Texts().clear();
    }
};

std::vector<uint8_t> Pattern(size_t n, uint8_t seed)
{
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = uint8_t(seed + i * 7 + (i >> 8));
    return bytes;
}

size_t CountFramesStarting(const Lines& trace, const std::string& prefix)
{
    size_t n = 0;
    for (const std::string& line : trace)
        n += line.compare(0, prefix.size(), prefix) == 0;
    return n;
}

struct OrreryBench : SimBench {
    OrreryBench() : SimBench(SimConfig(), kOrreryCaps) {}
};

} // namespace

TEST(Chip, ReadingAMetadataRecordTakesFourCommands)
{
    OrreryBench b;
    std::vector<uint8_t> stored = Pattern(896, 3);
    b.line.device.SetFlash(0x31C00, stored);
    std::vector<uint8_t> record(896, 0xEE);
    ProgressLog::Clear();
    ASSERT_EQ(ReadChip(b.channel, record.data(), 12, 0x31C00, 896, ProgressLog::Record), CW_S_OK);
    EXPECT_EQ(record, stored);
    Lines trace = b.line.Trace();
    ASSERT_EQ(trace.size(), 8u);
    EXPECT_EQ(trace[0], "> 38 52 00 03 1C 00 A9");
    EXPECT_EQ(trace[2].substr(0, 17), "> 38 52 00 03 1D ");
    EXPECT_EQ(trace[6].substr(0, 17), "> 38 52 80 03 1F ");
    EXPECT_EQ(b.ReadTimeoutNow(), 300u);

    // Begin with 3 steps announced (896 / 256), a text and a step per block, then the end.
    auto& r = ProgressLog::Reports();
    ASSERT_EQ(r.size(), 1u + 4 * 2 + 1);
    EXPECT_EQ(r.front().flags, kProgressBegin);
    EXPECT_EQ(r.front().total, 3u);
    EXPECT_EQ(r[r.size() - 2].current, 4u);
    EXPECT_EQ(r.back().flags, kProgressEnd | kProgressText);
    EXPECT_EQ(r.back().text, nullptr);
    EXPECT_EQ(ProgressLog::Texts().front(), "Reading Address 031C00");
    EXPECT_EQ(b.log.lines().back().substr(0, 25), "KVChipwise: ReadChip took");
}

TEST(Chip, FixedFramesOfTheSmallCommands)
{
    OrreryBench b;
    EXPECT_EQ(SetChipEnabled(b.channel, true), CW_S_OK);
    EXPECT_TRUE(b.line.device.ChipEnabled());
    EXPECT_EQ(SetChipEnabled(b.channel, false), CW_S_OK);
    EXPECT_FALSE(b.line.device.ChipEnabled());
    EXPECT_EQ(EraseSector(b.channel, 12, 5), CW_S_OK);
    EXPECT_EQ(EraseChip(b.channel, nullptr, 2, kEraseWholeChip, 0, 0), CW_S_OK);
    EXPECT_EQ(b.line.Trace(), (Lines{"> 38 4D 59 DE", "< 4F", "> 38 4D 4E D3", "< 4F", "> 38 45 05 82", "< 4F",
                                     "> 35 45 7A", "< 4F"}));

    // Out of range or not there: refused before any traffic.
    b.line.device.trace().Clear();
    std::vector<uint8_t> local(0xE001);
    EXPECT_EQ(EraseSector(b.channel, 12, 64), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(EraseSector(b.channel, 13, 0), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(DeviceVerifyBlocks(b.channel, local.data(), 0, 0xE001, nullptr), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(EraseWholeChip(b.channel, 4, nullptr), CW_S_OK);
    EXPECT_TRUE(b.line.Trace().empty());
}

TEST(Chip, EraseAnswersAndChipEnableNeedsTheOrrery)
{
    OrreryBench b;
    b.line.device.AddFault({'8', 1, SimFaultKind::kQuestion, 0});
    b.line.device.AddFault({'8', 2, SimFaultKind::kWrongAck, 'X'});
    b.line.device.AddFault({'8', 3, SimFaultKind::kWrongAck, 'F'});
    b.line.device.AddFault({'8', 4, SimFaultKind::kDelay, 1000});
    EXPECT_EQ(EraseSector(b.channel, 12, 0), CW_E_INVALID_REQUEST_PARAM);
    EXPECT_EQ(EraseSector(b.channel, 12, 0), CW_S_OK); // any other answer is success
    EXPECT_EQ(EraseSector(b.channel, 12, 0), CW_E_INVALID_REQUEST_PARAM);
    EXPECT_EQ(EraseSector(b.channel, 12, 0), CW_S_OK); // an erase takes its time

    b.channel.capabilities = kHeronCaps;
    EXPECT_EQ(SetChipEnabled(b.channel, true), CW_E_REQUEST_NOT_SUPPORTED);
    EXPECT_EQ(EraseSector(b.channel, 12, 0), CW_E_REQUEST_NOT_SUPPORTED);
}

TEST(Chip, FlashKeepsWhatASkippedEraseLeaves)
{
    OrreryBench b;
    const uint32_t position = 3 * 0x40000;
    std::vector<uint8_t> first = Pattern(0x40000, 1), second = Pattern(0x40000, 2);
    ASSERT_EQ(EraseChip(b.channel, nullptr, 12, kEraseBlocks, 3, 1), CW_S_OK);
    ASSERT_EQ(WriteChip(b.channel, first.data(), 12, position, 0x40000, nullptr), CW_S_OK);
    EXPECT_EQ(VerifyChip(b.channel, first.data(), 12, position, 0x40000, nullptr), 1);
    EXPECT_EQ(b.line.device.Flash(position, 0x40000), first);

    // Written again without an erase, the flash holds the AND of both: verify tells.
    ASSERT_EQ(WriteChip(b.channel, second.data(), 12, position, 0x40000, nullptr), CW_S_OK);
    EXPECT_EQ(VerifyChip(b.channel, second.data(), 12, position, 0x40000, nullptr), 0);
    std::vector<uint8_t> back(0x40000);
    ASSERT_EQ(ReadChip(b.channel, back.data(), 12, position, 0x40000, nullptr), CW_S_OK);
    EXPECT_EQ(back[0], uint8_t(first[0] & second[0]));
}

TEST(Chip, BlankBlocksAreSkippedOnFlashParts)
{
    OrreryBench b;
    std::vector<uint8_t> blank(0x40000, 0xFF);
    blank[0x300] = 0x12; // one block with data
    ASSERT_EQ(WriteChip(b.channel, blank.data(), 12, 0, 0x40000, nullptr), CW_S_OK);
    EXPECT_EQ(CountFramesStarting(b.line.Trace(), "> 38 57"), 1u);

    b.line.device.trace().Clear();
    blank[0x300] = 0xFF;
    ASSERT_EQ(WriteChip(b.channel, blank.data(), 1, 0, 0x40000, nullptr), CW_S_OK);
    EXPECT_EQ(CountFramesStarting(b.line.Trace(), "> 34 57 00"), 1024u);
}

TEST(Chip, EraseBlockAndEraseModesGoOnPastAFailingSector)
{
    OrreryBench b;
    ProgressLog::Clear();
    ASSERT_EQ(EraseBlock(b.channel, 12, 3, ProgressLog::Record), CW_S_OK);
    EXPECT_EQ(b.line.Trace(), (Lines{"> 38 45 0C 89", "< 4F", "> 38 45 0D 8A", "< 4F", "> 38 45 0E 8B", "< 4F",
                                     "> 38 45 0F 8C", "< 4F"}));
    EXPECT_EQ(ProgressLog::Reports().front().total, 4u);
    EXPECT_EQ(ProgressLog::Texts().back(), "Erasing sector 4 of 4...");

    struct Case {
        uint32_t mode, first, count;
        size_t erases;
    } cases[] = {{kEraseWholeChip, 0, 0, 64}, {kEraseSectors, 10, 5, 5}, {kEraseBlocks, 2, 2, 8}};
    for (const Case& c : cases) {
        OrreryBench bench;
        bench.line.device.AddFault({'8', 3, SimFaultKind::kQuestion, 0});
        EXPECT_EQ(EraseChip(bench.channel, nullptr, 12, c.mode, c.first, c.count), CW_E_INVALID_REQUEST_PARAM)
            << c.mode;
        EXPECT_EQ(CountFramesStarting(bench.line.Trace(), "> 38 45"), c.erases) << c.mode;
    }
}

TEST(Chip, CancelStopsBeforeTheNextFrameAndIsCleared)
{
    OrreryBench b;
    static DeviceChannel* channel;
    channel = &b.channel;
    auto cancelAfterFirstStep = [](ProgressInfo* info) {
        if (info->flags == kProgressStep && info->current == 1)
            channel->Cancel();
        return 0;
    };
    std::vector<uint8_t> data = Pattern(4096, 9);
    EXPECT_EQ(WriteChip(b.channel, data.data(), 12, 0, 4096, cancelAfterFirstStep), CW_E_OPERATION_CANCELED);
    EXPECT_EQ(CountFramesStarting(b.line.Trace(), "> 38 57"), 1u);
    EXPECT_EQ(b.channel.cancelRequested.load(), 0u);
    EXPECT_EQ(b.log.lines().back(), "KVChipwise: WriteChip - Operation Canceled");

    EXPECT_EQ(ReadChip(b.channel, data.data(), 12, 0, 4096, cancelAfterFirstStep), CW_E_OPERATION_CANCELED);
    EXPECT_EQ(b.channel.cancelRequested.load(), 0u);
    EXPECT_EQ(EraseChip(b.channel, cancelAfterFirstStep, 12, kEraseSectors, 0, 8), CW_E_OPERATION_CANCELED);
    EXPECT_EQ(CountFramesStarting(b.line.Trace(), "> 38 45"), 1u);
    EXPECT_EQ(b.channel.cancelRequested.load(), 0u);
}

// Reads and device verifies report a block's step while the next block's frame is on its
// way. The reports stay those of one block after another, each step with its own block's
// text: a failing frame comes after the steps of the blocks before it, and a cancel raised
// in a step's report ends the operation before the next block's reports. The frame already
// on its way is answered and its reply dropped, so the next request finds a clean line.
TEST(Chip, ReportsOfReadsAndVerifiesAreThoseOfOneBlockAfterAnother)
{
    static DeviceChannel* channel;
    static bool cancelAtSecondStep;
    static std::string reports;
    auto record = [](ProgressInfo* info) {
        const char kind = info->flags & kProgressEnd    ? 'E'
                          : info->flags & kProgressBegin ? 'B'
                          : info->flags & kProgressText  ? 'T'
                                                         : 'S';
        reports += kind + std::to_string(kind == 'B' ? info->total : info->current);
        if ((kind == 'S' || kind == 'T') && info->text != nullptr)
            reports += std::string(":") + (info->text + strlen(info->text) - 6);
        reports += ' ';
        if (cancelAtSecondStep && info->flags == kProgressStep && info->current == 2)
            channel->Cancel();
        return 0;
    };
    struct Case {
        bool verify;
        bool cancel;  // else the third frame fails
        DeviceResult result;
        const char* reports;
    } const cases[] = {
        {false, false, CW_E_EXTERNAL_CS_INVALID, "B4 T0:000000 S1:000000 T1:000100 S2:000100 T2:000200 E2 "},
        {false, true, CW_E_OPERATION_CANCELED, "B4 T0:000000 S1:000000 T1:000100 S2:000100 E2 "},
        {true, false, 0, "B4 S1:000000 S2:000100 E0 "},
        {true, true, CW_E_OPERATION_CANCELED, "B4 S1:000000 S2:000100 E0 "},
    };
    const std::vector<uint8_t> data = Pattern(1024, 8);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.verify ? "verify" : "read") << (c.cancel ? ", canceled" : ""));
        OrreryBench b;
        b.line.device.SetFlash(0, data);
        if (!c.cancel)
            b.line.device.AddFault({'8', 3, c.verify ? SimFaultKind::kQuestion : SimFaultKind::kBadChecksum, 0});
        channel = &b.channel;
        cancelAtSecondStep = c.cancel;
        reports.clear();
        std::vector<uint8_t> back(1024);
        EXPECT_EQ(c.verify ? DeviceVerifyBlocks(b.channel, data.data(), 0, 1024, record)
                           : ReadChip(b.channel, back.data(), 12, 0, 1024, record),
                  c.result);
        EXPECT_EQ(reports, c.reports);
        EXPECT_EQ(CountFramesStarting(b.line.Trace(), "> 38"), 3u);
        b.channel.cancelRequested.store(0);
        EXPECT_EQ(ReadChip(b.channel, back.data(), 12, 0, 1024, nullptr), CW_S_OK);
        EXPECT_EQ(back, data);
    }
}

TEST(Chip, VerifyByReadingBackSkipsTheAdaptersOwnAreas)
{
    OrreryBench b;
    std::vector<uint8_t> image = Pattern(0x40000, 5);
    b.line.device.SetFlash(0, image);
    std::vector<uint8_t> local = image;
    local[0x1E000] ^= 1;
    local[0x3FF00] ^= 1;
    EXPECT_EQ(VerifyChip(b.channel, local.data(), 7, 0, 0x40000, nullptr), 1);
    // The EEC-V reader compares the top 256 bytes.
    EXPECT_EQ(VerifyChip(b.channel, local.data(), 9, 0, 0x40000, nullptr), 0);
    char expected[100];
    snprintf(expected, sizeof expected,
             "KVChipwise: Chip Verify failed at offset 0x03FF00. Local Buffer: 0x%.2X. Chip: 0x%.2X", local[0x3FF00],
             image[0x3FF00]);
    EXPECT_EQ(b.log.lines().back(), expected);

    // What cannot be compared is refused. Refusals, like an erase of an unknown chip, still
    // report their end, so a job's progress bar does not stay where it was.
    ProgressLog::Clear();
    const ProgressCallback record = ProgressLog::Record;
    EXPECT_EQ(VerifyChip(b.channel, local.data(), 11, 0x1000, 0x42000, record), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(VerifyChip(b.channel, local.data(), 11, 0, 0x40000, record), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(VerifyChip(b.channel, local.data(), 7, 0, 0x40001, record), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(VerifyChip(b.channel, nullptr, 12, 0, 256, record), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(VerifyChip(b.channel, local.data(), 12, 0, 0xE001, record), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(EraseWholeChip(b.channel, 13, record), CW_S_OK);
    b.channel.capabilities = 0;
    EXPECT_EQ(VerifyChip(b.channel, local.data(), 7, 0, 256, record), CW_E_REQUEST_NOT_SUPPORTED);
    EXPECT_EQ(EraseWholeChip(b.channel, 12, record), CW_E_REQUEST_NOT_SUPPORTED);
    std::vector<uint32_t> flags;
    for (const ProgressInfo& p : ProgressLog::Reports())
        flags.push_back(p.flags);
    const uint32_t end = kProgressEnd | kProgressText;
    EXPECT_EQ(flags, (std::vector<uint32_t>{end, end, end, end, end, kProgressEnd, end, kProgressEnd}));
}

TEST(Chip, EecIvStreamOfFrames)
{
    OrreryBench b;
    std::vector<uint8_t> image = Pattern(57344, 11);
    b.line.device.SetFlash(0, image);
    std::vector<uint8_t> back(57344);
    ProgressLog::Clear();
    ASSERT_EQ(ReadChip(b.channel, back.data(), 8, 0, 57344, ProgressLog::Record), CW_S_OK);
    EXPECT_EQ(back, image);
    Lines trace = b.line.Trace();
    EXPECT_EQ(trace.front(), "> 4A 34 7E");
    EXPECT_EQ(CountFramesStarting(trace, "> 43"), 223u);
    EXPECT_EQ(trace[trace.size() - 2], "> 51");
    size_t open = 0;
    for (const ProgressInfo& p : ProgressLog::Reports())
        open += p.flags == kProgressOpenStep;
    EXPECT_EQ(open, 223u);
    EXPECT_EQ(ReadChip(b.channel, back.data(), 8, 0, 4096, nullptr), CW_E_INVALID_FUNC_PARAM);
}

TEST(Chip, BusyLockIsLeftAlone)
{
    OrreryBench b;
    ASSERT_TRUE(b.channel.AcquireRequestLock());
    std::vector<uint8_t> data(256);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadChip(b.channel, data.data(), 12, 0, 256, nullptr), CW_E_PORT_BUSY);
    EXPECT_EQ(EraseSector(b.channel, 12, 0), CW_E_PORT_BUSY);
    EXPECT_GE(MsSince(start), 2 * 1150);
    EXPECT_TRUE(b.line.Trace().empty());
    b.channel.ReleaseRequestLock();
    EXPECT_EQ(ReadChip(b.channel, data.data(), 12, 0, 256, nullptr), CW_S_OK);
}

TEST(Chip, EveryFaultGivesItsResultAndTheNextRequestWorks)
{
    enum Request { kRead, kWrite, kVerify };
    struct Case {
        Request request;
        SimFaultKind kind;
        uint32_t param;
        DeviceResult expected;
    } const cases[] = {
        {kRead, SimFaultKind::kSilence, 0, CW_E_COMM_READ_TIMEOUT},
        {kWrite, SimFaultKind::kSilence, 0, CW_E_GENERAL_ERROR},
        {kVerify, SimFaultKind::kSilence, 0, CW_E_COMM_READ_FAILURE},
        {kRead, SimFaultKind::kShortReply, 1, CW_E_EXTERNAL_CS_INVALID}, // checksum missing
        {kRead, SimFaultKind::kShortReply, 4, CW_E_COMM_READ_TIMEOUT},
        {kRead, SimFaultKind::kQuestion, 0, CW_E_COMM_READ_TIMEOUT},
        {kWrite, SimFaultKind::kQuestion, 0, CW_E_INVALID_RESPONSE},
        {kVerify, SimFaultKind::kQuestion, 0, 0},
        {kRead, SimFaultKind::kWrongAck, 'N', CW_E_EXTERNAL_CS_INVALID},
        {kWrite, SimFaultKind::kWrongAck, 'N', CW_E_INVALID_RESPONSE},
        {kRead, SimFaultKind::kBadChecksum, 0, CW_E_EXTERNAL_CS_INVALID},
        {kWrite, SimFaultKind::kBadChecksum, 0, CW_E_INVALID_RESPONSE},
        {kVerify, SimFaultKind::kBadChecksum, 0, 0},
        {kWrite, SimFaultKind::kStaleByte, 'O', CW_S_OK},
        {kVerify, SimFaultKind::kDelay, 1000, CW_E_COMM_READ_FAILURE},
        {kRead, SimFaultKind::kDisconnect, 100, CW_E_COMM_READ_TIMEOUT},
        {kWrite, SimFaultKind::kDisconnect, 0, CW_E_GENERAL_ERROR},
    };
    const std::vector<uint8_t> data = Pattern(512, 4);
    auto run = [&](const Case& c) {
        SCOPED_TRACE(testing::Message() << "request " << c.request << ", fault " << int(c.kind));
        OrreryBench b;
        b.channel.SetLogTarget(nullptr);
        ASSERT_EQ(WriteChip(b.channel, data.data(), 12, 0, 512, nullptr), CW_S_OK);
        // The second frame of the request misbehaves (frames 1 and 2 were the write above).
        b.line.device.AddFault({'8', 4, c.kind, c.param});
        std::vector<uint8_t> back(512);
        DeviceResult result = c.request == kRead    ? ReadChip(b.channel, back.data(), 12, 0, 512, nullptr)
                              : c.request == kWrite ? WriteChip(b.channel, data.data(), 12, 0, 512, nullptr)
                                                    : DeviceVerifyBlocks(b.channel, data.data(), 0, 512, nullptr);
        EXPECT_EQ(result, c.expected);
        if (c.kind == SimFaultKind::kDisconnect) {
            EXPECT_EQ(ReadChip(b.channel, back.data(), 12, 0, 512, nullptr), CW_E_COMM_WRITE_FAILURE);
            return;
        }
        EXPECT_EQ(b.ReadTimeoutNow(), 300u);
        if (c.kind == SimFaultKind::kDelay)
            std::this_thread::sleep_for(std::chrono::milliseconds(c.param)); // the late reply lands
        // Lock released, stale bytes purged: the next requests work.
        EXPECT_EQ(DeviceVerifyBlocks(b.channel, data.data(), 0, 512, nullptr), 1);
        EXPECT_EQ(ReadChip(b.channel, back.data(), 12, 0, 512, nullptr), CW_S_OK);
        EXPECT_EQ(back, data);
    };
    // Each case has its own simulated device; the ones that wait out 6 s time-outs run
    // side by side.
    std::vector<std::thread> threads;
    for (const Case& c : cases)
        threads.emplace_back(run, std::cref(c));
    for (std::thread& t : threads)
        t.join();
}
