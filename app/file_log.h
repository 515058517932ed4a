// The device log in a file ("/log FILE"), for troubleshooting a real device.
#pragma once
#include "device/log.h"

// Opens (replacing) the file and returns a sink that writes one line to it per log line,
// flushed at once so a crash keeps everything logged before it; null when the file cannot
// be created. Lines from several threads never mix.
LogSink* OpenFileLog(const char* path);
// Closes the file; detach the sink from every producer first.
void CloseFileLog(LogSink* sink);
