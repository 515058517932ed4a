// t6firststart PROGRAM.exe: starts the program as a user starts it (here from another
// working folder, so only the program's own folder can take settings.dat), waits for its
// first query to end, presses Close and waits for it to exit. Prints the status box.
// Exit status 0 only when the query found the device and the program closed.
#include <windows.h>

#include <cstdio>
#include <string>

#include "resources/resource.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/window_driver.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fputs("usage: t6firststart PROGRAM.exe\n", stderr);
        return 2;
    }
    std::string commandLine = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        fprintf(stderr, "t6firststart: cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    const DWORD kWaitMs = 60000;
    HWND window = WaitForProcessWindow(process.dwProcessId, kMainTitleStart, kWaitMs);
    std::string status;
    // The query has ended once its button is back: the window closes only when no job runs.
    auto queryEnded = [&] {
        status = ControlText(window, IDC_STATUS_BOX);
        return ControlEnabled(window, IDC_QUERY_DEVICE) && (status.find("Hardware ready.") != std::string::npos ||
                                                            status.find("Hardware not found.") != std::string::npos);
    };
    const bool ready =
        window != nullptr && WaitUntil(queryEnded, kWaitMs) && status.find("Hardware ready.") != std::string::npos;
    printf("t6firststart: %s\n", window != nullptr ? status.c_str() : "no main window");
    if (window != nullptr)
        PostCommand(window, IDCANCEL);
    const bool closed = WaitForSingleObject(process.hProcess, kWaitMs) == WAIT_OBJECT_0;
    if (!closed) {
        fputs("t6firststart: the program did not end after Close\n", stderr);
        TerminateProcess(process.hProcess, 99);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ready && closed ? 0 : 1;
}
