#include "tests/e2e/sim_session.h"

#include <windows.h>

#include <filesystem>

#include "tests/e2e/e2e_setup.h"
#include "tests/e2e/window_driver.h"

namespace {

enum : DWORD { kStartMs = 10000, kStopMs = 15000 };
const char kSaved[] = "t6sim: memory saved";

size_t Occurrences(const std::string& text, const char* word)
{
    size_t count = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++count;
    return count;
}

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

bool SimSession::SaveMemory()
{
    if (folder_.empty())
        return false;
    const size_t before = Occurrences(Output(), kSaved);
    return WriteWholeFile(folder_ + "save", {}) &&
           WaitUntil([&] { return Occurrences(Output(), kSaved) > before; }, kStopMs);
}

bool SimSession::Stop()
{
    if (folder_.empty())
        return true;
    const std::string folder = folder_;
    folder_.clear();
    WriteWholeFile(folder + "stop", {});
    return WaitUntil([&] { return FileExists(folder + "stopped"); }, kStopMs);
}

std::string SimSession::Output() const
{
    const std::vector<uint8_t> bytes = ReadWholeFile(folder_ + "output");
    return std::string(bytes.begin(), bytes.end());
}
