#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "jobs/query_job.h"
#include "tests/jobs/device_jobs.h"

namespace {

const std::string kOrrery = "Orrery Programmer v1.5.Z";
// An erased record as the table holds it: 0xFF is no letter, so no path.
const Bytes kErased = [] {
    Bytes record(sizeof(TuneMetadata), 0xFF);
    record[offsetof(TuneMetadata, originalPath)] = 0;
    return record;
}();

// Stamps a record from this path into the device's position p; returns its bytes.
Bytes PutRecord(SimDevice& device, int p, const char* path)
{
    TuneMetadata record;
    memset(&record, 0xFF, sizeof record);
    StampMetadata(&record, path, 0x38000, 0x09080100);
    device.SetFlash(uint32_t(p) * kTuneImageSize + kMetadataOffset, BytesOf(record));
    return BytesOf(record);
}

} // namespace

TEST_F(DeviceJobs, QueryFindsOnlyTheProgrammerAndReadsAllSixteenRecordsOnItsOwnThread)
{
    // Heron II, a chip programmer of the family but not the Orrery: nothing found, and
    // nothing left of the last search.
    Attach(0, SimFaultKind::kQuestion, ModelConfig('P'));
    EXPECT_EQ(RunJob(kJobQueryDevice), 1u);
    EXPECT_EQ(Recorder().calls(),
              "status|Searching for hardware...|0|1\nstatus|Hardware not found.|1|0\ndone|1|32769|0");
    EXPECT_STREQ(g_app.deviceDescription, "");
    EXPECT_EQ(BytesOf(g_app.deviceMetadata), Bytes(sizeof g_app.deviceMetadata, 0));

    Attach();
    // Position 15 lies beyond the eight positions shown; position 3's path starts with a
    // digit, so the table keeps the record but not its path.
    std::map<int, Bytes> stored = {{0, PutRecord(device(), 0, "C:\\Tunes\\stock.bin")},
                                   {3, PutRecord(device(), 3, "9th gear.bin")},
                                   {15, PutRecord(device(), 15, "z:/extended.bin")}};
    stored[3][offsetof(TuneMetadata, originalPath)] = 0;
    // With the program's /log, the device's reply time is measured once it is found.
    CaptureSink log;
    g_app.channel.SetLogTarget(log.sink());
    ASSERT_NE(StartQueryJob(), 0u);
    ASSERT_TRUE(Recorder().WaitForDone(30000));
    g_app.channel.SetLogTarget(nullptr);
    const Lines lines = log.lines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.compare(0, 24, "KVChipwise: reply time: ") == 0; }),
              1);
    // The completion comes last, after the last status line and the sound; the bar stands
    // at 0 again.
    EXPECT_EQ(Recorder().calls(), "status|Searching for hardware...|0|1\nstatus|Getting device tune metadata...|1|0\n"
                                  "status|Hardware ready.|0|1\nstatus|" + kOrrery + "|1|0\nsound|138\ndone|1|32769|1");
    const std::string bar = Recorder().bar();
    EXPECT_EQ(bar.substr(bar.rfind('\n')), "\npos|0");
    EXPECT_EQ(g_app.deviceDescription, kOrrery);
    for (int p = 0; p < kPositionCount; ++p)
        EXPECT_EQ(Table(p), stored.count(p) ? stored[p] : kErased) << "position " << p;
}

TEST_F(DeviceJobs, QueryThatFailsPartWayKeepsTheRecordsReadAndSaysSo)
{
    // Each record is four read frames: the first frame of position 5 gets a bad reply.
    Attach(5 * 4 + 1, SimFaultKind::kBadChecksum);
    const Bytes second = PutRecord(device(), 2, "C:\\Tunes\\second.bin");
    PutRecord(device(), 5, "C:\\Tunes\\fifth.bin");
    PutRecord(device(), 7, "C:\\Tunes\\seventh.bin");
    EXPECT_EQ(RunJob(kJobQueryDevice), 1u);
    // Position 5's refused frame is not its record: it stays zero like those after it.
    for (int p = 0; p < kPositionCount; ++p)
        EXPECT_TRUE(Table(p) == (p >= 5 ? kCleared : p == 2 ? second : kErased)) << "position " << p;
    // The box is cleared for "Hardware ready.": the failure is written again below the
    // description.
    const std::string calls = Recorder().calls();
    EXPECT_EQ(calls.substr(calls.find("status|Hardware ready.")),
              "status|Hardware ready.|0|1\nstatus|" + kOrrery + "|1|0\n"
              "status|Failed to get tune metadata from device.|1|0\nsound|138\ndone|1|32769|1");
}
