// Registers the window classes of the control library that the program uses.
#pragma once
#include <windows.h>

// Registers "KVGRIDCONTROL" and "KVTEXTPROGRESS" for the given module; true when both
// classes exist afterwards (also when an earlier call registered them).
bool RegisterControlClasses(HINSTANCE instance);
