#include "app/job_commands.h"

#include <windows.h>

#include "app/command_state.h"
#include "app/job_completion.h"
#include "app/prompts.h"
#include "jobs/job_thread.h"

// Disables the job commands first, so one job runs at a time. A job whose thread could
// not start never reports back: it is finished here as a failure instead, so the window
// does not stay busy for good.
static void StartJob(uint32_t (*launcher)(), uint32_t kind)
{
    // The commands are disabled while a job runs, but a command can still arrive by
    // message; a second job would share the device with the first.
    if (IsJobRunning())
        return;
    EnterBusyState();
    if (launcher() == 0)
        OnJobCompleted(kind, 0);
}

// The whole-device jobs ask first; only Yes starts them.
static void StartJobIfConfirmed(const char* text, const char* title, uint32_t (*launcher)(), uint32_t kind)
{
    if (IsJobRunning())
        return;
    if (AskUser(text, title, MB_YESNO | MB_ICONQUESTION) == IDYES)
        StartJob(launcher, kind);
}

static const char kMayTakeAWhile[] = "This may take a while. Are you sure?";

void OnQueryDevice()
{
    StartJob(StartQueryJob, kJobQueryDevice);
}

void OnWriteSelection()
{
    StartJob(StartWriteSelectionJob, kJobWriteSelection);
}

void OnWriteAll()
{
    StartJobIfConfirmed(kMayTakeAWhile, "Write All?", StartWriteAllJob, kJobWriteAll);
}

void OnVerifySelection()
{
    StartJob(StartVerifySelectionJob, kJobVerifySelection);
}

void OnVerifyAll()
{
    StartJobIfConfirmed(kMayTakeAWhile, "Verify All?", StartVerifyAllJob, kJobVerifyAll);
}

void OnEraseSelection()
{
    StartJob(StartEraseSelectionJob, kJobEraseSelection);
}

void OnEraseDevice()
{
    StartJobIfConfirmed("Are you sure you want to erase the device?", "Erase Device?", StartEraseDeviceJob,
                        kJobEraseDevice);
}
