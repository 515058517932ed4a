// Which of the main window's commands are enabled: busy while a job runs, no hardware
// after a search that found nothing, ready otherwise.
#pragma once
#include <cstdint>

// The grid, move, browse, every job command (buttons and menu items) and the selector
// together. Menu items are disabled without greying.
void SetCommandsEnabled(bool enable);

// A job starts: everything above disabled, and closing is refused until it has finished.
void EnterBusyState();
// The search found nothing: the user can still arrange files and search again.
void EnterNoHardwareState();
void EnterReadyState();
bool IsJobRunning();

// Shows or hides the selector with its label and checks its menu item.
void ShowPositionSelectorWindows(uint32_t show);
