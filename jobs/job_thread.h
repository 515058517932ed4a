// Every device action of the main window runs as a job on a worker thread of its own, which
// reports back with a completion message when it is done.
#pragma once
#include <cstdint>

#include "app/app_state.h"
#include "device/progress.h"
#include "jobs/job_ui.h"

enum JobKind : uint32_t {
    kJobQueryDevice = 1,
    kJobWriteSelection = 2,
    kJobEraseSelection = 4,
    kJobWriteAll = 5,
    kJobVerifySelection = 6,
    kJobVerifyAll = 7,
    kJobEraseDevice = 8,
};

// The application message range: the completion message of a job is this + its kind.
enum : uint32_t { kJobMessageBase = 0x8000 };

struct JobRequest {
    uint32_t kind;
    WindowHandle notifyWindow;
    uint32_t notifyMessage;
};

// Each starts its job on a new, detached thread and returns that thread's id. The caller
// disables its job commands first, so one job runs at a time. 0: no thread could be
// started, and no completion will come.
uint32_t StartQueryJob();
uint32_t StartWriteSelectionJob();
uint32_t StartEraseSelectionJob();
uint32_t StartWriteAllJob();
uint32_t StartVerifySelectionJob();
uint32_t StartVerifyAllJob();
uint32_t StartEraseDeviceJob();

// The thread's entry: copies and frees the request, runs the job, reports it. 1 after
// reporting; 0 for a null request or an unassigned kind (nothing is reported).
uint32_t JobThreadProc(JobRequest* request);

// The progress callback of every device operation a job runs: drives the progress bar.
int JobProgressCallback(ProgressInfo* info);

void PlayJobSound(int resourceId);
