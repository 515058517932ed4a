// Arranging tune files in the grid's "File Selection" column: moving a file to the next
// position, browsing for one, typing its name, and showing the selected position.
#pragma once

// Swap the current row's file with the one below (above) and follow it; nothing at the
// last (first) shown row. Return the row read, or the row moved to.
int MoveSelectionDown();
int MoveSelectionUp();
// A file chosen for a row (1 to 16): it goes into the layout and, shortened, into the
// row's cell; the layout is marked modified and the file info box shows the file's record.
// The path must fit the layout's field (at most 259 characters).
void PlaceFileInRow(int row, const char* path);
// The open dialog for the file of a row (1 to 16); 1 when a file was chosen, and placed.
int BrowseForSelection(int row);
// Browse for the grid's current row.
void OnBrowse();

// GCN_SELCHANGE: both info boxes for the new current row.
void OnGridSelectionChanged(int row);
// GCN_TEXTSET: a file name the user typed into a "File Selection" cell is taken into the
// layout; texts the program sets itself are not.
void OnGridTextSet(int row, int column);
