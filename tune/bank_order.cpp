#include <cstring>
#include <memory>
#include <new>

#include "tune/tune_image.h"

static const char kFordMarker[] = "Copyright Ford";

static bool ContainsMarker(const uint8_t* body, uint32_t length)
{
    const uint32_t markerLength = sizeof kFordMarker - 1;
    for (uint32_t start = 0; start + markerLength <= length; ++start)
        if (memcmp(body + start, kFordMarker, markerLength) == 0)
            return true;
    return false;
}

int ClassifyBank(const uint8_t* body, uint32_t length)
{
    if (body == nullptr || length != kBankBodySize)
        return -1;
    if (body[0] == 0xFF && body[1] == 0xFF)
        return -1;
    // Banks 0 and 9 begin alike; only bank 9 carries the copyright text.
    if (body[0] == 0xFF && body[1] == 0xFA && body[2] == 0x27 && body[3] == 0xFE)
        return ContainsMarker(body, length) ? 9 : 0;
    if (body[0] == 0xFF && body[1] == 0xFA)
        return 8;
    return 1;
}

static int QuarterOfBank(uint8_t bank)
{
    switch (bank) {
    case 0: return 0;
    case 1: return 1;
    case 8: return 2;
    case 9: return 3;
    default: return -1;
    }
}

int DetectBankOrder(uint8_t* image, uint32_t quarterMask, BankOrder* orderOut)
{
    if (image == nullptr)
        return 0;
    std::unique_ptr<uint8_t[]> saved(new (std::nothrow) uint8_t[kTuneImageSize]);
    if (!saved)
        return 0;
    memcpy(saved.get(), image, kTuneImageSize);

    BankOrder order = 0;
    int ok = 1;
    for (uint32_t k = 0; k < 4; ++k) {
        uint8_t place = kNoBank;
        if (quarterMask & (1u << k)) {
            int bank = ClassifyBank(saved.get() + k * kQuarterSize + kBankBodyOffset, kBankBodySize);
            if (bank < 0) {
                place = kBankBlank;
                ok = 0;
            } else {
                place = uint8_t(bank);
            }
        }
        order |= BankOrder(place) << (8 * k);
    }
    // Quarters move in place order, so when two hold the same bank the later one wins.
    for (uint32_t k = 0; k < 4; ++k) {
        int destination = QuarterOfBank(uint8_t(order >> (8 * k)));
        if (destination >= 0)
            memcpy(image + destination * kQuarterSize, saved.get() + k * kQuarterSize, kQuarterSize);
    }
    if (orderOut != nullptr)
        *orderOut = order;
    return ok;
}
