// The program's two process-wide blocks: AppState, which lives only in memory, and
// SettingsBlock, the in-memory image of settings.dat that also holds the current layout.
#pragma once
#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
typedef HINSTANCE InstanceHandle;
typedef HWND WindowHandle;
#else
typedef void* InstanceHandle;
typedef void* WindowHandle;
#endif

#include "device/channel.h"
#include "tune/metadata.h"

enum { kPathFieldSize = 260, kPositionCount = 16 };

// The tune file chosen for one device position, "" for none.
struct PositionEntry {
    char path[kPathFieldSize];
};

// A layout: which file belongs to which position. Also the whole of a .t6layout file.
struct LayoutBlock {
    uint32_t layoutVersion;
    PositionEntry positionPaths[kPositionCount];
};

struct SettingsBlock {
    uint32_t settingsVersion;
    char layoutPath[kPathFieldSize];  // the current layout file, "" for none
    LayoutBlock layout;          // the last layout, restored at start even without its file
    uint32_t allowSoftwarePositionSelection;
};

// Both blocks are stored byte for byte as they lie in memory.
static_assert(sizeof(LayoutBlock) == 4164, "layout file size");
static_assert(sizeof(SettingsBlock) == 4432, "settings.dat size");
static_assert(offsetof(SettingsBlock, layout) == 264, "settings.dat layout");
static_assert(offsetof(SettingsBlock, allowSoftwarePositionSelection) == 4428, "settings.dat layout");

enum : uint32_t { kLayoutVersion = 1, kSettingsVersion = 2 };

enum { kMaxDialogWindows = 4 };

struct AppState {
    AppState();
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    InstanceHandle instance;
    int32_t positionCount;  // rows shown: 8, or 16 with the extended positions
    WindowHandle mainWindow;
    WindowHandle progressWindow;
    DeviceChannel channel;
    char deviceDescription[100];
    char versionText[25];
    uint32_t layoutModified;
    // Windows whose messages the loop passes through IsDialogMessage.
    WindowHandle dialogWindows[kMaxDialogWindows];
    int dialogWindowCount;
    uint32_t chipId;
    // What each device position holds, as read from the device; the job thread writes it
    // while the main window's device commands are disabled.
    TuneMetadata deviceMetadata[kPositionCount];
};

extern AppState g_app;
extern SettingsBlock g_settings;
