// The upload jobs: write the selected position, or every position that has a file.
#pragma once

// Grid row r (1 to 16) is position r - 1: reads its file into a 256 KB image, stamps the
// record, erases the position and writes the image; on success the record goes into
// g_app.deviceMetadata and the Device Content cell. 1 on success or when the position has
// no file; 0 on failure or for a row outside 1 to 16.
int UploadPosition(int row);

// The selected row's position; a row without a file fails with a line that says so.
int JobWriteSelection();
// Every position that had a file when the job started; 1 when every write succeeded.
int JobWriteAll();
