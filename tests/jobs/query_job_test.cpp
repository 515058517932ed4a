#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "jobs/query_job.h"
#include "tests/jobs/device_jobs.h"

namespace {

const char kOrreryName[] = "Orrery Programmer v1.5.Z";

Bytes Stamped(const char* path, const char* summary)
{
    TuneMetadata record;
    memset(&record, 0xFF, sizeof record);
    StampMetadata(&record, path, 0x38000, 0x09080100);
    snprintf(record.summary, sizeof record.summary, "%s", summary);
    return BytesOf(record);
}

uint32_t RecordAddress(int position)
{
    return uint32_t(position) * kTuneImageSize + kMetadataOffset;
}

// What the table holds for a position the device keeps `stored` in: the same bytes, but
// no path unless it starts with a letter.
Bytes AsRead(Bytes stored)
{
    const size_t path = offsetof(TuneMetadata, originalPath);
    const uint8_t c = stored[path];
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
        stored[path] = 0;
    return stored;
}

const Bytes kErased(sizeof(TuneMetadata), 0xFF);

} // namespace

TEST_F(DeviceJobs, QueryFindsOnlyTheProgrammerAndReadsAllSixteenRecordsOnItsOwnThread)
{
    // Heron II, a chip programmer of the family but not the Orrery, and no device at all:
    // nothing found, and nothing left of the last search.
    for (bool heron : {true, false}) {
        SCOPED_TRACE(heron ? "another model" : "no device");
        Attach({}, ModelConfig('P'));
        SearchFrom(heron);
        EXPECT_EQ(RunJob(kJobQueryDevice), 1u);
        EXPECT_EQ(Recorder().Calls(), (Calls{"status|Searching for hardware...|0|1", "status|Hardware not found.|1|0",
                                             "done|1|32769|0"}));
        EXPECT_STREQ(g_app.deviceDescription, "");
        EXPECT_EQ(BytesOf(g_app.deviceMetadata), Bytes(sizeof g_app.deviceMetadata, 0));
    }

    Attach();
    SearchFrom(true);
    // Position 15 lies beyond the eight positions shown; position 3's path starts with a
    // digit, so the table keeps the record but not its path.
    const std::map<int, Bytes> stored = {
        {0, Stamped("C:\\Tunes\\stock.bin", "Stock")},
        {3, Stamped("9th gear.bin", "Gears")},
        {15, Stamped("z:/extended.bin", "Extended")},
    };
    for (const auto& s : stored)
        device().SetFlash(RecordAddress(s.first), s.second);

    ASSERT_NE(StartQueryJob(), 0u);
    ASSERT_TRUE(Recorder().WaitForDone(30000));

    // The completion comes last, after the last status line and the sound; the bar moved in
    // between and stands at 0 again.
    EXPECT_EQ(Recorder().CallsExcept("bar"),
              (Calls{"status|Searching for hardware...|0|1", "status|Getting device tune metadata...|1|0",
                     "status|Hardware ready.|0|1", std::string("status|") + kOrreryName + "|1|0", "sound|138",
                     "done|1|32769|1"}));
    Calls all = Recorder().Calls();
    auto ready = std::find(all.begin(), all.end(), "status|Hardware ready.|0|1");
    ASSERT_TRUE(ready != all.begin() && ready != all.end());
    EXPECT_EQ(*(ready - 1), "bar|pos|0");
    EXPECT_EQ(Recorder().Box(), std::string("Hardware ready.\r\n") + kOrreryName);
    EXPECT_STREQ(g_app.deviceDescription, kOrreryName);
    for (int p = 0; p < kPositionCount; ++p) {
        auto s = stored.find(p);
        EXPECT_EQ(Table(p), AsRead(s != stored.end() ? s->second : kErased)) << "position " << p;
    }

    // Outside the device, or without a record: refused before anything is sent.
    device().trace().Clear();
    TuneMetadata record;
    EXPECT_EQ(ReadDeviceMetadata(16, &record), 0);
    EXPECT_EQ(ReadDeviceMetadata(-1, &record), 0);
    EXPECT_EQ(ReadDeviceMetadata(0, nullptr), 0);
    EXPECT_TRUE(line_->Trace().empty());
}

TEST_F(DeviceJobs, QueryOfADeviceThatStopsAnsweringKeepsTheRecordsReadAndSaysSo)
{
    const Bytes second = Stamped("C:\\Tunes\\second.bin", "Second");
    // Each record is four read frames: the first frame of position 5 gets no answer.
    Attach({{'8', 5 * 4 + 1, SimFaultKind::kSilence, 0}});
    device().SetFlash(RecordAddress(2), second);
    device().SetFlash(RecordAddress(7), Stamped("C:\\Tunes\\seventh.bin", "Seventh"));
    SearchFrom(true);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunJob(kJobQueryDevice), 1u);
    // One read time-out (6 s), not one for every position left.
    EXPECT_LT(MsSince(start), 9000);
    for (int p = 0; p < kPositionCount; ++p) {
        const Bytes expected = p >= 5 ? Bytes(sizeof(TuneMetadata), 0) : AsRead(p == 2 ? second : kErased);
        EXPECT_EQ(Table(p), expected) << "position " << p;
    }
    EXPECT_EQ(Recorder().Box(), std::string("Hardware ready.\r\n") + kOrreryName +
                                    "\r\nFailed to get tune metadata from device.");
    Calls calls = Recorder().CallsExcept("bar");
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "sound|138");
    EXPECT_EQ(calls.back(), "done|1|32769|1");
}
