// The upload jobs: write the selected position, or every position that has a file.
#pragma once

// 1 when every write succeeded.
int JobWriteSelection();
int JobWriteAll();
