// The program from start to end: what the entry function does.
#pragma once
#include <windows.h>

// What comes before the main window: the application state's start values, the version
// text, the control classes, the device log when the command line asks for one
// ("/log FILE"), and the layout file it names, if any; anything else on it is ignored.
void StartUpProgram(HINSTANCE instance, const char* commandLine);
// After the message loop: the device log is detached and closed.
void ShutDownProgram();

// Start-up, the main window, the command line's layout loaded as Load Layout loads a
// chosen one, and the message loop; returns the exit code (0 also when the window could
// not be created).
int ProgramMain(HINSTANCE instance, const char* commandLine, int showCommand);
