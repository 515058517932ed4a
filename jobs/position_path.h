// The file chosen for a device position, as the jobs see it.
#pragma once

#include "app/position_paths.h"

bool PositionHasFile(int position);
