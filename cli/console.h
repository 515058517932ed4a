// What t6tool shows on the console besides its results: the device log and a progress bar,
// both on standard error.
#pragma once
#include <cstdint>

#include "device/log.h"
#include "device/progress.h"

// A sink that writes each log line to standard error.
LogSink* ConsoleLogSink();

bool StandardErrorIsTerminal();
bool StandardInputIsTerminal();

// The progress bar: Begin names the phase and the bytes one step stands for (0: steps are
// counted, not sized); the callback draws only when standard error is a terminal.
void ProgressPhase(const char* label, uint32_t bytesPerStep);
int ConsoleProgress(ProgressInfo* info);
// Ends the bar's line, if one was drawn.
void ProgressDone();
