#include <gtest/gtest.h>

#include "app/position_paths.h"
#include "tests/jobs/device_jobs.h"

namespace {

std::string Bank(int label, const char* outcome)
{
    return "status|    Verifying bank " + std::to_string(label) + "...|1|0\nselector|16\nstatus| " + outcome + "|0|0\n";
}

} // namespace

TEST_F(DeviceJobs, VerifyComparesTheBankBodiesInTheDevice)
{
    // The device holds the same bank bodies, but not the first 8 KB of every quarter (the
    // record is in quarter 3's), which is never compared.
    const Bytes image = Pattern(0x40000, 5);
    Bytes sameBodies = image;
    for (size_t quarter = 0; quarter < 4; ++quarter)
        std::fill(sameBodies.begin() + quarter * 0x10000, sameBodies.begin() + quarter * 0x10000 + 0x2000, 0x00);

    const std::string opened = "row\nstatus|Verifying position 2...|1|0\n";
    const std::string failed = "status|Position 2 verify failed..|1|0\nsound|139\ndone|6|32774|0";
    const struct {
        const char* what;
        Bytes file;
        bool silent;  // the first verify frame gets no answer
        std::string calls;
        size_t frames;
    } cases[] = {
        {"the same bank bodies", image, false,
         opened + Bank(0, "OK") + Bank(1, "OK") + Bank(8, "OK") + Bank(9, "OK") +
             "status|Position 2 verify succeeded.|1|0\nsound|140\ndone|6|32774|1",
         4 * 224},
        {"a device that stops answering", image, true,
         opened + "status|    Verifying bank 0...|1|0\nselector|16\n"
                  "failed|verifying bank 0 of position 2|CW_E_COMM_READ_FAILURE\nstatus| FAIL|0|0\n" + failed,
         1},
        {"a size no tune has", Bytes(1000, 0), false, opened + failed, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Attach(c.silent ? 1 : 0, SimFaultKind::kSilence);
        SetPosition(2, sameBodies);
        PlaceFile(2, "tune.bin", c.file);
        Recorder().Reset(3);
        RunJob(kJobVerifySelection);
        EXPECT_EQ(Recorder().calls(), c.calls);
        // Compared inside the device: nothing is read back.
        EXPECT_EQ(Sent("> 38 56"), c.frames);
        EXPECT_EQ(Sent("> 38 52"), 0u);
    }
}

TEST_F(DeviceJobs, VerifyAllGoesOnAfterADifferenceAndSkipsPositionsWithoutFiles)
{
    // Position A lies beyond the eight rows shown, and differs in bank 9. The layout is
    // cleared once position 1 is done: the job compares the positions it started with.
    const Bytes image = Pattern(0x40000, 7);
    PlaceFile(1, "one.bin", image);
    PlaceFile(10, "ten.bin", image);
    SetPosition(1, image);
    Bytes differs = image;
    differs[0x3F000] ^= 0x80;
    SetPosition(10, differs);
    Recorder().onStatus = [](const std::string& text) {
        if (text == "Position 1 verify succeeded.")
            StoreLayout(LayoutBlock());
    };

    EXPECT_EQ(RunJob(kJobVerifyAll), 1u);
    std::string calls = Recorder().calls();
    EXPECT_NE(calls.find("status|Position 1 verify succeeded.|1|0"), std::string::npos);
    EXPECT_EQ(calls.substr(calls.rfind("status|Position ")),
              "status|Position A verify failed..|1|0\nsound|139\ndone|7|32775|0");

    // The selection takes its file as it starts too.
    PlaceFile(1, "one.bin", image);
    Recorder().Reset(2);
    Recorder().onStatus = [](const std::string&) { StorePositionPath(1, ""); };
    EXPECT_EQ(RunJob(kJobVerifySelection), 1u);
    calls = Recorder().calls();
    EXPECT_EQ(calls.substr(calls.rfind("status|Position ")),
              "status|Position 1 verify succeeded.|1|0\nsound|140\ndone|6|32774|1");
}

TEST_F(DeviceJobs, EraseJobsClearTheRecordsOfWhatTheyErasedAndOnlyTheCellsShown)
{
    // What the device does with the second sector erase: a refused sector is followed by
    // the next; a device that does not answer at all ends the erase there.
    enum Second { kAnswered, kRefused, kSilent };
    const std::string failed = "status| FAILED|0|0\nfailed|erasing ";
    const struct {
        const char* what;
        JobKind kind;
        int row;
        Second second;
        std::string calls, sectors;  // the first sectors erased (all 64 of the device: the chip tests)
        size_t erases;
        int cleared;  // the record cleared: a position, all 16, or -1 for none
    } cases[] = {
        {"row 3", kJobEraseSelection, 3, kAnswered,
         "row\nstatus|Erasing position 2...|1|0\nselector|16\ncell|3|\nstatus| OK|0|0\nsound|137\ninfo|3\n"
         "done|4|32772|1",
         "08 09 0A 0B ", 4, 2},
        {"row 3, refused", kJobEraseSelection, 3, kRefused,
         "row\nstatus|Erasing position 2...|1|0\nselector|16\n" + failed +
             "position 2|CW_E_INVALID_REQUEST_PARAM\nsound|136\ninfo|3\ndone|4|32772|0",
         "08 09 0A 0B ", 4, -1},
        {"row 3, silent", kJobEraseSelection, 3, kSilent,
         "row\nstatus|Erasing position 2...|1|0\nselector|16\n" + failed +
             "position 2|CW_E_COMM_READ_FAILURE\nsound|136\ninfo|3\ndone|4|32772|0",
         "08 09 ", 2, -1},
        {"no row selected", kJobEraseSelection, 0, kAnswered, "row\nsound|136\ninfo|0\ndone|4|32772|0", "", 0, -1},
        // Eight rows shown: the cells of rows 9 to 16 are not touched.
        {"the device", kJobEraseDevice, 5, kAnswered,
         "status|Erasing device...|1|0\ncell|1|\ncell|2|\ncell|3|\ncell|4|\ncell|5|\ncell|6|\ncell|7|\ncell|8|\n"
         "row\ninfo|5\nstatus| OK|0|0\nsound|137\ndone|8|32776|1",
         "00 01 02 03 ", 64, kPositionCount},
        {"the device, refused", kJobEraseDevice, 5, kRefused,
         "status|Erasing device...|1|0\n" + failed + "the device|CW_E_INVALID_REQUEST_PARAM\nsound|136\n"
         "done|8|32776|0",
         "00 01 02 03 ", 64, -1},
        {"the device, silent", kJobEraseDevice, 5, kSilent,
         "status|Erasing device...|1|0\n" + failed + "the device|CW_E_COMM_READ_FAILURE\nsound|136\n"
         "done|8|32776|0",
         "00 01 ", 2, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Attach(c.second != kAnswered ? 2 : 0, c.second == kSilent ? SimFaultKind::kSilence : SimFaultKind::kQuestion);
        Recorder().Reset(c.row);
        RunJob(c.kind);
        EXPECT_EQ(Recorder().calls(), c.calls);
        EXPECT_EQ(Erased().substr(0, 12), c.sectors);
        EXPECT_EQ(Sent("> 38 45"), c.erases);
        for (int p = 0; p < kPositionCount; ++p)
            EXPECT_EQ(Table(p), c.cleared == p || c.cleared == kPositionCount ? kCleared : kStale) << p;
    }
}
