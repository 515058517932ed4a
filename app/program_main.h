// The program from start to end: what the entry function does.
#pragma once
#include <windows.h>

// Sets up the application state, creates the main window and runs the message loop;
// returns the exit code (0 also when the window could not be created). "/log FILE" on the
// command line sends the device log to that file.
int ProgramMain(HINSTANCE instance, const char* commandLine, int showCommand);
