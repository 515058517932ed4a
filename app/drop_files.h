// Files dragged from Explorer onto the main window: tune files go into grid rows as
// Browse puts them there, and a layout file is loaded as Load Layout loads a chosen one.
#pragma once
#include <windows.h>
#include <shellapi.h>

// The main window and its grid take dropped files; a drop on the grid is handled here too.
void AcceptDroppedFiles(HWND mainWindow, HWND grid);

// WM_DROPFILES as the main window or the grid (receiver) got it. The first layout file in
// the drop is loaded and nothing else placed. Otherwise the files fill the rows from the
// one they were dropped on (the current row, or row 1, for a drop beside the rows), as far
// as the rows go; the status box tells what was left out. Finishes the drop handle.
void OnDropFiles(HWND receiver, HDROP drop);
