// The erase jobs: erase the selected position, or the whole device; and the erase of one
// position that the upload runs before it writes.
#pragma once

#include "device/result.h"

// Grid row r (1 to 16) is position r - 1: erases its four 64 KB sectors and, on success,
// clears its record in g_app.deviceMetadata and its Device Content cell. The erase's own
// result; a row outside 1 to 16 gives a negative result and writes nothing.
DeviceResult ErasePosition(int row);

// 1 when the erase succeeded.
int JobEraseSelection();
int JobEraseDevice();
