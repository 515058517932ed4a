#include "tests/e2e/program_run.h"

#include "tests/e2e/e2e_setup.h"
#include "tests/e2e/window_driver.h"
#include "t6_version.h"

const char kMainTitleStart[] = "T6/Orrery Programming Utility v" T6_VERSION_SHORT_TEXT " - ";

ProgramRun::~ProgramRun()
{
    if (process_.hProcess == nullptr)
        return;
    // A case that failed half-way must not leave the program running into the next.
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool ProgramRun::Start(const std::string& folder, const std::string& arguments, const char* programVariable)
{
    const std::string source = EnvironmentText(programVariable);
    const std::string program = folder + source.substr(source.find_last_of('/') + 1);
    if (!CopyFileA(WindowsPathOf(source).c_str(), program.c_str(), FALSE))
        return false;
    std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startTick_ = GetTickCount();
    return CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &process_) != 0;
}

HWND ProgramRun::WaitForMainWindow(DWORD timeoutMs)
{
    return WaitForProcessWindow(process_.dwProcessId, kMainTitleStart, timeoutMs);
}

bool ProgramRun::WaitForExit(DWORD timeoutMs, DWORD* code)
{
    if (process_.hProcess == nullptr || WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(process_.hProcess, code);
    return true;
}
