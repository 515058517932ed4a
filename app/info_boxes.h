// The two read-only info boxes under the grid: what a device position holds, and what the
// file chosen for it says about itself.
#pragma once

// The device tune info box (1017) from deviceMetadata; empty for rows outside 1 to 16.
void ShowDeviceMetadata(int row);
// The file info box (1016) from the file of the row's position; empty for rows outside
// 1 to 16.
void ShowFileMetadata(int row);
