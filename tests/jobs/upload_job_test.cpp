#include <gtest/gtest.h>

#include <algorithm>

#include "jobs/upload_jobs.h"
#include "tests/jobs/device_jobs.h"

namespace {

const char kAsk[] =
    "ask|Calibration bank order could not be determined. Upload anyway?|Unknown File Format";

// The distinct bar positions reported from the write's begin to its end.
std::vector<uint32_t> WriteBar(const Calls& calls)
{
    std::vector<uint32_t> positions;
    auto c = std::find(calls.begin(), calls.end(), "status|Writing data to position 2...|1|0");
    for (; c != calls.end() && *c != "status| OK|0|0"; ++c) {
        if (c->compare(0, 8, "bar|pos|") == 0 && (positions.empty() || positions.back() != std::stoul(c->substr(8))))
            positions.push_back(uint32_t(std::stoul(c->substr(8))));
    }
    return positions;
}

} // namespace

TEST_F(DeviceJobs, WriteSelectionWritesTheStampedImageAndShowsItsRecord)
{
    struct Case {
        const char* what;
        uint32_t size;
        int yes;
        BankOrder order;
    } const cases[] = {
        {"two bank bodies, 112 KB", 0x1C000, 0, kBankOrderTwoBanks},
        {"a whole image, answered Yes", 0x40000, 1, kBankOrderImage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Attach();
        // Old contents that an unerased write would AND into the new ones.
        SetPosition(2, Pattern(0x40000, 0x33));
        const Bytes file = Pattern(c.size, 1);
        const std::string path =
            PlaceFile(2, std::string("a-tune-whose-name-is-longer-than-a-grid-cell-shows-") + c.what, file);
        Recorder().currentRow = 3;
        Recorder().yes = c.yes;
        EXPECT_EQ(RunJob(kJobWriteSelection), 1u);

        Calls expected = {"row", "status|Uploading to position 2...|1|0"};
        if (c.yes)
            expected.push_back(kAsk);
        const Calls rest = {"status|Erasing position 2...|1|0", "selector|16", "cell|3|", "status| OK|0|0",
                            "status|Writing data to position 2...|1|0", "selector|16", "status| OK|0|0",
                            "cell|3|..." + path.substr(path.size() - 52), "status|Upload succeeded.|1|0",
                            "sound|135", "info|3", "done|2|32770|1"};
        expected.insert(expected.end(), rest.begin(), rest.end());
        EXPECT_EQ(Recorder().CallsExcept("bar"), expected);

        // 0xFF wherever the file puts nothing, then the record stamped (at the time the
        // device holds: how a stamp is made, the record tests).
        Bytes image(0x40000, 0xFF);
        if (c.size == 0x40000) {
            image = file;
        } else {
            std::copy(file.begin(), file.begin() + 0xE000, image.begin() + 0x12000);
            std::copy(file.begin() + 0xE000, file.end(), image.begin() + 0x22000);
        }
        TuneMetadata record;
        memcpy(&record, &image[kMetadataOffset], sizeof record);
        StampMetadata(&record, path.c_str(), c.size, c.order);
        const Bytes held = Position(2);
        memcpy(&record.uploadTime, &held[kMetadataOffset + offsetof(TuneMetadata, uploadTime)], 8);
        EXPECT_TRUE(UploadTimePresent(record.uploadTime));
        memcpy(&image[kMetadataOffset], &record, sizeof record);
        EXPECT_TRUE(held == image);
        EXPECT_EQ(Table(2), BytesOf(record));
        EXPECT_EQ(Table(1), kStale);

        // Every block that is not blank is sent, and no blank one.
        size_t written = 0;
        for (size_t at = 0; at < image.size(); at += 256)
            written += std::any_of(image.begin() + at, image.begin() + at + 256, [](uint8_t b) { return b != 0xFF; });
        const std::vector<Bytes> frames = Frames('8', 'W');
        EXPECT_EQ(frames.size(), written);
        for (const Bytes& frame : frames)
            EXPECT_TRUE(std::any_of(frame.begin() + 6, frame.begin() + 262, [](uint8_t b) { return b != 0xFF; }));
        // The bar counts every block, the blank ones skipped too, then returns to 0.
        std::vector<uint32_t> bar = WriteBar(Recorder().Calls());
        ASSERT_EQ(bar.size(), 1026u);
        EXPECT_EQ(bar.back(), 0u);
        EXPECT_EQ(bar[1024], 1024u);
        EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end() - 1));
    }
}

TEST_F(DeviceJobs, UploadStopsAtEachFailureAndSaysWhere)
{
    const std::string opened = "status|Uploading to position 2...|1|0", failed = "status|Upload failed.|1|0";
    const std::string badSize = "status|Invalid file size or unknown calibration bank order.|1|0";
    const Calls erase = {opened, "status|Erasing position 2...|1|0", "selector|16"};
    struct Case {
        const char* what;
        int row;
        std::string path;
        Bytes file;
        std::vector<SimFault> faults;
        Calls calls;
        int result;
        size_t writeFrames;
        bool recordCleared;
    } const cases[] = {
        {"a row outside the grid", 17, "x.bin", Pattern(0x1C000, 0), {}, {}, 0, 0, false},
        {"no file for the position", 3, "", {}, {}, {}, 1, 0, false},
        {"a file that cannot be opened", 3, "missing.bin", {}, {}, {opened, "status|Invalid file path.|1|0", failed},
         0, 0, false},
        {"a file that cannot be read (a folder)", 3, ".", {}, {}, {opened, failed}, 0, 0, false},
        {"a size no tune has", 3, "odd.bin", Bytes(1000, 0), {}, {opened, badSize, failed}, 0, 0, false},
        {"one byte more than an image", 3, "long.bin", Bytes(0x40001, 0), {}, {opened, badSize, failed}, 0, 0, false},
        {"an image, answered No", 3, "image.bin", Bytes(0x40000, 0), {}, {opened, kAsk, badSize, failed}, 0, 0, false},
        // The first sector erase answers "?": nothing may be written after it.
        {"the erase fails", 3, "banks.bin", Pattern(0x1C000, 0), {{'8', 1, SimFaultKind::kQuestion, 0}},
         {erase[0], erase[1], erase[2], "status| FAILED|0|0", "failed|erasing position 2|CW_E_INVALID_REQUEST_PARAM",
          failed}, 0, 0, false},
        // Four sector erases, then the first block of the bank bodies is refused.
        {"the write fails", 3, "banks.bin", Pattern(0x1C000, 0), {{'8', 5, SimFaultKind::kQuestion, 0}},
         {erase[0], erase[1], erase[2], "cell|3|", "status| OK|0|0", "status|Writing data to position 2...|1|0",
          "selector|16", "status| FAILED|0|0", "failed|writing position 2|CW_E_INVALID_RESPONSE", failed}, 0, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Attach(c.faults);
        memset(&g_settings.layout, 0, sizeof g_settings.layout);
        if (!c.file.empty())
            PlaceFile(2, c.path, c.file);
        else if (!c.path.empty())
            SetPath(2, folder_.File(c.path));
        EXPECT_EQ(UploadPosition(c.row), c.result);
        EXPECT_EQ(Recorder().CallsExcept("bar"), c.calls);
        EXPECT_EQ(Frames('8', 'W').size(), c.writeFrames);
        // Only a successful erase clears the position's record.
        EXPECT_EQ(Table(2), c.recordCleared ? kCleared : kStale);
    }
}

TEST_F(DeviceJobs, WriteAllWritesEveryPositionThatHasAFileWhateverIsShown)
{
    // Position 9 lies beyond the eight rows shown.
    PlaceFile(2, "two.bin", Pattern(0x1C000, 2));
    PlaceFile(9, "nine.bin", Pattern(0x1C000, 9));
    EXPECT_EQ(RunJob(kJobWriteAll), 1u);

    EXPECT_EQ(CallsStartingWith({"status|Upload", "sound|", "info|", "done|"}),
              (Calls{"status|Uploading to position 2...|1|0", "status|Upload succeeded.|1|0",
                     "status|Uploading to position 9...|1|0", "status|Upload succeeded.|1|0", "sound|135",
                     "done|5|32773|1"}));
    EXPECT_EQ(ErasedSectors(), (std::vector<int>{8, 9, 10, 11, 36, 37, 38, 39}));
    for (const Bytes& frame : Frames('8', 'W')) {
        const uint32_t position = (uint32_t(frame[3]) << 16 | uint32_t(frame[4]) << 8 | frame[5]) / 0x40000;
        EXPECT_TRUE(position == 2 || position == 9) << position;
    }
}
