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
    switch (bank) {
    case -1: body[0] = body[1] = 0xFF; break;
    case 0: memcpy(body.data(), start, 4); break;
    case 9:
        memcpy(body.data(), start, 4);
        memcpy(body.data() + 1000, "Copyright Ford", 14);
        break;
    case 8: body[0] = 0xFF; body[1] = 0xFA; break;
    default: body[0] = 0x12; break;
    }
    return body;
}

Bytes Concat(std::initializer_list<Bytes> pieces)
{
    Bytes all;
    for (const Bytes& p : pieces)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes Pattern(uint32_t size)
{
    Bytes file(size);
    for (uint32_t i = 0; i < size; ++i)
        file[i] = uint8_t(i * 7 + (i >> 9));
    return file;
}

bool Same(const Bytes& image, uint32_t imageOffset, const Bytes& file, uint32_t fileOffset, uint32_t length)
{
    return memcmp(image.data() + imageOffset, file.data() + fileOffset, length) == 0;
}

// Bytes of the image outside the listed ranges are all 0xFF.
bool FilledOutside(const Bytes& image, const std::vector<std::pair<uint32_t, uint32_t>>& ranges)
{
    for (uint32_t i = 0; i < image.size(); ++i) {
        bool inside = false;
        for (auto& r : ranges)
            inside = inside || (i >= r.first && i < r.first + r.second);
        if (!inside && image[i] != 0xFF)
            return false;
    }
    return true;
}
}

TEST(RecogniseTuneFile, SizesPlacedOverFill)
{
    struct Row {
        uint32_t size;
        std::vector<std::array<uint32_t, 3>> pieces;  // file offset, length, image offset
        BankOrder order;
    };
    const Row rows[] = {
        {24576, {{0, 24576, 0x32000}}, kBankOrderUnknown},
        {32768, {{0, 32768, 0x32000}}, kBankOrderUnknown},
        {57344, {{0, 57344, 0x32000}}, kBankOrderUnknown},
        {65536, {{0, 65536, 0x30000}}, kBankOrderUnknown},
        {0x16000, {{0, 0x8000, 0x12000}, {0x8000, 0xE000, 0x22000}}, 0xFF0801FF},
        {0x1C000, {{0, 0xE000, 0x12000}, {0xE000, 0xE000, 0x22000}}, 0xFF0801FF},
        {0x36000, {{0, 0xE000, 0x2000}, {0xE000, 0xC000, 0x12000}, {0x1A000, 0xE000, 0x32000}, {0x28000, 0xE000, 0x22000}},
         0x08090100},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.size);
        Bytes file = Pattern(row.size);
        Bytes image(kTuneImageSize, 0x55);
        BankOrder order = kBankOrderUnknown;
        EXPECT_EQ(RecogniseTuneFile(file.data(), row.size, image.data(), kTuneImageSize, &order), 1);
        EXPECT_EQ(order, row.order);
        for (auto& p : row.pieces)
            EXPECT_TRUE(Same(image, p[2], file, p[0], p[1])) << std::hex << p[2];
        std::vector<std::pair<uint32_t, uint32_t>> ranges;
        for (auto& p : row.pieces)
            ranges.push_back({p[2], p[1]});
        EXPECT_TRUE(FilledOutside(image, ranges));
    }
}

TEST(RecogniseTuneFile, WholeImageCopiedButNotRecognised)
{
    Bytes file = Pattern(kTuneImageSize);
    Bytes image(kTuneImageSize, 0);
    BankOrder order = kBankOrderUnknown;
    EXPECT_EQ(RecogniseTuneFile(file.data(), kTuneImageSize, image.data(), kTuneImageSize, &order), 0);
    EXPECT_EQ(image, file);
    EXPECT_EQ(order, kBankOrderImage);
}

TEST(RecogniseTuneFile, OtherSizesAndBadArgumentsTouchNothing)
{
    Bytes file = Pattern(kTuneImageSize + 1);
    Bytes image(kTuneImageSize, 0x55);
    BankOrder order = 1234;
    for (uint32_t size : {kTuneImageSize + 1, 102400u, 57343u, 1u}) {
        EXPECT_EQ(RecogniseTuneFile(file.data(), size, image.data(), kTuneImageSize, &order), 0);
    }
    EXPECT_EQ(RecogniseTuneFile(nullptr, 57344, image.data(), kTuneImageSize, &order), 0);
    EXPECT_EQ(RecogniseTuneFile(file.data(), 0, image.data(), kTuneImageSize, &order), 0);
    EXPECT_EQ(RecogniseTuneFile(file.data(), 57344, nullptr, kTuneImageSize, &order), 0);
    // A buffer smaller than an image would be written past its end.
    EXPECT_EQ(RecogniseTuneFile(file.data(), 57344, image.data(), kTuneImageSize - 1, &order), 0);
    EXPECT_EQ(order, 1234u);
    EXPECT_EQ(image, Bytes(kTuneImageSize, 0x55));
    // The order pointer may be null.
    EXPECT_EQ(RecogniseTuneFile(file.data(), 0x1C000, image.data(), kTuneImageSize, nullptr), 1);
}

TEST(ClassifyBank, MarkerAndStartBytes)
{
    EXPECT_EQ(ClassifyBank(Body(-1, 0).data(), kBankBodySize), -1);
    EXPECT_EQ(ClassifyBank(Body(0, 0).data(), kBankBodySize), 0);
    EXPECT_EQ(ClassifyBank(Body(9, 0).data(), kBankBodySize), 9);
    EXPECT_EQ(ClassifyBank(Body(8, 0).data(), kBankBodySize), 8);
    EXPECT_EQ(ClassifyBank(Body(1, 0).data(), kBankBodySize), 1);
    EXPECT_EQ(ClassifyBank(Body(9, 0).data(), kBankBodySize - 1), -1);
    EXPECT_EQ(ClassifyBank(nullptr, kBankBodySize), -1);

    // The marker counts only wholly inside the body: at the very end yes, one byte later no.
    Bytes body = Body(0, 0);
    memcpy(body.data() + kBankBodySize - 14, "Copyright Ford", 14);
    EXPECT_EQ(ClassifyBank(body.data(), kBankBodySize), 9);
    body = Body(0, 0);
    body.push_back('d');
    memcpy(body.data() + kBankBodySize - 13, "Copyright For", 13);
    EXPECT_EQ(ClassifyBank(body.data(), kBankBodySize), 0);
}

TEST(DetectBankOrder, ImageFormInPlaceOrder)
{
    Bytes file = Concat({Body(0, 0xA0), Body(1, 0xA1), Body(8, 0xA8), Body(9, 0xA9)});
    Bytes image(kTuneImageSize);
    BankOrder order = kBankOrderUnknown;
    EXPECT_EQ(RecogniseTuneFile(file.data(), 0x38000, image.data(), kTuneImageSize, &order), 1);
    EXPECT_EQ(order, 0x09080100u);
    for (uint32_t k = 0; k < 4; ++k)
        EXPECT_TRUE(Same(image, k * kQuarterSize + kBankBodyOffset, file, k * kBankBodySize, kBankBodySize));
    EXPECT_TRUE(FilledOutside(image, {{0x2000, 0xE000}, {0x12000, 0xE000}, {0x22000, 0xE000}, {0x32000, 0xE000}}));
}

TEST(DetectBankOrder, ReorderedBanksMoveToTheirQuarters)
{
    Bytes file = Concat({Body(9, 0xB9), Body(8, 0xB8), Body(1, 0xB1), Body(0, 0xB0)});
    Bytes image(kTuneImageSize);
    BankOrder order = 0;
    EXPECT_EQ(RecogniseTuneFile(file.data(), 0x38000, image.data(), kTuneImageSize, &order), 1);
    EXPECT_EQ(order, 0x00010809u);
    EXPECT_TRUE(Same(image, 0x02000, file, 3 * kBankBodySize, kBankBodySize));
    EXPECT_TRUE(Same(image, 0x12000, file, 2 * kBankBodySize, kBankBodySize));
    EXPECT_TRUE(Same(image, 0x22000, file, 1 * kBankBodySize, kBankBodySize));
    EXPECT_TRUE(Same(image, 0x32000, file, 0, kBankBodySize));
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
    Bytes one = Body(1, 0x70), other = Body(1, 0x72);
    memcpy(image.data() + 0x02000, one.data(), kBankBodySize);
    memcpy(image.data() + 0x22000, other.data(), kBankBodySize);
    memset(image.data() + 0x12000, 0x33, 2);  // unnamed by the mask: never examined
    BankOrder order = 0;
    EXPECT_EQ(DetectBankOrder(image.data(), 0x5, &order), 1);
    EXPECT_EQ(order, 0xFF01FF01u);
    EXPECT_EQ(image[0x12001], 0x72);
    EXPECT_EQ(image[0x02001], 0x70);  // no quarter moved to bank 0's place
    EXPECT_EQ(image[0x32000], 0x11);
    EXPECT_EQ(DetectBankOrder(image.data(), 0x0, nullptr), 1);
    EXPECT_EQ(DetectBankOrder(nullptr, 0xF, &order), 0);
}
