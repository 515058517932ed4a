// The verify jobs: compare the selected position, or every position that has a file, with
// its file.
#pragma once

// 1 when every compared position holds its file.
int JobVerifySelection();
int JobVerifyAll();
