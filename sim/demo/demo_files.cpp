#include <sys/stat.h>

#include "app/layout_file.h"
#include "app/settings_file.h"
#include "sim/demo/demo_material.h"
#include "tune/file_io.h"

const char kDemoDeviceFile[] = "device.bin";

static bool MakeFolder(const std::string& path)
{
#if defined(_WIN32)
    mkdir(path.c_str());
#else
    mkdir(path.c_str(), 0755);
#endif
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string WriteDemoMaterial(const std::string& writeFolder, const std::string& programFolder)
{
    if (writeFolder.empty() || programFolder.empty())
        return "no folder given";
    const std::string tuneFolder = writeFolder + kDemoTuneFolder;
    if (!MakeFolder(tuneFolder))
        return "cannot make " + tuneFolder;
    for (int i = 0; i < kDemoTuneCount; ++i) {
        const DemoTune& tune = kDemoTunes[i];
        std::vector<uint8_t> bytes = BuildDemoTuneFile(tune, programFolder);
        std::string problem = CheckDemoTuneFile(tune, bytes);
        if (!problem.empty())
            return problem;
        const std::string path = DemoTunePath(writeFolder, tune);
        if (!WriteFileReplacing(path.c_str(), bytes.data(), uint32_t(bytes.size())))
            return "cannot write " + path;
    }

    LayoutBlock layout;
    BuildDemoLayout(programFolder, &layout);
    SettingsBlock settings;
    BuildDemoSettings(programFolder, &settings);
    std::vector<uint8_t> memory = BuildDemoDeviceMemory(programFolder);
    const std::string layoutPath = DemoLayoutPath(writeFolder);
    const std::string settingsPath = writeFolder + "settings.dat";
    const std::string devicePath = writeFolder + kDemoDeviceFile;
    if (!WriteLayoutFile(layoutPath.c_str(), &layout))
        return "cannot write " + layoutPath;
    if (!WriteSettingsFile(settingsPath.c_str(), &settings))
        return "cannot write " + settingsPath;
    if (!WriteFileReplacing(devicePath.c_str(), memory.data(), uint32_t(memory.size())))
        return "cannot write " + devicePath;
    return "";
}
