#include <gtest/gtest.h>

#include "tests/jobs/device_jobs.h"

TEST_F(DeviceJobs, ProgressReportsMoveTheBarAndBadRequestsReportNothing)
{
    const struct {
        const char* what;
        uint32_t current, total, flags;
        const char* bar;
    } cases[] = {
        {"begin of a 1024-block write", 0, 1024, kProgressBegin, "range|1024\npos|0"},
        {"begin of a zero-length write", 0, 0, kProgressBegin, "range|0"},
        {"a block done", 5, 1024, kProgressStep, "pos|5"},
        {"text before the first block", 0, 3, kProgressText, "range|3\npos|0"},
        {"end of the write", 1024, 1024, kProgressEnd, "pos|1024\npos|0"},
        {"end of an open count, text dropped", 0, 0, kProgressEnd | kProgressText, "pos|0"},
    };
    for (const auto& c : cases) {
        Recorder().Reset();
        ProgressInfo info = {sizeof(ProgressInfo), c.current, c.total, c.flags, nullptr, 0};
        EXPECT_EQ(JobProgressCallback(&info), 0);
        EXPECT_EQ(Recorder().bar(), c.bar) << c.what;
    }

    Recorder().Reset();
    EXPECT_EQ(JobProgressCallback(nullptr), 0);
    EXPECT_EQ(JobThreadProc(nullptr), 0u);
    for (uint32_t kind : {0u, 3u, 9u, 0x8001u, 0xFFFFFFFFu})
        EXPECT_EQ(JobThreadProc(new JobRequest{kind, nullptr, kJobMessageBase + kind}), 0u) << kind;
    EXPECT_EQ(Recorder().calls() + Recorder().bar(), "");

    // A window without a bar, or no window at all: reports go nowhere, safely.
    ProgressInfo begin = {sizeof(ProgressInfo), 0, 8, kProgressBegin, nullptr, 0};
    const JobUi empty = {};
    for (const JobUi* ui : {&empty, static_cast<const JobUi*>(nullptr)}) {
        SetJobUi(ui);
        JobProgressCallback(&begin);
        PlayJobSound(138);
    }
}
