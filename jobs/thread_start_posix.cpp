#include "jobs/thread_start.h"

#include <pthread.h>

#include <atomic>

#include "jobs/job_thread.h"

namespace {

void* RunJob(void* request)
{
    JobThreadProc(static_cast<JobRequest*>(request));
    return nullptr;
}

// POSIX thread ids are opaque; callers only need a number that tells the jobs apart.
std::atomic<uint32_t> g_lastThreadId{0};

} // namespace

uint32_t StartJobThread(JobRequest* request)
{
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
        return 0;
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    const int failed = pthread_create(&thread, &attributes, RunJob, request);
    pthread_attr_destroy(&attributes);
    if (failed != 0)
        return 0;
    uint32_t id = ++g_lastThreadId;
    return id != 0 ? id : ++g_lastThreadId;
}
