// The software-position selector (combo box 1038): one entry per shown position, then
// "Chip Off" and "Unknown"; each entry's item data says what it stands for.
#pragma once
#include <windows.h>

enum : int {
    kSelectorChipOff = 16,
    kSelectorUnknown = 17,
};

// Refills the list for positionCount positions: "0" .. "7" (or .. "F"), "Chip Off", "Unknown".
void FillPositionSelector(HWND combo);
// The item data of the current entry; kSelectorUnknown when there is none.
int SelectorCurrentData(HWND combo);
// Makes the entry with that item data current; nothing when there is no such entry.
void SelectSelectorData(HWND combo, int data);
// Makes the entry at that list index current; an index past the list clears the selection.
void SetSelectorIndex(HWND combo, int index);
