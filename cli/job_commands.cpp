// Commands that run the main window's own device jobs: write and verify.
#include <cstdio>
#include <string>

#include "app/app_state.h"
#include "app/layout_file.h"
#include "cli/commands.h"
#include "cli/job_console.h"
#include "cli/session.h"
#include "device/chip.h"
#include "jobs/upload_jobs.h"
#include "jobs/verify_jobs.h"
#include "tune/file_io.h"

namespace {

// The jobs talk through g_app.channel; it is closed on every way out, which also puts the
// device back at 115200 baud.
struct AppChannelClosed {
    ~AppChannelClosed()
    {
        if (g_app.channel.IsPortOpen())
            g_app.channel.ClosePort();
    }
};

// Fills g_settings.layout as the window would have it: one file for one position, or the
// whole layout file. kExitOk, or the exit status with the message printed.
int LoadLayout(const CliOptions& options, int position)
{
    const std::string& file = options.args[1];
    if (position >= 0 && file.size() >= kPathFieldSize)
        return UsageError(options, "FILE: the path is longer than 259 characters");
    // Before the device search, which may take a while. One byte is read: a folder opens
    // on POSIX systems but cannot be read.
    uint8_t first = 0;
    if (ReadFileStart(file.c_str(), &first, 1) < 0) {
        fprintf(stderr, "t6tool: cannot read %s\n", file.c_str());
        return kExitFailed;
    }
    if (position < 0) {
        LayoutReadResult read = ReadLayoutFile(file.c_str(), &g_settings.layout);
        if (read == kLayoutRead)
            return kExitOk;
        fprintf(stderr, "t6tool: %s is %s\n", file.c_str(),
                read == kLayoutTooNew ? "a layout of a newer version" : "not a layout file that can be read");
        return kExitFailed;
    }
    snprintf(g_settings.layout.positionPaths[position].path, kPathFieldSize, "%s", file.c_str());
    return kExitOk;
}

// POS FILE runs the job step for that position's grid row; all LAYOUT runs the job over
// every position that has a file.
int RunPositionJob(const CliOptions& options, int (*positionStep)(int row), int (*everyPosition)())
{
    const bool all = options.args.size() == 2 && options.args[0] == "all";
    const int position = all || options.args.size() != 2 ? -1 : ParsePosition(options.args[0]);
    if (!all && position < 0)
        return UsageError(options, (options.command + " needs POS (0 to 15) and FILE, or all and LAYOUT").c_str());
    int status = LoadLayout(options, position);
    if (status != kExitOk)
        return status;

    AppChannelClosed closed;
    Session session;
    status = ConnectChannel(options, g_app.channel, &session);
    if (status != kExitOk)
        return status;
    if (!(g_app.channel.capabilities & kCapsOrrery)) {
        fprintf(stderr, "t6tool: %s is not the Orrery Programmer these jobs drive\n", session.name);
        return kExitFailed;
    }
    g_app.chipId = kChipT6ViaOrrery;
    AttachConsoleJobUi(options);
    const int result = all ? everyPosition() : positionStep(position + 1);
    DetachConsoleJobUi();
    return result ? kExitOk : kExitFailed;
}

} // namespace

int RunWrite(const CliOptions& options)
{
    return RunPositionJob(options, UploadPosition, JobWriteAll);
}

int RunVerify(const CliOptions& options)
{
    return RunPositionJob(options, VerifyPosition, JobVerifyAll);
}
