// The main window behind the seams of the portable layout commands and device jobs.
#pragma once
#include "app/layout_commands.h"
#include "jobs/job_ui.h"

extern const LayoutUi kWindowLayoutUi;
extern const JobUi kWindowJobUi;

// Both seams now lead to the main window; disconnecting leaves them empty.
void ConnectWindowSeams();
void DisconnectWindowSeams();
