// How the jobs reach the window: each call takes the seam set last and does nothing (or
// gives the seam's documented default) when it or the member is missing.
#pragma once
#include <cstdint>

#include "jobs/job_ui.h"

void UiAppendStatus(const char* text, int lineBreaks, int clearFirst);
// A status line formatted into a bounded buffer, never clearing the box.
void UiStatus(int lineBreaks, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
void UiSetDeviceContent(int row, const char* text);
int UiCurrentRow();
void UiSetSelectorIndex(int index);
int UiAskYesNo(const char* text, const char* title);
void UiPlaySound(int resourceId);
void UiProgressBar(ProgressBarOp op, uint32_t value);
void UiShowDeviceMetadata(int row);
void UiJobDone(const JobRequest* request, int result);
// The "what" is formatted only when the seam wants it.
void UiDeviceFailed(DeviceResult result, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
