// The main window behind the seams of the portable layout commands and device jobs.
#pragma once
#include "app/layout_commands.h"
#include "jobs/job_ui.h"

extern const LayoutUi kWindowLayoutUi;
extern const JobUi kWindowJobUi;

// Both seams now lead to the main window; disconnecting leaves them empty.
void ConnectWindowSeams();
void DisconnectWindowSeams();

// "Layout Modified, Save?" (Yes/No/Cancel, exclamation icon); a box that could not be
// shown counts as Cancel, so nothing is lost.
LayoutAnswer AskSaveModifiedLayout();
