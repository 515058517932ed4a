#include "tests/e2e/e2e_setup.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

std::string EnvironmentText(const char* name)
{
    const char* value = getenv(name);
    return value != nullptr ? value : "";
}

std::string WindowsPathOf(const std::string& linuxPath)
{
    std::string path = "Z:" + linuxPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string LinuxPathOf(const std::string& windowsPath)
{
    std::string path = windowsPath.size() >= 2 && windowsPath[1] == ':' ? windowsPath.substr(2) : windowsPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bool StartScript(const char* name, const std::vector<std::string>& words)
{
    std::string commandLine = "/bin/sh \"" + EnvironmentText("T6_SOURCE_DIR") + "/scripts/" + name + "\"";
    for (const std::string& word : words)
        commandLine += " \"" + word + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hThread != nullptr)
        CloseHandle(process.hThread);
    if (process.hProcess != nullptr)
        CloseHandle(process.hProcess);
    return true;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FreshTestFolder(const std::string& name)
{
    std::string scratch = EnvironmentText("T6_E2E_SCRATCH");
    if (scratch.empty())
        scratch = "/tmp/t6-e2e";
    const std::string folder = WindowsPathOf(scratch + "/" + name) + "\\";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}
