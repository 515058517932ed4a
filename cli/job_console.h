// The device jobs' window on a console, so t6tool runs the very job code the main window
// runs: status lines on standard output as the status box joins them, the progress bar
// on standard error, the "Unknown File Format" question on the terminal.
#pragma once

#include "cli/cli_options.h"

// From now on the jobs report here; --yes answers the question.
void AttachConsoleJobUi(const CliOptions& options);
// Prints the line still open, ends the bar and detaches.
void DetachConsoleJobUi();
