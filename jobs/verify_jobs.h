// The verify jobs: compare the selected position, or every position that has a file, with
// its file.
#pragma once

// Grid row r (1 to 16) is position r - 1: compares the four calibration bank bodies of its
// file's image with the device, inside the device, bank by bank until one differs. 1 when
// all four match; 0 when one differs, on a device error, without a usable file, or for a
// row outside 1 to 16.
int VerifyPosition(int row);

// 1 when every compared position holds its file. Verify All compares the positions that
// had a file when it started.
int JobVerifySelection();
int JobVerifyAll();
