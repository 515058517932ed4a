#include "jobs/thread_start.h"

#include <windows.h>

#include "jobs/job_thread.h"

namespace {

DWORD WINAPI RunJob(LPVOID request)
{
    return JobThreadProc(static_cast<JobRequest*>(request));
}

} // namespace

uint32_t StartJobThread(JobRequest* request)
{
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, RunJob, request, 0, &id);
    if (thread == nullptr)
        return 0;
    // Detached: the job reports its end with the completion message, not through the handle.
    CloseHandle(thread);
    return id;
}
