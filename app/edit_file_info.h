// The main window's Edit File Info command (button 1040).
#pragma once

// Opens the metadata editor on the file of the grid's current row (1 to positionCount;
// any other row does nothing). After a save the position takes the saved file: the
// layout, its grid cell and the file info box show it, and a new path marks the layout
// modified. Stays available while a job runs.
void EditFileInfo();
