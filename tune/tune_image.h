// Tune files and the 256 KB image a device position holds: four 64 KB quarters for the
// calibration banks 0, 1, 8 and 9, each bank body in the quarter's last 56 KB.
#pragma once
#include <cstdint>

enum : uint32_t {
    kTuneImageSize = 0x40000,
    kQuarterSize = 0x10000,
    kBankBodyOffset = 0x2000,  // within a quarter
    kBankBodySize = 0xE000,
};

struct TuneImage {
    uint8_t bytes[kTuneImageSize];
};

// One byte per place, place k in bits 8k..8k+7: the bank found there (0, 1, 8, 9),
// kBankBlank when its body was examined and found blank, kNoBank when there is none.
typedef uint32_t BankOrder;
enum : uint8_t { kBankBlank = 0xFE, kNoBank = 0xFF };
enum : BankOrder {
    kBankOrderUnknown = 0xFFFFFFFF,  // what callers start with
    kBankOrderImage = 0x09080100,    // every bank in its own quarter
    kBankOrderTwoBanks = 0xFF0801FF,
    kBankOrderBanks8And1 = 0xFEFE0108,
};

// Builds the image of a tune file, chosen by the file's exact size. Returns 1 when the size
// is one of the bank forms; a whole 256 KB file is copied unchanged but returns 0, so callers
// that accept it test the size themselves. The image buffer holds imageSize bytes, at least
// kTuneImageSize; imageSize is the length of the 0xFF fill. Null pointers, zero sizes and a
// smaller buffer give 0 and touch nothing.
int RecogniseTuneFile(const uint8_t* file, uint32_t fileSize, uint8_t* image, uint32_t imageSize,
                      BankOrder* orderOut);

// The file sizes RecogniseTuneFile lays out, and the whole 256 KB image: an image made
// from a file of any other size carries none of its bytes.
bool IsTuneFileSize(uint32_t fileSize);

// Which bank a 56 KB body holds: 0, 1, 8 or 9; -1 for a blank body or another length.
int ClassifyBank(const uint8_t* body, uint32_t length);

// Classifies the bank body of every quarter named in the mask (bit k, quarter k) and moves
// each quarter to the place of the bank it holds. Returns 1 when no named quarter is blank.
int DetectBankOrder(uint8_t* image, uint32_t quarterMask, BankOrder* orderOut);
