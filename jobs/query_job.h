// The query job: finds the programmer and reads the metadata record of every position into
// g_app.deviceMetadata, from which the window shows what each position holds.
#pragma once

#include "tune/metadata.h"

// 1 when the programmer was found (even if its records could not all be read), else 0.
int JobQueryDevice();

// Reads all 16 records, whatever the number of positions shown. 1 when all were read; 0
// leaves the records read so far and zeros from the failed one on, or, with the port
// closed, the table untouched.
int ReadAllDeviceMetadata();

// The record of device position 0 to 15; 1 on success, 0 on failure, a null record or a
// position outside the device.
int ReadDeviceMetadata(int position, TuneMetadata* record);
