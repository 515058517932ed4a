#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "jobs/query_job.h"
#include "tests/jobs/job_recorder.h"
#include "tests/support/sim_bench.h"

namespace {

typedef std::vector<std::string> Calls;
typedef std::vector<uint8_t> Bytes;

const char kOrreryName[] = "Orrery Programmer v1.5.Z";

Bytes BytesOf(const TuneMetadata& record)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&record);
    return Bytes(p, p + sizeof record);
}

TuneMetadata Stamped(const char* path, const char* summary)
{
    TuneMetadata record;
    memset(&record, 0xFF, sizeof record);
    StampMetadata(&record, path, 0x38000, 0x09080100);
    snprintf(record.summary, sizeof record.summary, "%s", summary);
    snprintf(record.version, sizeof record.version, "v2");
    snprintf(record.description, sizeof record.description, "Stage 1 for %s", summary);
    return record;
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

// The job runs in the program's own state: g_app's channel searches a short list of ports,
// and the window is the recorder.
class QueryJob : public ::testing::Test {
protected:
    void SetUp() override
    {
        Recorder().Reset();
        SetJobUi(Recorder().ui());
        g_app.chipId = 12;
        g_app.positionCount = 8;
        g_app.mainWindow = &window_;
        ForgetDevice();
    }
    void TearDown() override
    {
        g_app.channel.ClosePort();
        g_app.channel.portCandidates = nullptr;
        g_app.channel.portCandidateCount = 0;
        SetJobUi(nullptr);
    }

    // Stale contents the job must replace, and a closed port searched from port 0.
    void ForgetDevice()
    {
        g_app.channel.ClosePort();
        g_app.channel.lastPortIndex = 0;
        memset(g_app.deviceMetadata, 0xAA, sizeof g_app.deviceMetadata);
        snprintf(g_app.deviceDescription, sizeof g_app.deviceDescription, "stale");
    }

    // The device on port 2 of three; no path leaves all three empty.
    void PlaceDevice(const char* path)
    {
        ports_ = {"/nonexistent/port0", "/nonexistent/port1", path != nullptr ? path : "/nonexistent/port2"};
        pointers_.clear();
        for (const std::string& p : ports_)
            pointers_.push_back(p.c_str());
        g_app.channel.portCandidates = pointers_.data();
        g_app.channel.portCandidateCount = uint32_t(pointers_.size());
    }

    static uint32_t RunQuery()
    {
        return JobThreadProc(new JobRequest{kJobQueryDevice, g_app.mainWindow, kJobMessageBase + kJobQueryDevice});
    }

    int window_ = 0;
    std::vector<std::string> ports_;
    std::vector<const char*> pointers_;
};

} // namespace

TEST_F(QueryJob, FindsTheProgrammerAndReadsAllSixteenRecordsOnItsOwnThread)
{
    SimLine line;
    PlaceDevice(line.path());
    // Position 15 lies beyond the eight positions shown; position 3's path starts with a
    // digit, so the table keeps the record but not its path.
    const std::map<int, Bytes> stored = {
        {0, BytesOf(Stamped("C:\\Tunes\\stock.bin", "Stock"))},
        {3, BytesOf(Stamped("9th gear.bin", "Gears"))},
        {15, BytesOf(Stamped("z:/extended.bin", "Extended"))},
    };
    for (const auto& s : stored)
        line.device.SetFlash(RecordAddress(s.first), s.second);

    ASSERT_NE(StartQueryJob(), 0u);
    ASSERT_TRUE(Recorder().WaitForDone(30000));

    // The completion comes last, after the last status line and the sound; the bar moved in
    // between and stands at 0 again.
    EXPECT_EQ(Recorder().CallsExcept("bar"), (Calls{
                                                 "status|Searching for hardware...|0|1",
                                                 "status|Getting device tune metadata...|1|0",
                                                 "status|Hardware ready.|0|1",
                                                 std::string("status|") + kOrreryName + "|1|0",
                                                 "sound|138",
                                                 "done|1|32769|1",
                                             }));
    Calls all = Recorder().Calls();
    auto ready = std::find(all.begin(), all.end(), "status|Hardware ready.|0|1");
    ASSERT_TRUE(ready != all.begin() && ready != all.end());
    EXPECT_EQ(*(ready - 1), "bar|pos|0");
    EXPECT_EQ(Recorder().Box(), std::string("Hardware ready.\r\n") + kOrreryName);
    EXPECT_EQ(Recorder().DoneRequest().notifyWindow, g_app.mainWindow);
    EXPECT_STREQ(g_app.deviceDescription, kOrreryName);

    for (int p = 0; p < kPositionCount; ++p) {
        auto s = stored.find(p);
        EXPECT_EQ(BytesOf(g_app.deviceMetadata[p]), AsRead(s != stored.end() ? s->second : kErased)) << "position " << p;
    }

    // Outside the device, or without a record: refused before anything is sent.
    line.device.trace().Clear();
    TuneMetadata record;
    EXPECT_EQ(ReadDeviceMetadata(16, &record), 0);
    EXPECT_EQ(ReadDeviceMetadata(-1, &record), 0);
    EXPECT_EQ(ReadDeviceMetadata(0, nullptr), 0);
    EXPECT_TRUE(line.Trace().empty());
}

TEST_F(QueryJob, AnotherModelOrNoDeviceIsNotFound)
{
    // Heron II: a chip programmer of the family, but not the Orrery.
    SimLine heron(ModelConfig('P'));
    for (const char* path : {heron.path(), static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(path != nullptr ? "another model" : "no device");
        ForgetDevice();
        Recorder().Reset();
        PlaceDevice(path);
        EXPECT_EQ(RunQuery(), 1u);
        EXPECT_EQ(Recorder().Calls(), (Calls{
                                          "status|Searching for hardware...|0|1",
                                          "status|Hardware not found.|1|0",
                                          "done|1|32769|0",
                                      }));
        EXPECT_STREQ(g_app.deviceDescription, "");
        const Bytes zeros(sizeof g_app.deviceMetadata, 0);
        const uint8_t* table = reinterpret_cast<const uint8_t*>(g_app.deviceMetadata);
        EXPECT_EQ(Bytes(table, table + sizeof g_app.deviceMetadata), zeros);
    }
}

TEST_F(QueryJob, ADeviceThatStopsAnsweringKeepsTheRecordsReadAndSaysSo)
{
    SimLine line;
    PlaceDevice(line.path());
    const Bytes second = BytesOf(Stamped("C:\\Tunes\\second.bin", "Second"));
    line.device.SetFlash(RecordAddress(2), second);
    line.device.SetFlash(RecordAddress(7), BytesOf(Stamped("C:\\Tunes\\seventh.bin", "Seventh")));
    // Each record is four read frames: the first frame of position 5 gets no answer.
    line.device.AddFault({'8', 5 * 4 + 1, SimFaultKind::kSilence, 0});

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunQuery(), 1u);
    // One read time-out (6 s), not one for every position left.
    EXPECT_LT(MsSince(start), 9000);

    for (int p = 0; p < kPositionCount; ++p) {
        const Bytes expected = p >= 5 ? Bytes(sizeof(TuneMetadata), 0) : AsRead(p == 2 ? second : kErased);
        EXPECT_EQ(BytesOf(g_app.deviceMetadata[p]), expected) << "position " << p;
    }
    EXPECT_EQ(Recorder().Box(), std::string("Hardware ready.\r\n") + kOrreryName +
                                    "\r\nFailed to get tune metadata from device.");
    Calls calls = Recorder().CallsExcept("bar");
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "sound|138");
    EXPECT_EQ(calls.back(), "done|1|32769|1");
}
