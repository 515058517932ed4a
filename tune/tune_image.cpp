#include <cstring>

#include "tune/tune_image.h"

namespace {
// One piece of a file and where it goes in the image.
struct Piece {
    uint32_t fileOffset;
    uint32_t length;
    uint32_t imageOffset;
};

// The bank forms: a file of this exact size is laid out piece by piece over an 0xFF fill.
struct FileForm {
    uint32_t fileSize;
    int pieceCount;
    Piece pieces[4];
    bool setsOrder;
    BankOrder order;
    bool detectsOrder;
};

const FileForm kForms[] = {
    {24576, 1, {{0, 24576, 0x32000}}, false, 0, false},
    {32768, 1, {{0, 32768, 0x32000}}, false, 0, false},
    {57344, 1, {{0, 57344, 0x32000}}, false, 0, false},
    {65536, 1, {{0, 65536, 0x30000}}, false, 0, false},
    {0x16000, 2, {{0, 0x8000, 0x12000}, {0x8000, 0xE000, 0x22000}}, true, kBankOrderTwoBanks, false},
    {0x1C000, 2, {{0, 0xE000, 0x12000}, {0xE000, 0xE000, 0x22000}}, true, kBankOrderTwoBanks, false},
    {0x36000, 4,
     {{0, 0xE000, 0x02000}, {0xE000, 0xC000, 0x12000}, {0x1A000, 0xE000, 0x32000}, {0x28000, 0xE000, 0x22000}},
     true, 0x08090100, false},
    {0x38000, 4,
     {{0, 0xE000, 0x02000}, {0xE000, 0xE000, 0x12000}, {0x1C000, 0xE000, 0x22000}, {0x2A000, 0xE000, 0x32000}},
     false, 0, true},
};
}

bool IsTuneFileSize(uint32_t fileSize)
{
    if (fileSize == kTuneImageSize)
        return true;
    for (const FileForm& form : kForms) {
        if (form.fileSize == fileSize)
            return true;
    }
    return false;
}

int RecogniseTuneFile(const uint8_t* file, uint32_t fileSize, uint8_t* image, uint32_t imageSize,
                      BankOrder* orderOut)
{
    if (file == nullptr || image == nullptr || fileSize == 0 || imageSize < kTuneImageSize)
        return 0;

    if (fileSize == kTuneImageSize) {
        memcpy(image, file, kTuneImageSize);
        if (orderOut != nullptr)
            *orderOut = kBankOrderImage;
        return 0;
    }

    for (const FileForm& form : kForms) {
        if (form.fileSize != fileSize)
            continue;
        memset(image, 0xFF, imageSize);
        for (int i = 0; i < form.pieceCount; ++i) {
            const Piece& piece = form.pieces[i];
            memcpy(image + piece.imageOffset, file + piece.fileOffset, piece.length);
        }
        if (form.setsOrder && orderOut != nullptr)
            *orderOut = form.order;
        if (!form.detectsOrder)
            return 1;
        BankOrder detected = kBankOrderUnknown;
        int noneBlank = DetectBankOrder(image, 0xF, &detected);
        if (orderOut != nullptr)
            *orderOut = detected;
        // Banks 8 and 1 followed by two blank pieces is a known two-bank form.
        return (noneBlank || detected == kBankOrderBanks8And1) ? 1 : 0;
    }
    return 0;
}
