#include "tests/e2e/sim_session.h"

#include <windows.h>

#include <filesystem>

#include "tests/e2e/e2e_setup.h"
#include "tests/e2e/window_driver.h"

namespace {

enum : DWORD { kStartMs = 10000, kStopMs = 15000 };

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

bool SimSession::Start(const std::string& folder, int com, const std::vector<std::string>& options)
{
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const std::string script = EnvironmentText("T6_SOURCE_DIR") + "/scripts/sim-session.sh";
    const std::string link = EnvironmentText("WINEPREFIX") + "/dosdevices/com" + std::to_string(com);
    std::string commandLine = "/bin/sh " + Quoted(script) + " " + Quoted(LinuxPathOf(folder)) + " " +
                              Quoted(EnvironmentText("T6_SIM")) + " --link " + Quoted(link);
    for (const std::string& option : options)
        commandLine += " " + Quoted(option);
    DeleteFileA((folder + "output").c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Wine runs a Linux program directly, but hands out no process handle for it.
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    folder_ = folder;
    WaitUntil([&] { return Output().find("t6sim: serving") != std::string::npos || Exists(folder + "stopped"); },
              kStartMs);
    return Output().find("t6sim: serving") != std::string::npos;
}

bool SimSession::Stop()
{
    if (folder_.empty())
        return true;
    const std::string folder = folder_;
    folder_.clear();
    HANDLE stop = CreateFileA((folder + "stop").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (stop != INVALID_HANDLE_VALUE)
        CloseHandle(stop);
    return WaitUntil([&] { return Exists(folder + "stopped"); }, kStopMs);
}

std::string SimSession::Output() const
{
    const std::vector<uint8_t> bytes = ReadWholeFile(folder_ + "output");
    return std::string(bytes.begin(), bytes.end());
}
