#include <gtest/gtest.h>

#include <numeric>

#include "tests/jobs/device_jobs.h"

namespace {

std::string Bank(int label, const char* outcome)
{
    return "status|    Verifying bank " + std::to_string(label) + "...|1|0\nselector|16\nstatus| " + outcome + "|0|0";
}

// Calls joined by line ends, so a case can hold runs of them as one text.
std::string Joined(const Calls& calls)
{
    std::string text;
    for (const std::string& call : calls)
        text += (text.empty() ? "" : "\n") + call;
    return text;
}

} // namespace

TEST_F(DeviceJobs, VerifyComparesTheBankBodiesInTheDeviceUntilOneDiffers)
{
    const Bytes image = Pattern(0x40000, 5);
    // The first 8 KB of every quarter (the record is in quarter 3's) is never compared.
    Bytes sameBodies = image;
    for (size_t quarter = 0; quarter < 4; ++quarter)
        std::fill(sameBodies.begin() + quarter * 0x10000, sameBodies.begin() + quarter * 0x10000 + 0x2000, 0x00);
    Bytes bank1Differs = image;
    bank1Differs[0x12000 + 300] ^= 1;

    const std::string opened = "row\nstatus|Verifying position 2...|1|0\n";
    const std::string failed = "status|Position 2 verify failed..|1|0\nsound|139\ndone|6|32774|0";
    struct Case {
        const char* what;
        const char* name;
        Bytes file;
        Bytes device;
        std::vector<SimFault> faults;
        std::string calls;
        size_t verifyFrames;
    } const cases[] = {
        {"the same bank bodies", "image.bin", image, sameBodies, {},
         opened + Bank(0, "OK") + "\n" + Bank(1, "OK") + "\n" + Bank(8, "OK") + "\n" + Bank(9, "OK") +
             "\nstatus|Position 2 verify succeeded.|1|0\nsound|140\ndone|6|32774|1",
         4 * 224},
        // The second block of bank 1 differs: banks 8 and 9 are not compared.
        {"a difference in bank 1", "image.bin", image, bank1Differs, {},
         opened + Bank(0, "OK") + "\n" + Bank(1, "FAIL") + "\n" + failed, 224 + 2},
        {"a device that stops answering", "image.bin", image, image, {{'8', 1, SimFaultKind::kSilence, 0}},
         opened + "status|    Verifying bank 0...|1|0\nselector|16\n"
                  "failed|verifying bank 0 of position 2|CW_E_COMM_READ_FAILURE\nstatus| FAIL|0|0\n" + failed,
         1},
        {"no file", "", {}, image, {}, opened + failed, 0},
        {"an empty file", "empty.bin", {}, image, {}, opened + failed, 0},
        {"a size no tune has", "odd.bin", Bytes(1000, 0), image, {}, opened + failed, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Attach(c.faults);
        SetPosition(2, c.device);
        memset(&g_settings.layout, 0, sizeof g_settings.layout);
        if (c.name[0] != '\0')
            PlaceFile(2, c.name, c.file);
        Recorder().currentRow = 3;
        RunJob(kJobVerifySelection);
        EXPECT_EQ(Joined(Recorder().CallsExcept("bar")), c.calls);
        // Compared inside the device: nothing is read back.
        EXPECT_EQ(Frames('8', 'V').size(), c.verifyFrames);
        EXPECT_TRUE(Frames('8', 'R').empty());
    }
}

TEST_F(DeviceJobs, VerifyAllGoesOnAfterADifferenceAndSkipsPositionsWithoutFiles)
{
    // Position A lies beyond the eight rows shown, and differs in bank 9.
    const Bytes image = Pattern(0x40000, 7);
    PlaceFile(1, "one.bin", image);
    PlaceFile(10, "ten.bin", image);
    SetPosition(1, image);
    Bytes differs = image;
    differs[0x3F000] ^= 0x80;
    SetPosition(10, differs);

    EXPECT_EQ(RunJob(kJobVerifyAll), 1u);
    EXPECT_EQ(CallsStartingWith({"status|Position ", "sound|", "done|"}),
              (Calls{"status|Position 1 verify succeeded.|1|0", "status|Position A verify failed..|1|0", "sound|139",
                     "done|7|32775|0"}));
}

TEST_F(DeviceJobs, EraseJobsClearTheRecordsOfWhatTheyErasedAndOnlyTheCellsShown)
{
    std::vector<int> everySector(64);
    std::iota(everySector.begin(), everySector.end(), 0);
    const std::string refused = "status| FAILED|0|0\nfailed|erasing ";
    struct Case {
        const char* what;
        JobKind kind;
        int row;
        bool refused;  // the second sector erase is answered "?"
        std::string calls;
        std::vector<int> sectors;
        int cleared;  // the record cleared: a position, all 16, or -1 for none
    } const cases[] = {
        {"row 3", kJobEraseSelection, 3, false,
         "row\nstatus|Erasing position 2...|1|0\nselector|16\ncell|3|\nstatus| OK|0|0\nsound|137\ninfo|3\n"
         "done|4|32772|1",
         {8, 9, 10, 11}, 2},
        {"row 3, refused", kJobEraseSelection, 3, true,
         "row\nstatus|Erasing position 2...|1|0\nselector|16\n" + refused +
             "position 2|CW_E_INVALID_REQUEST_PARAM\nsound|136\ninfo|3\ndone|4|32772|0",
         {8, 9, 10, 11}, -1},
        {"no row selected", kJobEraseSelection, 0, false, "row\nsound|136\ninfo|0\ndone|4|32772|0", {}, -1},
        // Eight rows shown: the cells of rows 9 to 16 are not touched.
        {"the device", kJobEraseDevice, 5, false,
         "status|Erasing device...|1|0\ncell|1|\ncell|2|\ncell|3|\ncell|4|\ncell|5|\ncell|6|\ncell|7|\ncell|8|\n"
         "row\ninfo|5\nstatus| OK|0|0\nsound|137\ndone|8|32776|1",
         everySector, kPositionCount},
        {"the device, refused", kJobEraseDevice, 5, true,
         "status|Erasing device...|1|0\n" + refused + "the device|CW_E_INVALID_REQUEST_PARAM\nsound|136\n"
         "done|8|32776|0",
         everySector, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Attach(c.refused ? std::vector<SimFault>{{'8', 2, SimFaultKind::kQuestion, 0}} : std::vector<SimFault>{});
        Recorder().currentRow = c.row;
        RunJob(c.kind);
        EXPECT_EQ(Joined(Recorder().CallsExcept("bar")), c.calls);
        EXPECT_EQ(ErasedSectors(), c.sectors);
        for (int p = 0; p < kPositionCount; ++p)
            EXPECT_EQ(Table(p), c.cleared == p || c.cleared == kPositionCount ? kCleared : kStale) << p;
    }
}
