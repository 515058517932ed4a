// Comparing the program's version with the one the update server publishes.
#pragma once

// 1 when candidate is newer than current, else 0 (also for a null text). Only the first
// three dotted numbers count, each as an unsigned 16-bit value; empty parts ("1..1") are
// skipped and a missing part is 0, so "2" is 2.0.0 and a fourth part is ignored.
int IsNewerVersion(const char* current, const char* candidate);

// A first line of the update-information file that names a version at all: after leading
// blanks and dots, it starts with a digit. An empty or garbled file does not, and must not
// pass for "the latest".
bool IsVersionLine(const char* line);
