#include "app/app_state.h"

#include <cstring>

AppState::AppState()
    : instance(nullptr),
      positionCount(0),
      mainWindow(nullptr),
      progressWindow(nullptr),
      channel(),
      deviceDescription(),
      versionText(),
      layoutModified(0),
      dialogWindows(),
      dialogWindowCount(0),
      chipId(0),
      deviceMetadata()
{
}

AppState g_app;
SettingsBlock g_settings;
