// The main window's commands by id: menu items, buttons and shortcuts all arrive here.
#pragma once
#include <windows.h>

// Runs the command with that id; ids that are no command do nothing.
void RunMainCommand(WORD id);
