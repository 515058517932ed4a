#include <windows.h>

#include "app/program_main.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    return ProgramMain(instance, commandLine, showCommand);
}
