#include "app/program_main.h"

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/file_log.h"
#include "app/layout_commands.h"
#include "app/main_window.h"
#include "app/message_loop.h"
#include "app/version_text.h"
#include "controls/register_controls.h"
#include "device/chip.h"
#include "resources/resource.h"

static LogSink* g_deviceLog = nullptr;
// The layout file named on the command line, "" for none.
static char g_startLayout[kPathFieldSize];

static void StartDeviceLog(const char* commandLine)
{
    char path[kPathFieldSize];
    if (!FindLogFileOption(commandLine, path, sizeof path))
        return;
    g_deviceLog = OpenFileLog(path);
    g_app.channel.SetLogTarget(g_deviceLog);
}

void StartUpProgram(HINSTANCE instance, const char* commandLine)
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
    StartDeviceLog(commandLine);
    FindLayoutFileArgument(commandLine, g_startLayout, sizeof g_startLayout);
}

// Once the main window is up with its usual layout: one that cannot be loaded leaves that
// layout shown.
static void OpenStartLayout()
{
    if (g_startLayout[0] != '\0')
        LoadLayout(g_startLayout);
}

void ShutDownProgram()
{
    g_app.channel.SetLogTarget(nullptr);
    CloseFileLog(g_deviceLog);
    g_deviceLog = nullptr;
}

int ProgramMain(HINSTANCE instance, const char* commandLine, int showCommand)
{
    StartUpProgram(instance, commandLine);
    int exitCode = 0;
    if (CreateMainWindow(instance, showCommand)) {
        OpenStartLayout();
        exitCode = RunMessageLoop(LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS)));
    }
    ShutDownProgram();
    return exitCode;
}
