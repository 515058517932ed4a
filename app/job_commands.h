// The commands that start device jobs.
#pragma once

void OnQueryDevice();

// Writing, verifying and erasing from the window come with their jobs; until then these
// commands are enabled and disabled with the others and start nothing.
void OnWriteSelection();
void OnWriteAll();
void OnVerifySelection();
void OnVerifyAll();
void OnEraseSelection();
void OnEraseDevice();
