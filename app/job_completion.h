// The main window's side of a finished job: its completion message.
#pragma once
#include <windows.h>

#include <cstdint>

// WM_APP + kind with the job's result: the commands come back (all of them, or after a
// search that found nothing only those that need no hardware), and after a search the
// device content, the selector and the title show what was found.
void OnJobCompleted(uint32_t kind, LPARAM result);
