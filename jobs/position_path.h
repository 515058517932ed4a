// The file chosen for a device position, as the jobs see it.
#pragma once

#include "app/app_state.h"

// Copies the path of position 0 to 15 from g_settings.layout into out, always ended, ""
// for none or for a position outside the table. The only place the jobs read the table,
// so whatever guards it against a concurrent store belongs here.
void CopyPositionPath(int position, char (&out)[kPathFieldSize]);

bool PositionHasFile(int position);
