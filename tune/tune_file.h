// A tune file read from disk and turned into the 256 KB image a position holds: the one
// step shared by the file info box, the upload and the verify.
#pragma once
#include <cstdint>

#include "tune/tune_image.h"

enum TuneFileStatus {
    kTuneFileNotOpened,  // missing, or no access
    kTuneFileNotRead,    // opened, but the read failed (or no memory for it)
    kTuneFileRead,
};

struct TuneFileImage {
    // Bytes in the file. Reading stops one byte past the largest form, so any longer file
    // shows as kTuneImageSize + 1 and is simply not recognised.
    uint32_t fileSize;
    int recognised;  // RecogniseTuneFile's answer
    BankOrder order; // kBankOrderUnknown unless the recogniser set it
    TuneImage image;
};

// Fills *out (large: keep it on the heap) from the file at path. Only with kTuneFileRead
// are its fields meaningful.
TuneFileStatus ReadTuneFileImage(const char* path, TuneFileImage* out);

// The image stands for the file: the file was recognised, or it is a whole 256 KB image,
// which the recogniser copies unchanged but does not claim.
bool HoldsTuneImage(const TuneFileImage& tune);
