#include "app/job_commands.h"

#include "app/command_state.h"
#include "app/job_completion.h"
#include "jobs/job_thread.h"

// Disables the job commands first, so one job runs at a time. A job whose thread could
// not start never reports back: it is finished here as a failure instead, so the window
// does not stay busy for good.
static void StartJob(uint32_t (*launcher)(), uint32_t kind)
{
    EnterBusyState();
    if (launcher() == 0)
        OnJobCompleted(kind, 0);
}

void OnQueryDevice()
{
    StartJob(StartQueryJob, kJobQueryDevice);
}

void OnWriteSelection() {}
void OnWriteAll() {}
void OnVerifySelection() {}
void OnVerifyAll() {}
void OnEraseSelection() {}
void OnEraseDevice() {}
