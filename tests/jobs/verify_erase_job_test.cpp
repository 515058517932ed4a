#include <gtest/gtest.h>

#include "jobs/erase_jobs.h"
#include "jobs/verify_jobs.h"
#include "tests/jobs/position_jobs.h"

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

TEST_F(PositionJobs, VerifyComparesTheBankBodiesInTheDeviceUntilOneDiffers)
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

TEST_F(PositionJobs, VerifyAllGoesOnAfterADifferenceAndSkipsPositionsWithoutFiles)
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

TEST_F(PositionJobs, EraseSelectionErasesItsRowsFourSectorsAndClearsOnlyItsRecord)
{
    for (int p = 1; p <= 3; ++p)
        SetPosition(p, Pattern(0x40000, uint8_t(p)));
    Recorder().currentRow = 3;
    EXPECT_EQ(RunJob(kJobEraseSelection), 1u);

    EXPECT_EQ(Recorder().CallsExcept("bar"),
              (Calls{"row", "status|Erasing position 2...|1|0", "selector|16", "cell|3|", "status| OK|0|0",
                     "sound|137", "info|3", "done|4|32772|1"}));
    EXPECT_EQ(ErasedSectors(), (std::vector<int>{8, 9, 10, 11}));
    EXPECT_TRUE(Position(2) == Bytes(0x40000, 0xFF));
    EXPECT_TRUE(Position(1) == Pattern(0x40000, 1));
    EXPECT_TRUE(Position(3) == Pattern(0x40000, 3));
    EXPECT_EQ(Table(2), kCleared);
    EXPECT_EQ(Table(1), kStale);
    EXPECT_EQ(Table(3), kStale);
}

TEST_F(PositionJobs, EraseDeviceClearsEveryRecordButOnlyTheCellsOfTheRowsShown)
{
    SetPosition(15, Pattern(0x40000, 15));
    Recorder().currentRow = 5;
    EXPECT_EQ(RunJob(kJobEraseDevice), 1u);

    EXPECT_EQ(Recorder().CallsExcept("bar"),
              (Calls{"status|Erasing device...|1|0", "cell|1|", "cell|2|", "cell|3|", "cell|4|", "cell|5|", "cell|6|",
                     "cell|7|", "cell|8|", "row", "info|5", "status| OK|0|0", "sound|137", "done|8|32776|1"}));
    EXPECT_EQ(ErasedSectors().size(), 64u);
    EXPECT_TRUE(Position(15) == Bytes(0x40000, 0xFF));
    for (int p = 0; p < kPositionCount; ++p)
        EXPECT_EQ(Table(p), kCleared) << p;
}

TEST_F(PositionJobs, FailedErasesKeepTheRecordsAndTheGrid)
{
    const SimFault refused = {'8', 2, SimFaultKind::kQuestion, 0};
    struct Case {
        const char* what;
        JobKind kind;
        int row;
        Calls calls;
    } const cases[] = {
        {"a position", kJobEraseSelection, 3,
         {"row", "status|Erasing position 2...|1|0", "selector|16", "status| FAILED|0|0",
          "failed|erasing position 2|CW_E_INVALID_REQUEST_PARAM", "sound|136", "info|3", "done|4|32772|0"}},
        {"no row selected", kJobEraseSelection, 0, {"row", "sound|136", "info|0", "done|4|32772|0"}},
        {"the device", kJobEraseDevice, 3,
         {"status|Erasing device...|1|0", "status| FAILED|0|0", "failed|erasing the device|CW_E_INVALID_REQUEST_PARAM",
          "sound|136", "done|8|32776|0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Attach({refused});
        Recorder().currentRow = c.row;
        RunJob(c.kind);
        EXPECT_EQ(Recorder().CallsExcept("bar"), c.calls);
        for (int p = 0; p < kPositionCount; ++p)
            EXPECT_EQ(Table(p), kStale) << p;
    }
}
