#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "tests/tune/temp_folder.h"
#include "tune/tune_image.h"

namespace {
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
    if (bank == 9)  // the marker ends with the body
        memcpy(body.data() + kBankBodySize - 14, "Copyright Ford", 14);
    return body;
}

typedef std::array<uint32_t, 3> Piece;  // file offset, length, image offset
const BankOrder kUntouched = 1234;

// Every piece sits where it belongs and every other byte is the 0xFF fill.
void ExpectPlaced(const Bytes& image, const Bytes& file, const std::vector<Piece>& pieces)
{
    Bytes expected(kTuneImageSize, 0xFF);
    for (const Piece& p : pieces)
        std::copy(file.begin() + p[0], file.begin() + p[0] + p[1], expected.begin() + p[2]);
    EXPECT_TRUE(image == expected);
}
} // namespace

TEST(RecogniseTuneFile, EverySize)
{
    const struct {
        uint32_t size;
        int result;
        BankOrder order;
        std::vector<Piece> pieces;  // none: refused, nothing touched
        uint32_t imageSize = kTuneImageSize;
        bool noFile = false;
    } rows[] = {
        {24576, 1, kUntouched, {{0, 24576, 0x32000}}},
        {57344, 1, kUntouched, {{0, 57344, 0x32000}}},
        {65536, 1, kUntouched, {{0, 65536, 0x30000}}},
        {0x16000, 1, 0xFF0801FF, {{0, 0x8000, 0x12000}, {0x8000, 0xE000, 0x22000}}},
        {0x1C000, 1, 0xFF0801FF, {{0, 0xE000, 0x12000}, {0xE000, 0xE000, 0x22000}}},
        {0x36000, 1, 0x08090100,
         {{0, 0xE000, 0x2000}, {0xE000, 0xC000, 0x12000}, {0x1A000, 0xE000, 0x32000}, {0x28000, 0xE000, 0x22000}}},
        // A whole image is copied unchanged, yet reported as not recognised.
        {kTuneImageSize, 0, kBankOrderImage, {{0, kTuneImageSize, 0}}},
        {kTuneImageSize + 1, 0, kUntouched, {}},
        {57343, 0, kUntouched, {}},
        {0, 0, kUntouched, {}},
        {57344, 0, kUntouched, {}, kTuneImageSize - 1},  // a buffer smaller than an image
        {57344, 0, kUntouched, {}, kTuneImageSize, true},
    };
    const Bytes file = Pattern(kTuneImageSize + 1, 0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.size);
        Bytes image(kTuneImageSize, 0x55);
        BankOrder order = kUntouched;
        EXPECT_EQ(RecogniseTuneFile(row.noFile ? nullptr : file.data(), row.size, image.data(), row.imageSize, &order),
                  row.result);
        EXPECT_EQ(order, row.order);
        if (row.pieces.empty())
            EXPECT_EQ(image, Bytes(kTuneImageSize, 0x55));
        else
            ExpectPlaced(image, file, row.pieces);
    }
}

TEST(ClassifyBank, MarkerWhollyInsideTheBody)
{
    EXPECT_EQ(ClassifyBank(Body(9, 0).data(), kBankBodySize - 1), -1);
    Bytes body = Body(0, 0);
    body.push_back('d');  // the last byte lies past the body
    memcpy(body.data() + kBankBodySize - 13, "Copyright For", 13);
    EXPECT_EQ(ClassifyBank(body.data(), kBankBodySize), 0);
}

// Four 56 KB pieces (0x38000 bytes): each moves to the quarter of the bank it holds.
TEST(DetectBankOrder, FourPiecesIncludingBlankOnes)
{
    const struct {
        int banks[4];
        int result;
        BankOrder order;
        std::vector<std::array<uint32_t, 2>> placed;  // file piece, image quarter
    } rows[] = {
        {{0, 1, 8, 9}, 1, 0x09080100, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {{9, 8, 1, 0}, 1, 0x00010809, {{0, 3}, {1, 2}, {2, 1}, {3, 0}}},
        // Banks 8 and 1 with two blank pieces: the known two-bank form counts as recognised.
        // Blank pieces stay where they are, and nothing moves over the first quarter.
        {{8, 1, -1, -1}, 1, kBankOrderBanks8And1, {{0, 0}, {0, 2}, {1, 1}, {3, 3}}},
        // One blank piece among good ones: not recognised, its place marked.
        {{0, -1, 8, 9}, 0, 0x0908FE00, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        // Two pieces hold bank 1: pieces move in order, so the later one wins, and nothing
        // moves to bank 8's quarter.
        {{1, 0, 1, 9}, 1, 0x09010001, {{1, 0}, {2, 1}, {2, 2}, {3, 3}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.order);
        Bytes file;
        for (int k = 0; k < 4; ++k) {
            Bytes body = Body(row.banks[k], uint8_t(0xA0 + k));
            file.insert(file.end(), body.begin(), body.end());
        }
        Bytes image(kTuneImageSize);
        BankOrder order = 0;
        EXPECT_EQ(RecogniseTuneFile(file.data(), 0x38000, image.data(), kTuneImageSize, &order), row.result);
        EXPECT_EQ(order, row.order);
        std::vector<Piece> pieces;
        for (const auto& p : row.placed)
            pieces.push_back({p[0] * kBankBodySize, kBankBodySize, p[1] * kQuarterSize + kBankBodyOffset});
        ExpectPlaced(image, file, pieces);
    }
}
