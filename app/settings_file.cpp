#include "app/settings_file.h"

#include <cstdio>
#include <cstring>

#include "app/layout_commands.h"
#include "app/layout_file.h"
#include "app/module_directory.h"
#include "tune/file_io.h"

bool SettingsFilePath(char* out, size_t outSize)
{
    if (out == nullptr || outSize == 0)
        return false;
    char folder[kPathFieldSize];
    ModuleDirectory(folder, sizeof folder);
    int length = snprintf(out, outSize, "%ssettings.dat", folder);
    if (folder[0] == '\0' || length < 0 || size_t(length) >= outSize) {
        out[0] = '\0';
        return false;
    }
    return true;
}

int ReadSettingsFile(const char* path, SettingsBlock* settings)
{
    if (settings == nullptr)
        return 0;
    memset(settings, 0, sizeof *settings);
    int64_t read = ReadFileStart(path, settings, sizeof *settings);
    if (read < 0) {
        memset(settings, 0, sizeof *settings);
        // Only a missing file is created; one that is there but cannot be read is left alone.
        return FileMissing(path) && CreateFileIfMissing(path) ? 1 : 0;
    }
    if (settings->settingsVersion != kSettingsVersion) {
        memset(settings, 0, sizeof *settings);
        return 1;
    }
    EndPathInField(settings->layoutPath, sizeof settings->layoutPath);
    EndPathsInTheirFields(&settings->layout);
    return 1;
}

int WriteSettingsFile(const char* path, SettingsBlock* settings)
{
    if (settings == nullptr)
        return 0;
    settings->settingsVersion = kSettingsVersion;
    return WriteFileReplacing(path, settings, sizeof *settings) ? 1 : 0;
}

// Set when settings.dat was there at start but could not be read: the zeros the program
// started with must not replace the user's layout path and last layout in it.
static bool g_keepSettingsFile = false;

int LoadSettings()
{
    char path[kPathFieldSize + 16];
    if (!SettingsFilePath(path, sizeof path)) {
        memset(&g_settings, 0, sizeof g_settings);
        return 0;
    }
    int result = ReadSettingsFile(path, &g_settings);
    g_keepSettingsFile = !result && !FileMissing(path);
    if (result)
        ShowSoftwarePositionSelector(g_settings.allowSoftwarePositionSelection);
    return result;
}

int SaveSettings()
{
    if (g_keepSettingsFile)
        return 0;
    char path[kPathFieldSize + 16];
    if (!SettingsFilePath(path, sizeof path))
        return 0;
    return WriteSettingsFile(path, &g_settings);
}
