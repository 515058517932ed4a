// Filling the grid's two text columns from the tables in memory.
#pragma once

// "Device Content" of every shown position: the record's original path (shortened) when
// it carries the magic, else "".
void FillDeviceContentColumn();
// The same for the rows first to last (1 to 16) only.
void FillDeviceContentRows(int first, int last);
// "File Selection" of the rows first to last from positionPaths, shortened as a layout
// load shows them.
void FillFileSelectionRows(int first, int last);
