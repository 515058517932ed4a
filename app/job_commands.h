// The commands that start device jobs. Each disables the job commands first and then starts
// its job; the long ones ask first, and a No starts nothing.
#pragma once

void OnQueryDevice();
void OnWriteSelection();
void OnWriteAll();
void OnVerifySelection();
void OnVerifyAll();
void OnEraseSelection();
void OnEraseDevice();
