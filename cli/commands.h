// The commands of t6tool; each returns the exit status.
#pragma once
#include "cli/cli_options.h"

int RunProbe(const CliOptions& options);
int RunInfo(const CliOptions& options);
int RunMetadata(const CliOptions& options);
int RunBackup(const CliOptions& options);
int RunRestore(const CliOptions& options);
int RunErase(const CliOptions& options);
int RunSelect(const CliOptions& options);
int RunWrite(const CliOptions& options);
int RunVerify(const CliOptions& options);

// Prints the usage line of the command and returns kExitUsage.
int UsageError(const CliOptions& options, const char* problem);
