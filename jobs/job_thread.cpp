#include "jobs/job_thread.h"

#include <new>

#include "jobs/erase_jobs.h"
#include "jobs/job_ui_calls.h"
#include "jobs/query_job.h"
#include "jobs/thread_start.h"
#include "jobs/upload_jobs.h"
#include "jobs/verify_jobs.h"

namespace {

typedef int (*JobFunction)();

// Null for a kind no job has.
JobFunction JobOfKind(uint32_t kind)
{
    switch (kind) {
    case kJobQueryDevice: return JobQueryDevice;
    case kJobWriteSelection: return JobWriteSelection;
    case kJobEraseSelection: return JobEraseSelection;
    case kJobWriteAll: return JobWriteAll;
    case kJobVerifySelection: return JobVerifySelection;
    case kJobVerifyAll: return JobVerifyAll;
    case kJobEraseDevice: return JobEraseDevice;
    default: return nullptr;
    }
}

uint32_t StartJob(JobKind kind)
{
    JobRequest* request = new (std::nothrow) JobRequest{kind, g_app.mainWindow, kJobMessageBase + kind};
    if (request == nullptr)
        return 0;
    uint32_t id = StartJobThread(request);
    if (id == 0)
        delete request;
    return id;
}

} // namespace

uint32_t StartQueryJob() { return StartJob(kJobQueryDevice); }
uint32_t StartWriteSelectionJob() { return StartJob(kJobWriteSelection); }
uint32_t StartEraseSelectionJob() { return StartJob(kJobEraseSelection); }
uint32_t StartWriteAllJob() { return StartJob(kJobWriteAll); }
uint32_t StartVerifySelectionJob() { return StartJob(kJobVerifySelection); }
uint32_t StartVerifyAllJob() { return StartJob(kJobVerifyAll); }
uint32_t StartEraseDeviceJob() { return StartJob(kJobEraseDevice); }

uint32_t JobThreadProc(JobRequest* request)
{
    if (request == nullptr)
        return 0;
    // Freed at once; the window gets the worker's own copy, valid while it handles the
    // completion message.
    const JobRequest job = *request;
    delete request;
    JobFunction run = JobOfKind(job.kind);
    if (run == nullptr)
        return 0;
    const int result = run();
    UiJobDone(&job, result);
    return 1;
}

int JobProgressCallback(ProgressInfo* info)
{
    if (info == nullptr)
        return 0;
    // Called per 256-byte block: bar messages only, nothing formatted.
    if ((info->current == 0 && info->total != 0) || (info->flags & kProgressBegin))
        UiProgressBar(kBarSetRange, info->total);
    if ((info->flags & kProgressOpenStep) && info->current == 0 && info->total == 0)
        UiProgressBar(kBarStep, 0);
    if (info->total != 0)
        UiProgressBar(kBarSetPos, info->current);
    if (info->flags & kProgressEnd)
        UiProgressBar(kBarSetPos, 0);
    return 0;
}

void PlayJobSound(int resourceId)
{
    UiPlaySound(resourceId);
}
