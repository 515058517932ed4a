#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "tune/tune_image.h"

namespace {
typedef std::vector<uint8_t> Bytes;

// A 56 KB bank body that classifies as the given bank (-1: blank), filled with a tag.
Bytes Body(int bank, uint8_t tag)
{
    Bytes body(kBankBodySize, tag);
    const uint8_t start[4] = {0xFF, 0xFA, 0x27, 0xFE};
    if (bank == -1 || bank == 8)
        body[0] = 0xFF, body[1] = bank == 8 ? 0xFA : 0xFF;
    else if (bank == 0 || bank == 9)
        memcpy(body.data(), start, 4);
    else
        body[0] = 0x12;
    if (bank == 9)
        memcpy(body.data() + 1000, "Copyright Ford", 14);
    return body;
}

Bytes Concat(std::initializer_list<Bytes> pieces)
{
    Bytes all;
    for (const Bytes& p : pieces)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

bool Same(const Bytes& image, uint32_t imageOffset, const Bytes& file, uint32_t fileOffset, uint32_t length)
{
    return memcmp(image.data() + imageOffset, file.data() + fileOffset, length) == 0;
}

typedef std::array<uint32_t, 3> Piece;  // file offset, length, image offset

// The pieces sit where they belong and every other byte is the 0xFF fill.
void ExpectPlaced(const Bytes& image, const Bytes& file, const std::vector<Piece>& pieces)
{
    std::vector<bool> covered(kTuneImageSize);
    for (const Piece& p : pieces) {
        EXPECT_TRUE(Same(image, p[2], file, p[0], p[1])) << std::hex << p[2];
        std::fill(covered.begin() + p[2], covered.begin() + p[2] + p[1], true);
    }
    for (uint32_t i = 0; i < kTuneImageSize; ++i)
        if (!covered[i] && image[i] != 0xFF) {
            ADD_FAILURE() << "no fill at " << std::hex << i;
            return;
        }
}
}

TEST(RecogniseTuneFile, EverySize)
{
    const struct {
        uint32_t size;
        std::vector<Piece> pieces;
        BankOrder order;
    } rows[] = {
        {24576, {{0, 24576, 0x32000}}, kBankOrderUnknown},
        {32768, {{0, 32768, 0x32000}}, kBankOrderUnknown},
        {57344, {{0, 57344, 0x32000}}, kBankOrderUnknown},
        {65536, {{0, 65536, 0x30000}}, kBankOrderUnknown},
        {0x16000, {{0, 0x8000, 0x12000}, {0x8000, 0xE000, 0x22000}}, 0xFF0801FF},
        {0x1C000, {{0, 0xE000, 0x12000}, {0xE000, 0xE000, 0x22000}}, 0xFF0801FF},
        {0x36000, {{0, 0xE000, 0x2000}, {0xE000, 0xC000, 0x12000}, {0x1A000, 0xE000, 0x32000}, {0x28000, 0xE000, 0x22000}},
         0x08090100},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.size);
        Bytes file(row.size);
        for (uint32_t i = 0; i < row.size; ++i)
            file[i] = uint8_t(i * 7 + (i >> 9));
        Bytes image(kTuneImageSize, 0x55);
        BankOrder order = kBankOrderUnknown;
        EXPECT_EQ(RecogniseTuneFile(file.data(), row.size, image.data(), kTuneImageSize, &order), 1);
        EXPECT_EQ(order, row.order);
        ExpectPlaced(image, file, row.pieces);
    }
}

TEST(RecogniseTuneFile, WholeImageAndUnknownSizes)
{
    Bytes file(kTuneImageSize + 1, 0x3C);
    Bytes image(kTuneImageSize, 0x55);
    BankOrder order = 1234;
    // Unknown sizes, missing buffers and a buffer smaller than an image touch nothing.
    for (uint32_t size : {kTuneImageSize + 1, 102400u, 57343u, 0u})
        EXPECT_EQ(RecogniseTuneFile(file.data(), size, image.data(), kTuneImageSize, &order), 0);
    EXPECT_EQ(RecogniseTuneFile(nullptr, 57344, image.data(), kTuneImageSize, &order), 0);
    EXPECT_EQ(RecogniseTuneFile(file.data(), 57344, image.data(), kTuneImageSize - 1, &order), 0);
    EXPECT_EQ(order, 1234u);
    EXPECT_EQ(image, Bytes(kTuneImageSize, 0x55));

    // A whole image is copied unchanged, yet reported as not recognised.
    EXPECT_EQ(RecogniseTuneFile(file.data(), kTuneImageSize, image.data(), kTuneImageSize, &order), 0);
    EXPECT_EQ(image, Bytes(kTuneImageSize, 0x3C));
    EXPECT_EQ(order, kBankOrderImage);
}

TEST(ClassifyBank, MarkerWhollyInsideTheBody)
{
    EXPECT_EQ(ClassifyBank(Body(-1, 0).data(), kBankBodySize), -1);
    EXPECT_EQ(ClassifyBank(Body(9, 0).data(), kBankBodySize - 1), -1);
    Bytes body = Body(0, 0);
    memcpy(body.data() + kBankBodySize - 14, "Copyright Ford", 14);
    EXPECT_EQ(ClassifyBank(body.data(), kBankBodySize), 9);
    body = Body(0, 0);
    body.push_back('d');  // the last byte lies past the body
    memcpy(body.data() + kBankBodySize - 13, "Copyright For", 13);
    EXPECT_EQ(ClassifyBank(body.data(), kBankBodySize), 0);
}

TEST(DetectBankOrder, BanksMoveToTheirQuarters)
{
    const int orders[2][4] = {{0, 1, 8, 9}, {9, 8, 1, 0}};
    const BankOrder words[2] = {0x09080100, 0x00010809};
    for (int o = 0; o < 2; ++o) {
        const int* b = orders[o];
        Bytes file = Concat({Body(b[0], 0xA0), Body(b[1], 0xA1), Body(b[2], 0xA2), Body(b[3], 0xA3)});
        Bytes image(kTuneImageSize);
        BankOrder order = 0;
        EXPECT_EQ(RecogniseTuneFile(file.data(), 0x38000, image.data(), kTuneImageSize, &order), 1);
        EXPECT_EQ(order, words[o]);
        std::vector<Piece> pieces;
        for (uint32_t k = 0; k < 4; ++k) {
            uint32_t quarter = b[k] == 0 ? 0 : b[k] == 1 ? 1 : b[k] == 8 ? 2 : 3;
            pieces.push_back({k * kBankBodySize, kBankBodySize, quarter * kQuarterSize + kBankBodyOffset});
        }
        ExpectPlaced(image, file, pieces);
    }
}

TEST(DetectBankOrder, BlankPieces)
{
    // Banks 8 and 1 with two blank pieces: the known two-bank form counts as recognised.
    Bytes file = Concat({Body(8, 0xC8), Body(1, 0xC1), Body(-1, 0xFF), Body(-1, 0xFF)});
    Bytes image(kTuneImageSize);
    BankOrder order = 0;
    EXPECT_EQ(RecogniseTuneFile(file.data(), 0x38000, image.data(), kTuneImageSize, &order), 1);
    EXPECT_EQ(order, kBankOrderBanks8And1);
    EXPECT_TRUE(Same(image, 0x22000, file, 0, kBankBodySize));
    EXPECT_TRUE(Same(image, 0x12000, file, kBankBodySize, kBankBodySize));
    EXPECT_TRUE(Same(image, 0x02000, file, 0, kBankBodySize));  // nothing moved over it

    // One blank piece among good ones: not recognised, its place marked.
    file = Concat({Body(0, 0xD0), Body(-1, 0xFF), Body(8, 0xD8), Body(9, 0xD9)});
    EXPECT_EQ(RecogniseTuneFile(file.data(), 0x38000, image.data(), kTuneImageSize, &order), 0);
    EXPECT_EQ(order, 0x0908FE00u);
}

TEST(DetectBankOrder, MaskAndLaterMovesWin)
{
    Bytes image(kTuneImageSize, 0x11);
    // Quarters 0 and 2 both hold bank 1; quarter 2 moves last and wins.
    memcpy(image.data() + 0x02000, Body(1, 0x70).data(), kBankBodySize);
    memcpy(image.data() + 0x22000, Body(1, 0x72).data(), kBankBodySize);
    BankOrder order = 0;
    EXPECT_EQ(DetectBankOrder(image.data(), 0x5, &order), 1);
    EXPECT_EQ(order, 0xFF01FF01u);
    EXPECT_EQ(image[0x12001], 0x72);
    EXPECT_EQ(image[0x02001], 0x70);  // no quarter moved to bank 0's place
    EXPECT_EQ(image[0x32000], 0x11);  // quarter 3 was not named, so never examined
}
