#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "tests/tune/temp_folder.h"
#include "tune/clock.h"
#include "tune/metadata.h"

namespace {
TuneMetadata Stamped(const char* path, uint32_t size, BankOrder order, uint64_t uploadTime = ~0ULL)
{
    TuneMetadata record;
    memset(&record, 0xFF, sizeof record);
    StampMetadata(&record, path, size, order);
    record.uploadTime = {uint32_t(uploadTime), uint32_t(uploadTime >> 32)};
    return record;
}

// The device box for a record in the given row of an otherwise erased table.
std::string DeviceText(const TuneMetadata& record, int row = 1, size_t size = kInfoTextSize)
{
    TuneMetadata table[16];
    memset(table, 0xFF, sizeof table);
    if (row >= 1 && row <= 16)
        table[row - 1] = record;
    char text[kInfoTextSize];
    BuildDeviceInfoText(table, row, text, size);
    return text;
}

std::string FileText(int loaded, const TuneMetadata& record)
{
    char text[kInfoTextSize];
    FormatFileInfoText(loaded, record, text, sizeof text);
    return text;
}
}

TEST(TuneMetadata, StampWritesItsFieldsInPlaceAndLoadsFromFilesThatCarryIt)
{
    TuneMetadata record;
    memset(&record, 0xFF, sizeof record);
    strcpy(record.version, "v2");
    Bytes expected = BytesOf(record);
    uint64_t before = CurrentFileTimeTicks();
    ASSERT_EQ(StampMetadata(&record, "C:\\tunes\\a.bin", 114688, 0xFF0801FF), 1);
    uint64_t after = CurrentFileTimeTicks(), stamped = 0;
    memcpy(&stamped, &record.uploadTime, 8);
    EXPECT_GE(stamped, before - before % 10000);  // Windows stamps whole milliseconds
    EXPECT_LE(stamped, after);
    // Magic, size, bank order, the path NUL-filled, the time; reserved bytes and texts stay.
    const char head[] = "6TVK\x00\xC0\x01\x00\xFF\x01\x08\xFF" "C:\\tunes\\a.bin";
    std::fill(expected.begin() + 12, expected.begin() + 268, 0);
    std::copy(head, head + sizeof head, expected.begin());
    memcpy(expected.data() + 268, &stamped, 8);
    EXPECT_EQ(BytesOf(record), expected);
    // A 260-character path keeps its first 255.
    std::string longPath(260, 'p');
    StampMetadata(&record, longPath.c_str(), 1, 1);
    EXPECT_EQ(std::string(record.originalPath), longPath.substr(0, 255));

    // A 64 KB file is quarter 3, so its record sits at file offset 0x1C00. Read, but no
    // record: one byte too long for an image, and a record place in the 0xFF fill.
    TempFolder folder;
    const Bytes stored = BytesOf(Stamped("C:\\t.bin", 65536, kBankOrderUnknown));
    Bytes quarter(65536, 0x00), image(kTuneImageSize + 1, 0x00);
    std::copy(stored.begin(), stored.end(), quarter.begin() + 0x1C00);
    std::copy(stored.begin(), stored.end(), image.begin() + kMetadataOffset);
    WriteBytes(folder.File("q.bin"), quarter);
    WriteBytes(folder.File("long.bin"), image);
    WriteBytes(folder.File("banks.bin"), Bytes(0x1C000, 0x20));
    for (const char* name : {"q.bin", "long.bin", "banks.bin"}) {
        TuneMetadata loaded;
        memset(&loaded, 0x5A, sizeof loaded);
        EXPECT_EQ(LoadTuneMetadataFromFile(folder.File(name).c_str(), &loaded), 1) << name;
        EXPECT_EQ(BytesOf(loaded), name[0] == 'q' ? stored : Bytes(sizeof loaded, 0x5A)) << name;
    }
    EXPECT_EQ(LoadTuneMetadataFromFile(folder.File("missing.bin").c_str(), &record), 0);
}

TEST(InfoTexts, LinesBreaksMissingFieldsAndFieldsWithoutNul)
{
    TuneMetadata record = Stamped("C:\\x.bin", 262144, 0x0908FE00);
    record.summary[0] = '\0';
    EXPECT_EQ(DeviceText(record, 16), "Original Filepath: C:\\x.bin\r\nOriginal Bank Order: N/A\r\n"
                                      "Original File Size: 256 KB\r\n\r\nTune Version: <No Version Info>\r\n"
                                      "\r\nSummary: <No Summary Info>\r\n\r\nDescription: <No Description>");
    const struct {
        uint32_t size;
        BankOrder order;
        const char* shown;
    } orders[] = {{65536, 0x0908FE00, "N/A"}, {229376, 0x0908FE00, "0 ? 8 9 "}, {229376, 0x7F05FFFF, ""}};
    for (const auto& o : orders) {
        record.originalSize = o.size;
        record.bankOrder = o.order;
        EXPECT_NE(DeviceText(record).find("Order: " + std::string(o.shown) + "\r\n"), std::string::npos) << o.shown;
    }
    record.magic[0] = 0xFF;
    EXPECT_EQ(DeviceText(record), "<Unrecognized metadata>");
    EXPECT_EQ(DeviceText(record, 17), "");

    // Fields that fill their place without a NUL; a small box cuts the text. The file box
    // shows fields as they are: no placeholder for the 0xFF version. (A file without a
    // record, or none at all: the window tests.)
    memset(&record, 'A', sizeof record);
    memcpy(record.magic, "6TVK", 4);
    record.originalSize = 2048;
    record.bankOrder = kBankOrderImage;
    record.uploadTime = {0, 0};
    std::string texts = "Version: " + std::string(11, 'A') + "\r\n\r\nSummary: " + std::string(63, 'A') +
                        "\r\n\r\nDescription: " + std::string(511, 'A');
    EXPECT_EQ(DeviceText(record), "Original Filepath: " + std::string(255, 'A') +
                                      "\r\nOriginal Bank Order: 0 1 8 9 \r\nOriginal File Size: 2 KB\r\n\r\nTune " +
                                      texts);
    EXPECT_EQ(FileText(1, record), texts);
    EXPECT_EQ(DeviceText(record, 1, 20), "Original Filepath: ");
    memset(record.version, 0xFF, sizeof record.version);
    EXPECT_EQ(FileText(1, record).substr(0, 22), "Version: " + std::string(11, '\xFF') + "\r\n");
}

TEST(InfoTexts, UploadTimeInTheLocalZone)
{
    // 2024-03-05 07:08:09 UTC.
    TuneMetadata record = Stamped("C:\\a.bin", 57344, kBankOrderUnknown, 133540960890000000ULL);
#if defined(_WIN32)
    // The zone is the machine's; whatever it is, the seconds and the shape hold.
    std::string text = DeviceText(record);
    ASSERT_EQ(text.rfind("Upload Time: ", 0), 0u) << text;
    EXPECT_NE(text.find(":09\r\nOriginal Filepath: C:\\a.bin\r\n"), std::string::npos) << text;
#else
    std::string saved = getenv("TZ") ? getenv("TZ") : "";
    auto shown = [&](const char* zone) { setenv("TZ", zone, 1); tzset(); return DeviceText(record).substr(0, 32); };
    EXPECT_EQ(shown("UTC0"), "Upload Time: 3/5/2024 07:08:09\r\n");
    EXPECT_EQ(shown("XST-3"), "Upload Time: 3/5/2024 10:08:09\r\n");  // three hours east of UTC
    saved.empty() ? unsetenv("TZ") : setenv("TZ", saved.c_str(), 1);
    tzset();
#endif
    // Times no calendar can show are left out, like absent ones.
    record = Stamped("C:\\a.bin", 57344, kBankOrderUnknown, 0x8000000000000000ULL);
    EXPECT_EQ(DeviceText(record).rfind("Original Filepath: ", 0), 0u);
}

TEST(ShortenPathForDisplay, FiftySixCharactersAndMore)
{
    auto shorten = [](const char* path, size_t pathSize, size_t outSize, int shortened) {
        char out[260];
        EXPECT_EQ(ShortenPathForDisplay(path, pathSize, out, outSize), shortened);
        return std::string(out);
    };
    std::string path55(55, 'a'), path56 = "C:\\" + std::string(51, 'b') + "\\x";
    EXPECT_EQ(shorten(path55.c_str(), 260, 260, 0), path55);
    EXPECT_EQ(shorten(path56.c_str(), 260, 8, 1), "...bbbb");
    char field[256];  // a record's field without a NUL counts as 255 characters
    memset(field, 'd', sizeof field);
    field[254] = 'E';
    EXPECT_EQ(shorten(field, sizeof field, 260, 1), "..." + std::string(51, 'd') + "E");
}
