// How the jobs reach the window: each call takes the seam set last and does nothing (or
// gives the seam's documented default) when it or the member is missing.
#pragma once
#include <cstdint>

#include "jobs/job_ui.h"

void UiAppendStatus(const char* text, int lineBreaks, int clearFirst);
void UiSetDeviceContent(int row, const char* text);
int UiCurrentRow();
void UiSetSelectorIndex(int index);
int UiAskYesNo(const char* text, const char* title);
void UiPlaySound(int resourceId);
void UiProgressBar(ProgressBarOp op, uint32_t value);
void UiShowDeviceMetadata(int row);
void UiJobDone(const JobRequest* request, int result);
