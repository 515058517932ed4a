#include "app/program_main.h"

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/file_log.h"
#include "app/main_window.h"
#include "app/message_loop.h"
#include "app/version_text.h"
#include "controls/register_controls.h"
#include "device/chip.h"
#include "resources/resource.h"

static LogSink* StartDeviceLog(const char* commandLine)
{
    char path[kPathFieldSize];
    if (!FindLogFileOption(commandLine, path, sizeof path))
        return nullptr;
    LogSink* sink = OpenFileLog(path);
    g_app.channel.SetLogTarget(sink);
    return sink;
}

int ProgramMain(HINSTANCE instance, const char* commandLine, int showCommand)
{
    g_app.positionCount = 8;
    g_app.layoutModified = 0;
    g_app.chipId = kChipT6ViaOrrery;
    char program[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program)
        program[0] = '\0';
    ReadVersionText(program, g_app.versionText, sizeof g_app.versionText);
    RegisterControlClasses(instance);
    LogSink* log = StartDeviceLog(commandLine);

    int exitCode = 0;
    if (CreateMainWindow(instance, showCommand))
        exitCode = RunMessageLoop(LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS)));

    g_app.channel.SetLogTarget(nullptr);
    CloseFileLog(log);
    return exitCode;
}
