#include <cstdio>
#include <cstring>

#include "sim/demo/demo_material.h"
#include "tune/metadata.h"

// Sizes of the recognised forms besides a whole image, a quarter and a bank body.
enum : uint32_t {
    k224K = 0x38000,
    k216K = 0x36000,
    k112K = 0x1C000,
    k88K = 0x16000,
};
const uint32_t k256K = kTuneImageSize, k64K = kQuarterSize, k56K = kBankBodySize;

const DemoTune kDemoTunes[] = {
    {"street-256k.bin", k256K, {0, 1, 8, 9}, kBankOrderImage, 0, "2.1", "Street tune for 98 RON fuel",
     "Demo image: ignition advance raised by two degrees above 3000 rpm, rev limit at 6800 rpm."},
    {"track-224k.bin", k224K, {9, 0, 1, 8}, 0x08010009, 1, "0.9b", "Track day, banks stored out of order",
     "Demo image: four bank bodies stored 9, 0, 1, 8; the program puts each into its own quarter."},
    {"economy-256k.bin", k256K, {0, 1, 8, 9}, kBankOrderImage, -1, "1.4", "Economy tune",
     "Demo image: leaner part-load fuelling and an earlier torque converter lock-up."},
    {"stock-216k.bin", k216K, {0, 1, 9, 8}, 0x08090100, 3, "1.0", "Stock calibration, 216 KB form",
     "Demo image: the unmodified calibration the other demo tunes start from."},
    {"banks18-112k.bin", k112K, {1, 8}, kBankOrderTwoBanks, -1, "", "", ""},
    {"boot-64k.bin", k64K, {9}, kBankOrderUnknown, 5, "0.3", "Bank 9 quarter only",
     "Demo image: a 64 KB quarter; the rest of the position stays erased."},
    {"bank9-56k.bin", k56K, {9}, kBankOrderUnknown, -1, "", "", ""},
    {"banks18-88k.bin", k88K, {1, 8}, kBankOrderTwoBanks, -1, "", "", ""},
};
const int kDemoTuneCount = int(sizeof kDemoTunes / sizeof kDemoTunes[0]);
const char kDemoTuneFolder[] = "tunes";

namespace {

const char kBank9Marker[] = "Copyright Ford";

// Calibration-looking filler: smooth tables with a little noise, never starting FF FF.
void FillBankBody(int bank, uint8_t* body)
{
    uint32_t noise = 0x9E3779B9u * uint32_t(bank + 1);
    for (uint32_t i = 0; i < kBankBodySize; ++i) {
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        body[i] = uint8_t(((i >> 4) & 0x3F) + (i & 0x0F) * 3 + bank * 16 + (noise & 0x07));
    }
    // The recogniser tells the banks apart by their first bytes, and bank 9 from bank 0 by
    // the marker text.
    static const uint8_t kFirstBytes[][4] = {
        {0xFF, 0xFA, 0x27, 0xFE},  // banks 0 and 9
        {0x12, 0x34, 0x56, 0x78},  // bank 1
        {0xFF, 0xFA, 0x10, 0x20},  // bank 8
    };
    const uint8_t* first = bank == 1 ? kFirstBytes[1] : bank == 8 ? kFirstBytes[2] : kFirstBytes[0];
    memcpy(body, first, 4);
    if (bank == 9)
        memcpy(body + 0x0100, kBank9Marker, sizeof kBank9Marker - 1);
}

// A piece of a file: the first `length` bytes of a bank body.
struct Piece {
    uint32_t fileOffset;
    uint32_t length;
};

// Where each piece of the bank forms lies in the file, as the recogniser reads it.
int PiecesOfForm(uint32_t size, Piece* pieces)
{
    switch (size) {
    case k224K:
        for (uint32_t k = 0; k < 4; ++k)
            pieces[k] = {k * kBankBodySize, kBankBodySize};
        return 4;
    case k216K:
        pieces[0] = {0x00000, kBankBodySize};
        pieces[1] = {0x0E000, 0xC000};
        pieces[2] = {0x1A000, kBankBodySize};
        pieces[3] = {0x28000, kBankBodySize};
        return 4;
    case k112K:
        pieces[0] = {0x0000, kBankBodySize};
        pieces[1] = {0xE000, kBankBodySize};
        return 2;
    case k88K:
        pieces[0] = {0x0000, 0x8000};
        pieces[1] = {0x8000, kBankBodySize};
        return 2;
    case k56K:
        pieces[0] = {0, size};
        return 1;
    }
    return 0;
}

void CopyText(char* field, size_t fieldSize, const char* text)
{
    snprintf(field, fieldSize, "%s", text);
}

} // namespace

std::string DemoTunePath(const std::string& programFolder, const DemoTune& tune)
{
    const char separator = programFolder.empty() ? '/' : programFolder.back();
    return programFolder + kDemoTuneFolder + separator + tune.fileName;
}

void StampDemoRecord(const DemoTune& tune, const std::string& programFolder, BankOrder order, uint8_t* image)
{
    TuneMetadata record;
    memcpy(&record, image + kMetadataOffset, sizeof record);
    StampMetadata(&record, DemoTunePath(programFolder, tune).c_str(), tune.size, order);
    CopyText(record.version, sizeof record.version, tune.version);
    CopyText(record.summary, sizeof record.summary, tune.summary);
    CopyText(record.description, sizeof record.description, tune.description);
    memcpy(image + kMetadataOffset, &record, sizeof record);
}

std::vector<uint8_t> BuildDemoTuneFile(const DemoTune& tune, const std::string& programFolder)
{
    std::vector<uint8_t> file(tune.size, 0xFF);
    std::vector<uint8_t> body(kBankBodySize);
    if (tune.size == k256K || tune.size == k64K) {
        // Whole quarters: 8 KB of erased bytes, then the bank body.
        const uint32_t quarters = tune.size / kQuarterSize;
        for (uint32_t q = 0; q < quarters; ++q) {
            FillBankBody(tune.pieceBanks[q], body.data());
            memcpy(file.data() + q * kQuarterSize + kBankBodyOffset, body.data(), kBankBodySize);
        }
        if (tune.size == k256K)
            StampDemoRecord(tune, programFolder, kBankOrderImage, file.data());
        return file;
    }
    Piece pieces[4];
    const int count = PiecesOfForm(tune.size, pieces);
    for (int k = 0; k < count; ++k) {
        FillBankBody(tune.pieceBanks[k], body.data());
        memcpy(file.data() + pieces[k].fileOffset, body.data(), pieces[k].length);
    }
    return file;
}

std::string CheckDemoTuneFile(const DemoTune& tune, const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> image(kTuneImageSize);
    BankOrder order = kBankOrderUnknown;
    const int recognised =
        RecogniseTuneFile(bytes.data(), uint32_t(bytes.size()), image.data(), uint32_t(image.size()), &order);
    char problem[160] = "";
    if (!recognised && bytes.size() != kTuneImageSize)
        snprintf(problem, sizeof problem, "%s: not recognised", tune.fileName);
    else if (order != tune.expectedOrder)
        snprintf(problem, sizeof problem, "%s: bank order %08X, meant %08X", tune.fileName, unsigned(order),
                 unsigned(tune.expectedOrder));
    return problem;
}
