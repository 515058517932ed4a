// What a job needs from the window that started it. The jobs are portable: the main window
// fills this with the messages it sends its controls, t6tool and the native tests with
// their own. Every member may be null; a missing one does nothing (a missing question
// answers No, a missing current row is row 0).
#pragma once
#include <cstdint>

#include "device/result.h"

struct JobRequest;

// The progress bar's three operations (PBM_SETRANGE32 0..value, PBM_STEPIT, PBM_SETPOS).
enum ProgressBarOp { kBarSetRange, kBarStep, kBarSetPos };

// The selector entry the jobs set before each device step: "Chip Off" when 16 positions
// are listed, no entry at all when 8 are.
enum { kSelectorIndexDuringJobs = 16 };

struct JobUi {
    void* context;
    // The status box: lineBreaks line breaks before the text unless the box is empty
    // (after clearing it when clearFirst is set).
    void (*appendStatus)(void* context, const char* text, int lineBreaks, int clearFirst);
    // The "Device Content" cell (column 2) of a grid row.
    void (*setDeviceContent)(void* context, int row, const char* text);
    // The grid's current row; 0 when none is selected.
    int (*currentRow)(void* context);
    // Sets the software-position selector's current entry by list index; sends nothing to
    // the device.
    void (*setSelectorIndex)(void* context, int index);
    // A Yes/No question (question icon); 1 for Yes.
    int (*askYesNo)(void* context, const char* text, const char* title);
    // Plays one of the program's WAVE resources asynchronously.
    void (*playSound)(void* context, int resourceId);
    void (*progressBar)(void* context, ProgressBarOp op, uint32_t value);
    // Refills the device tune info box for a grid row.
    void (*showDeviceMetadata)(void* context, int row);
    // The job is over: the window gets its completion message (synchronously) now.
    void (*jobDone)(void* context, const JobRequest* request, int result);
    // A device operation of the job failed: what it was ("writing position 2") and its
    // result. The window shows only the status lines; t6tool names the result.
    void (*deviceFailed)(void* context, const char* what, DeviceResult result);
};

// The jobs use this one from now on; null detaches. Set it before starting a job.
void SetJobUi(const JobUi* ui);
const JobUi* CurrentJobUi();
