#include "tests/e2e/sim_session.h"

#include <windows.h>

#include <filesystem>

#include "tests/e2e/e2e_setup.h"
#include "tests/e2e/window_driver.h"

namespace {

enum : DWORD { kStartMs = 10000, kStopMs = 15000 };

} // namespace

bool SimSession::Start(const std::string& folder, int com, const std::vector<std::string>& options)
{
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const std::string link = EnvironmentText("WINEPREFIX") + "/dosdevices/com" + std::to_string(com);
    std::vector<std::string> words = {LinuxPathOf(folder), EnvironmentText("T6_SIM"), "--link", link};
    words.insert(words.end(), options.begin(), options.end());
    DeleteFileA((folder + "output").c_str());
    if (!StartScript("sim-session.sh", words))
        return false;
    folder_ = folder;
    WaitUntil([&] { return Output().find("t6sim: serving") != std::string::npos || FileExists(folder + "stopped"); },
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
    return WaitUntil([&] { return FileExists(folder + "stopped"); }, kStopMs);
}

std::string SimSession::Output() const
{
    const std::vector<uint8_t> bytes = ReadWholeFile(folder_ + "output");
    return std::string(bytes.begin(), bytes.end());
}
