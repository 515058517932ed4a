// The upload jobs: write the selected position, or every position that has a file.
#pragma once

// Grid row r (1 to 16) is position r - 1: reads its file into a 256 KB image, stamps the
// record, erases the position and writes the image; on success the record goes into
// g_app.deviceMetadata and the Device Content cell. 1 on success or when the position has
// no file; 0 on failure or for a row outside 1 to 16.
int UploadPosition(int row);

// 1 when every write succeeded.
int JobWriteSelection();
int JobWriteAll();
