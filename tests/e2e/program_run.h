// The program started as a user starts it: its own process, from its own folder, with
// settings.dat beside it.
#pragma once
#include <windows.h>

#include <string>

class ProgramRun {
public:
    ProgramRun() = default;
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Copies the program named by an environment variable (the program under test,
    // T6_UTILITY, unless told otherwise) into folder and starts it there.
    bool Start(const std::string& folder, const std::string& arguments = "",
               const char* programVariable = "T6_UTILITY");
    // Its main window, once shown.
    HWND WaitForMainWindow(DWORD timeoutMs);
    // True when it ended in time; its exit code in *code.
    bool WaitForExit(DWORD timeoutMs, DWORD* code);
    DWORD processId() const { return process_.dwProcessId; }
    // Milliseconds from just before the process was created.
    DWORD MsSinceStart() const { return GetTickCount() - startTick_; }

private:
    PROCESS_INFORMATION process_ = {};
    DWORD startTick_ = 0;
};

// "T6/Orrery Programming Utility v1.0.0 - " with the version's first three numbers.
extern const char kMainTitleStart[];
