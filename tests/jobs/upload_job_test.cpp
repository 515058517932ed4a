#include <gtest/gtest.h>

#include "app/position_paths.h"
#include "jobs/upload_jobs.h"
#include "tests/jobs/device_jobs.h"

namespace {

const std::string kAsk = "ask|Calibration bank order could not be determined. Upload anyway?|Unknown File Format";
const std::string kOpened = "status|Uploading to position 2...|1|0\n", kFailed = "status|Upload failed.|1|0";
const std::string kErasing = kOpened + "status|Erasing position 2...|1|0\nselector|16\n";

} // namespace

// What the device holds afterwards, the stamped image and nothing else changed, is checked
// byte for byte by the end-to-end device session.
TEST_F(DeviceJobs, WriteSelectionErasesWritesAndShowsTheRecord)
{
    const std::string path =
        PlaceFile(2, "a-tune-whose-name-is-longer-than-a-grid-cell-shows-in-the-grid.bin", Pattern(0x1C000, 1));
    Recorder().Reset(3);
    EXPECT_EQ(RunJob(kJobWriteSelection), 1u);
    EXPECT_EQ(Recorder().calls(),
              "row\n" + kErasing + "cell|3|\nstatus| OK|0|0\nstatus|Writing data to position 2...|1|0\nselector|16\n"
              "status| OK|0|0\ncell|3|..." + path.substr(path.size() - 52) +
              "\nstatus|Upload succeeded.|1|0\nsound|135\ninfo|3\ndone|2|32770|1");
    EXPECT_EQ(Erased(), "08 09 0A 0B ");
    EXPECT_EQ(Table(2), device().Flash(2 * kTuneImageSize + kMetadataOffset, sizeof(TuneMetadata)));
    EXPECT_EQ(std::string(g_app.deviceMetadata[2].originalPath), path);
    EXPECT_EQ(Table(1), kStale);
    // The bar counts every block in order, the blank ones at the end too, then returns to 0.
    const std::string bar = Recorder().bar();
    std::string steps = "range|1024\npos|0";
    for (int block = 1; block <= 1024; ++block)
        steps += "\npos|" + std::to_string(block);
    EXPECT_EQ(bar.substr(bar.rfind("range|")), steps + "\npos|1024\npos|0");

    // Chosen by itself, a row without a file is an error, not a write of nothing.
    Recorder().Reset(5);
    EXPECT_EQ(RunJob(kJobWriteSelection), 1u);
    EXPECT_EQ(Recorder().calls(), "row\nstatus|No tune file selected for position 4.|1|0\nsound|136\ninfo|5\n"
                                  "done|2|32770|0");
}

TEST_F(DeviceJobs, UploadStopsAtEachFailureAndSaysWhere)
{
    const std::string badSize = "status|Invalid file size or unknown calibration bank order.|1|0\n";
    const struct {
        const char* what;
        int row;
        const char* name;
        Bytes file;
        uint32_t refusedFrame;  // the device frame answered "?", 0 for none
        std::string calls;
        bool erased;  // the record is cleared, and one block is sent
    } cases[] = {
        {"no row selected", 0, "x.bin", Pattern(0x1C000, 0), 0, "", false},
        {"a file that cannot be opened", 3, "gone/missing.bin", {}, 0,
         kOpened + "status|Invalid file path.|1|0\n" + kFailed, false},
        {"a file that cannot be read (a folder)", 3, ".", {}, 0, kOpened + kFailed, false},
        {"one byte more than an image", 3, "long.bin", Bytes(0x40001, 0), 0, kOpened + badSize + kFailed, false},
        // Only a whole image is worth the question.
        {"one byte less than an image", 3, "short.bin", Bytes(0x3FFFF, 0), 0, kOpened + badSize + kFailed, false},
        {"an image, answered No", 3, "image.bin", Bytes(0x40000, 0), 0, kOpened + kAsk + "\n" + badSize + kFailed,
         false},
        // The first sector erase is refused: nothing may be written after it.
        {"the erase fails", 3, "banks.bin", Pattern(0x1C000, 0), 1,
         kErasing + "status| FAILED|0|0\nfailed|erasing position 2|CW_E_INVALID_REQUEST_PARAM\n" + kFailed, false},
        // Four sector erases, then the first block of the bank bodies is refused.
        {"the write fails", 3, "banks.bin", Pattern(0x1C000, 0), 5,
         kErasing + "cell|3|\nstatus| OK|0|0\nstatus|Writing data to position 2...|1|0\nselector|16\n"
                    "status| FAILED|0|0\nfailed|writing position 2|CW_E_INVALID_RESPONSE\n" + kFailed,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Attach(c.refusedFrame);
        PlaceFile(2, c.name, c.file);
        EXPECT_EQ(UploadPosition(c.row), 0);
        EXPECT_EQ(Recorder().calls(), c.calls);
        EXPECT_EQ(Sent("> 38 57"), c.erased ? 1u : 0u);
        EXPECT_EQ(Table(2), c.erased ? kCleared : kStale);
    }
}

TEST_F(DeviceJobs, WriteAllWritesEveryPositionOfItsLayoutWhateverIsShownOrFails)
{
    // Position 9 lies beyond the eight rows shown.
    PlaceFile(2, "two.bin", Pattern(0x1C000, 2));
    PlaceFile(9, "nine.bin", Pattern(0x1C000, 9));
    EXPECT_EQ(RunJob(kJobWriteAll), 1u);
    std::string calls = Recorder().calls();
    EXPECT_EQ(calls.substr(calls.rfind("status|Upload")), "status|Upload succeeded.|1|0\nsound|135\ndone|5|32773|1");
    EXPECT_EQ(Erased(), "08 09 0A 0B 24 25 26 27 ");

    // While position 2 is written, the device refuses it and another layout is loaded:
    // the job goes on with the layout it started with and ends failed.
    Attach();
    Bytes files[kPositionCount];
    for (int p : {1, 2, 3, 9})
        PlaceFile(p, "tune" + std::to_string(p) + ".bin", files[p] = Pattern(0x1C000, uint8_t(p)));
    const std::string otherFile = folder_.File("other.bin");
    WriteBytes(otherFile, Pattern(0x1C000, 7));
    LayoutBlock other = {};
    for (int p : {3, 5})
        snprintf(other.positionPaths[p].path, kPathFieldSize, "%s", otherFile.c_str());
    Recorder().onStatus = [&](const std::string& text) {
        if (text == "Writing data to position 2...") {
            device().AddFault({'8', 0, SimFaultKind::kQuestion, 0});
            StoreLayout(other);
        }
        if (text == "Uploading to position 3...")
            device().ClearFaults();
    };
    EXPECT_EQ(RunJob(kJobWriteAll), 1u);
    calls = Recorder().calls();
    EXPECT_NE(calls.find("status|Writing data to position 2...|1|0\nselector|16\nstatus| FAILED|0|0"),
              std::string::npos);
    EXPECT_EQ(calls.substr(calls.rfind("status|Upload")), "status|Upload succeeded.|1|0\nsound|136\ndone|5|32773|0");
    EXPECT_EQ(Erased(), "04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 24 25 26 27 ");
    // Position 2 holds what its refused write left.
    for (int p = 0; p < kPositionCount; ++p) {
        if (p == 2)
            continue;
        Bytes bodies = device().Flash(uint32_t(p) * kTuneImageSize + 0x12000, 0xE000);
        const Bytes second = device().Flash(uint32_t(p) * kTuneImageSize + 0x22000, 0xE000);
        bodies.insert(bodies.end(), second.begin(), second.end());
        EXPECT_EQ(bodies, files[p].empty() ? Bytes(0x1C000, 0xFF) : files[p]) << p;
    }
}
