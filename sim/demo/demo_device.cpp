#include <cstdio>
#include <cstring>

#include "sim/demo/demo_material.h"
#include "tune/metadata.h"

std::vector<uint8_t> BuildDemoDeviceMemory(const std::string& programFolder)
{
    std::vector<uint8_t> memory(kDemoDeviceSize, 0xFF);
    for (int i = 0; i < kDemoTuneCount; ++i) {
        const DemoTune& tune = kDemoTunes[i];
        if (tune.devicePosition < 0)
            continue;
        std::vector<uint8_t> file = BuildDemoTuneFile(tune, programFolder);
        uint8_t* image = memory.data() + size_t(tune.devicePosition) * kTuneImageSize;
        BankOrder order = kBankOrderUnknown;
        // A 256 KB file is copied unchanged (and reported as not recognised).
        RecogniseTuneFile(file.data(), uint32_t(file.size()), image, kTuneImageSize, &order);
        StampDemoRecord(tune, programFolder, order, image);
    }
    return memory;
}

TuneMetadata DemoDeviceRecord(const std::vector<uint8_t>& memory, int position)
{
    TuneMetadata record;
    memcpy(&record, memory.data() + size_t(position) * kTuneImageSize + kMetadataOffset, sizeof record);
    return record;
}

std::string DemoLayoutPath(const std::string& programFolder)
{
    return programFolder + "demo.t6layout";
}

void BuildDemoLayout(const std::string& programFolder, LayoutBlock* layout)
{
    memset(layout, 0, sizeof *layout);
    layout->layoutVersion = kLayoutVersion;
    for (int i = 0; i < kDemoTuneCount && i < kPositionCount; ++i)
        snprintf(layout->positionPaths[i].path, sizeof layout->positionPaths[i].path, "%s",
                 DemoTunePath(programFolder, kDemoTunes[i]).c_str());
}

void BuildDemoSettings(const std::string& programFolder, SettingsBlock* settings)
{
    memset(settings, 0, sizeof *settings);
    settings->settingsVersion = kSettingsVersion;
    snprintf(settings->layoutPath, sizeof settings->layoutPath, "%s", DemoLayoutPath(programFolder).c_str());
    BuildDemoLayout(programFolder, &settings->layout);
    settings->allowSoftwarePositionSelection = 1;
}
