// The program from start to end: what the entry function does.
#pragma once
#include <windows.h>

// What comes before the main window: the application state's start values, the version
// text, the control classes, and the device log when the command line asks for one
// ("/log FILE"; any other command line is ignored).
void StartUpProgram(HINSTANCE instance, const char* commandLine);
// After the message loop: the device log is detached and closed.
void ShutDownProgram();

// Start-up, the main window and the message loop; returns the exit code (0 also when the
// window could not be created).
int ProgramMain(HINSTANCE instance, const char* commandLine, int showCommand);
