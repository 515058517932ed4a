// The erase jobs: erase the selected position, or the whole device.
#pragma once

// 1 when the erase succeeded.
int JobEraseSelection();
int JobEraseDevice();
