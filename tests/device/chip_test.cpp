#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "device/chip.h"
#include "tests/support/sim_bench.h"
#include "tests/tune/temp_folder.h"

namespace {

using Fault = SimFaultKind;

// Every progress report as one word: B and the steps announced; O for an open step; S for
// a step, T for a text, E for the end, each with its count, and a step's or text's text
// by its last six characters. A report of step g_cancelAt cancels g_channel.
std::string g_reports, g_lastText;
DeviceChannel* g_channel = nullptr;
uint32_t g_cancelAt = 0;

int Record(ProgressInfo* info)
{
    const char kind = info->flags & kProgressEnd        ? 'E'
                      : info->flags & kProgressBegin    ? 'B'
                      : info->flags & kProgressOpenStep ? 'O'
                      : info->flags & kProgressText     ? 'T'
                                                        : 'S';
    g_reports += kind + (kind == 'O' ? "" : std::to_string(kind == 'B' ? info->total : info->current));
    if ((kind == 'S' || kind == 'T') && info->text != nullptr && strlen(info->text) >= 6) {
        g_reports += std::string(":") + (info->text + strlen(info->text) - 6);
        g_lastText = info->text;
    }
    g_reports += ' ';
    if (g_cancelAt != 0 && info->flags == kProgressStep && info->current == g_cancelAt)
        g_channel->Cancel();
    return 0;
}

size_t CountFramesStarting(const Lines& trace, const std::string& prefix)
{
    size_t n = 0;
    for (const std::string& line : trace)
        n += line.compare(0, prefix.size(), prefix) == 0;
    return n;
}

struct OrreryBench : SimBench {
    OrreryBench() : SimBench(SimConfig(), kOrreryCaps)
    {
        g_channel = &channel;
        g_cancelAt = 0;
        g_reports.clear();
    }
};

} // namespace

TEST(Chip, SmallCommandsTheirAnswersAndWhatIsRefusedBeforeAnyTraffic)
{
    OrreryBench b;
    EXPECT_EQ(SetChipEnabled(b.channel, true), CW_S_OK);
    EXPECT_TRUE(b.line.device.ChipEnabled());
    EXPECT_EQ(SetChipEnabled(b.channel, false), CW_S_OK);
    EXPECT_EQ(EraseSector(b.channel, 12, 5), CW_S_OK);
    EXPECT_EQ(EraseChip(b.channel, nullptr, 2, kEraseWholeChip, 0, 0), CW_S_OK);
    EXPECT_EQ(b.line.Trace(), (Lines{"> 38 4D 59 DE", "< 4F", "> 38 4D 4E D3", "< 4F", "> 38 45 05 82", "< 4F",
                                     "> 35 45 7A", "< 4F"}));

    // A sector erase fails on "?" or "F" only; one answered after a second succeeds.
    b.line.device.AddFault({'8', 4, Fault::kQuestion, 0});
    b.line.device.AddFault({'8', 5, Fault::kWrongAck, 'X'});
    b.line.device.AddFault({'8', 6, Fault::kWrongAck, 'F'});
    b.line.device.AddFault({'8', 7, Fault::kDelay, 1000});
    EXPECT_EQ(EraseSector(b.channel, 12, 0), CW_E_INVALID_REQUEST_PARAM);
    EXPECT_EQ(EraseSector(b.channel, 12, 0), CW_S_OK);
    EXPECT_EQ(EraseSector(b.channel, 12, 0), CW_E_INVALID_REQUEST_PARAM);
    EXPECT_EQ(EraseSector(b.channel, 12, 0), CW_S_OK);

    b.line.device.trace().Clear();
    std::vector<uint8_t> local(0xE001);
    EXPECT_EQ(EraseSector(b.channel, 12, 64), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(EraseSector(b.channel, 13, 0), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(DeviceVerifyBlocks(b.channel, local.data(), 0, 0xE001, nullptr), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(EraseWholeChip(b.channel, 4, nullptr), CW_S_OK); // a part without an erase
    EXPECT_EQ(ReadChip(b.channel, local.data(), 8, 0, 4096, nullptr), CW_E_INVALID_FUNC_PARAM);
    EXPECT_TRUE(b.line.Trace().empty());
    b.channel.capabilities = kHeronCaps; // chip enable and sector erase need the Orrery
    EXPECT_EQ(SetChipEnabled(b.channel, true), CW_E_REQUEST_NOT_SUPPORTED);
    EXPECT_EQ(EraseSector(b.channel, 12, 0), CW_E_REQUEST_NOT_SUPPORTED);
}

TEST(Chip, BlankBlocksAreSkippedOnFlashPartsOnly)
{
    OrreryBench b;
    std::vector<uint8_t> blank(0x400, 0xFF);
    blank[0x100] = 0x12; // one block with data between blank ones
    // Skipped blocks are counted in order all the same.
    ASSERT_EQ(WriteChip(b.channel, blank.data(), 12, 0, 0x400, Record), CW_S_OK);
    EXPECT_EQ(g_reports, "B4 S1:000000 S2:000100 S3:000200 S4:000300 E4 ");
    ASSERT_EQ(WriteChip(b.channel, blank.data(), 1, 0, 0x400, nullptr), CW_S_OK);
    EXPECT_EQ(CountFramesStarting(b.line.Trace(), "> 38 57"), 1u);
    EXPECT_EQ(CountFramesStarting(b.line.Trace(), "> 34 57"), 4u);

    // Three blank blocks, then data. A skipped block's step waits until a later frame is on
    // its way: a cancel raised in the first one lets that frame finish and sends no other.
    // A frame that fails comes after the steps of every block before it.
    std::vector<uint8_t> late(0x600, 0xFF);
    std::fill(late.begin() + 0x300, late.end(), 0x34);
    struct Case {
        uint32_t cancelAt, refusedFrame;
        DeviceResult result;
        const char* reports;
        size_t frames;
    } const cases[] = {
        {1, 0, CW_E_OPERATION_CANCELED, "B6 S1:000000 S2:000100 S3:000200 S4:000300 E4 ", 1},
        {0, 1, CW_E_INVALID_RESPONSE, "B6 S1:000000 S2:000100 S3:000200 E3 ", 1},
    };
    for (const Case& c : cases) {
        OrreryBench bench;
        g_cancelAt = c.cancelAt;
        if (c.refusedFrame != 0)
            bench.line.device.AddFault({'8', c.refusedFrame, Fault::kQuestion, 0});
        EXPECT_EQ(WriteChip(bench.channel, late.data(), 12, 0, 0x600, Record), c.result);
        EXPECT_EQ(g_reports, c.reports);
        EXPECT_EQ(CountFramesStarting(bench.line.Trace(), "> 38 57"), c.frames);
    }
}

TEST(Chip, ErasesGoOnPastAFailingSectorButStopAtACancel)
{
    OrreryBench b;
    ASSERT_EQ(EraseBlock(b.channel, 12, 3, Record), CW_S_OK);
    EXPECT_EQ(CountFramesStarting(b.line.Trace(), "> 38 45 0C"), 1u);
    EXPECT_EQ(CountFramesStarting(b.line.Trace(), "> 38 45 0F"), 1u);
    EXPECT_EQ(g_reports.substr(0, 3), "B4 ");
    EXPECT_EQ(g_lastText, "Erasing sector 4 of 4...");

    struct Case {
        uint32_t mode, first, count;
        size_t erases;
    } cases[] = {{kEraseWholeChip, 0, 0, 64}, {kEraseSectors, 10, 5, 5}, {kEraseBlocks, 2, 2, 8}};
    for (const Case& c : cases) {
        OrreryBench bench;
        bench.line.device.AddFault({'8', 3, Fault::kQuestion, 0});
        EXPECT_EQ(EraseChip(bench.channel, nullptr, 12, c.mode, c.first, c.count), CW_E_INVALID_REQUEST_PARAM)
            << c.mode;
        EXPECT_EQ(CountFramesStarting(bench.line.Trace(), "> 38 45"), c.erases) << c.mode;
    }

    // A cancel raised in the first step's report: no second frame, and the request cleared.
    OrreryBench canceled;
    g_cancelAt = 1;
    EXPECT_EQ(EraseChip(canceled.channel, Record, 12, kEraseSectors, 0, 8), CW_E_OPERATION_CANCELED);
    EXPECT_EQ(CountFramesStarting(canceled.line.Trace(), "> 38 45"), 1u);
    EXPECT_EQ(canceled.channel.cancelRequested.load(), 0u);
}

// Reads, writes and device verifies report a block's step while the next block's frame is
// on its way. The reports stay those of one block after another, each step with its own
// block's text: a failing frame comes after the steps of the blocks before it. A cancel
// raised in a step's report ends a read or verify before the next block's reports: the frame
// already on its way is answered and its reply dropped, so the next request finds a clean
// line. A write finishes and reports the frame in flight and sends no other.
TEST(Chip, ReportsOfTransfersAreThoseOfOneBlockAfterAnother)
{
    enum Op { kRead, kVerify, kWrite };
    struct Case {
        Op op;
        bool cancel; // else the third frame fails
        DeviceResult result;
        const char* reports;
    } const cases[] = {
        {kRead, false, CW_E_EXTERNAL_CS_INVALID, "B4 T0:000000 S1:000000 T1:000100 S2:000100 T2:000200 E2 "},
        {kRead, true, CW_E_OPERATION_CANCELED, "B4 T0:000000 S1:000000 T1:000100 S2:000100 E2 "},
        {kVerify, false, 0, "B4 S1:000000 S2:000100 E0 "},
        {kVerify, true, CW_E_OPERATION_CANCELED, "B4 S1:000000 S2:000100 E0 "},
        {kWrite, false, CW_E_INVALID_RESPONSE, "B4 S1:000000 S2:000100 E2 "},
        {kWrite, true, CW_E_OPERATION_CANCELED, "B4 S1:000000 S2:000100 S3:000200 E3 "},
    };
    const std::vector<uint8_t> data = Pattern(1024, 8);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "operation " << c.op << (c.cancel ? ", canceled" : ""));
        OrreryBench b;
        b.line.device.SetFlash(0, data);
        if (!c.cancel)
            b.line.device.AddFault({'8', 3, c.op == kRead ? Fault::kBadChecksum : Fault::kQuestion, 0});
        g_cancelAt = c.cancel ? 2 : 0;
        std::vector<uint8_t> back(1024);
        EXPECT_EQ(c.op == kVerify  ? DeviceVerifyBlocks(b.channel, data.data(), 0, 1024, Record)
                  : c.op == kRead ? ReadChip(b.channel, back.data(), 12, 0, 1024, Record)
                                   : WriteChip(b.channel, data.data(), 12, 0, 1024, Record),
                  c.result);
        EXPECT_EQ(g_reports, c.reports);
        EXPECT_EQ(CountFramesStarting(b.line.Trace(), "> 38"), 3u);
        if (c.op == kWrite && c.cancel) {
            EXPECT_EQ(b.log.lines().back(), "KVChipwise: WriteChip - Operation Canceled");
        }
        b.channel.cancelRequested.store(0); // a device verify leaves it to the caller
        EXPECT_EQ(ReadChip(b.channel, back.data(), 12, 0, 1024, nullptr), CW_S_OK);
        EXPECT_EQ(back, data);
        EXPECT_EQ(b.log.lines().back().substr(0, 25), "KVChipwise: ReadChip took");
    }
}

TEST(Chip, VerifyByReadingBackSkipsTheAdaptersOwnAreasAndRefusalsReportTheirEnd)
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
    EXPECT_EQ(VerifyChip(b.channel, local.data(), 11, 0x1000, 0x42000, Record), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(VerifyChip(b.channel, local.data(), 11, 0, 0x40000, Record), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(VerifyChip(b.channel, local.data(), 7, 0, 0x40001, Record), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(VerifyChip(b.channel, nullptr, 12, 0, 256, Record), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(VerifyChip(b.channel, local.data(), 12, 0, 0xE001, Record), CW_E_INVALID_FUNC_PARAM);
    EXPECT_EQ(EraseWholeChip(b.channel, 13, Record), CW_S_OK);
    b.channel.capabilities = 0;
    EXPECT_EQ(VerifyChip(b.channel, local.data(), 7, 0, 256, Record), CW_E_REQUEST_NOT_SUPPORTED);
    EXPECT_EQ(EraseWholeChip(b.channel, 12, Record), CW_E_REQUEST_NOT_SUPPORTED);
    EXPECT_EQ(g_reports, "E0 E0 E0 E0 E0 E0 E0 E0 ");
}

TEST(Chip, EecIvStreamOfFrames)
{
    OrreryBench b;
    std::vector<uint8_t> image = Pattern(57344, 11);
    b.line.device.SetFlash(0, image);
    std::vector<uint8_t> back(57344);
    ASSERT_EQ(ReadChip(b.channel, back.data(), 8, 0, 57344, Record), CW_S_OK);
    EXPECT_EQ(back, image);
    Lines trace = b.line.Trace();
    EXPECT_EQ(trace.front(), "> 4A 34 7E");
    EXPECT_EQ(CountFramesStarting(trace, "> 43"), 223u);
    EXPECT_EQ(trace[trace.size() - 2], "> 51");
    std::string opened;
    for (int frame = 1; frame < 224; ++frame)
        opened += "O ";
    EXPECT_EQ(g_reports, "B224 " + opened + "E0 ");
}

TEST(Chip, EveryFaultGivesItsResultAndTheNextRequestWorks)
{
    enum Request { kRead, kWrite, kVerify };
    struct Case {
        Request request;
        Fault kind;
        uint32_t param;
        DeviceResult expected;
    } const cases[] = {
        {kRead, Fault::kSilence, 0, CW_E_COMM_READ_TIMEOUT},
        {kWrite, Fault::kSilence, 0, CW_E_GENERAL_ERROR},
        {kRead, Fault::kShortReply, 1, CW_E_EXTERNAL_CS_INVALID}, // checksum missing
        {kRead, Fault::kQuestion, 0, CW_E_COMM_READ_TIMEOUT},
        {kVerify, Fault::kQuestion, 0, 0},
        {kWrite, Fault::kStaleByte, 'O', CW_S_OK},
        {kVerify, Fault::kDelay, 1000, CW_E_COMM_READ_FAILURE},
        {kRead, Fault::kDisconnect, 100, CW_E_COMM_READ_TIMEOUT},
        {kWrite, Fault::kDisconnect, 0, CW_E_GENERAL_ERROR},
    };
    const std::vector<uint8_t> data = Pattern(512, 4);
    auto run = [&](const Case& c) {
        SCOPED_TRACE(testing::Message() << "request " << c.request << ", fault " << int(c.kind));
        SimBench b(SimConfig(), kOrreryCaps);
        b.channel.SetLogTarget(nullptr);
        ASSERT_EQ(WriteChip(b.channel, data.data(), 12, 0, 512, nullptr), CW_S_OK);
        // The second frame of the request misbehaves (frames 1 and 2 were the write above).
        b.line.device.AddFault({'8', 4, c.kind, c.param});
        std::vector<uint8_t> back(512);
        DeviceResult result = c.request == kRead    ? ReadChip(b.channel, back.data(), 12, 0, 512, nullptr)
                              : c.request == kWrite ? WriteChip(b.channel, data.data(), 12, 0, 512, nullptr)
                                                    : DeviceVerifyBlocks(b.channel, data.data(), 0, 512, nullptr);
        EXPECT_EQ(result, c.expected);
        if (c.kind == Fault::kDisconnect) {
            EXPECT_EQ(ReadChip(b.channel, back.data(), 12, 0, 512, nullptr), CW_E_COMM_WRITE_FAILURE);
            return;
        }
        EXPECT_EQ(b.ReadTimeoutNow(), 300u);
        if (c.kind == Fault::kDelay)
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
