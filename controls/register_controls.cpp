#include "controls/register_controls.h"

#include "controls/grid_control.h"
#include "controls/text_progress.h"

static bool Registered(ATOM atom)
{
    return atom != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool RegisterControlClasses(HINSTANCE instance)
{
    bool grid = Registered(RegisterGridControlClass(instance));
    bool progress = Registered(RegisterTextProgressClass(instance));
    return grid && progress;
}
