#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "tests/tune/temp_folder.h"
#include "tune/metadata.h"

namespace {
// The device table: erased positions, and one record in the given row.
struct Table {
    TuneMetadata records[16];
};

Table WithRecord(int row, const TuneMetadata& record)
{
    Table table;
    memset(&table, 0xFF, sizeof table);
    table.records[row - 1] = record;
    return table;
}

TuneMetadata Stamped(const char* path, uint32_t size, BankOrder order, uint64_t uploadTime = ~0ULL)
{
    TuneMetadata record;
    memset(&record, 0xFF, sizeof record);
    StampMetadata(&record, path, size, order);
    record.uploadTime = {uint32_t(uploadTime), uint32_t(uploadTime >> 32)};
    return record;
}

std::string DeviceText(const TuneMetadata& record, int row = 1)
{
    Table table = WithRecord(row, record);
    char text[kInfoTextSize];
    BuildDeviceInfoText(table.records, row, text, sizeof text);
    return text;
}

std::string FileText(int loaded, const TuneMetadata& record)
{
    char text[kInfoTextSize];
    FormatFileInfoText(loaded, record, text, sizeof text);
    return text;
}
}

TEST(DeviceInfoText, LinesBreaksAndMissingFields)
{
    TuneMetadata record = Stamped("C:\\tunes\\two.bin", 114688, 0xFF0801FF);
    strcpy(record.version, "1.2");
    strcpy(record.summary, "street");
    strcpy(record.description, "line one\r\nline two");
    EXPECT_EQ(DeviceText(record, 3),
              "Original Filepath: C:\\tunes\\two.bin\r\n"
              "Original Bank Order: 1 8 \r\n"
              "Original File Size: 112 KB\r\n"
              "\r\nTune Version: 1.2\r\n"
              "\r\nSummary: street\r\n"
              "\r\nDescription: line one\r\nline two");

    record = Stamped("C:\\x.bin", 262144, 0x0908FE00);
    record.summary[0] = '\0';
    EXPECT_EQ(DeviceText(record, 16),
              "Original Filepath: C:\\x.bin\r\n"
              "Original Bank Order: N/A\r\n"
              "Original File Size: 256 KB\r\n"
              "\r\nTune Version: <No Version Info>\r\n"
              "\r\nSummary: <No Summary Info>\r\n"
              "\r\nDescription: <No Description>");
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

    Table erased;
    memset(&erased, 0xFF, sizeof erased);
    char text[kInfoTextSize];
    BuildDeviceInfoText(erased.records, 1, text, sizeof text);
    EXPECT_STREQ(text, "<Unrecognized metadata>");
    BuildDeviceInfoText(erased.records, 17, text, sizeof text);
    EXPECT_STREQ(text, "");
}

TEST(DeviceInfoText, UploadTimeInTheLocalZone)
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
    setenv("TZ", "UTC0", 1);
    tzset();
    EXPECT_EQ(DeviceText(record).substr(0, 32), "Upload Time: 3/5/2024 07:08:09\r\n");
    setenv("TZ", "XST-3", 1);  // three hours east of UTC
    tzset();
    EXPECT_EQ(DeviceText(record).substr(0, 32), "Upload Time: 3/5/2024 10:08:09\r\n");
    saved.empty() ? unsetenv("TZ") : setenv("TZ", saved.c_str(), 1);
    tzset();
#endif
    // Times no calendar can show are left out, like absent ones.
    record = Stamped("C:\\a.bin", 57344, kBankOrderUnknown, 0x8000000000000000ULL);
    EXPECT_EQ(DeviceText(record).rfind("Original Filepath: ", 0), 0u);
}

TEST(InfoText, FieldsWithoutNulStayInTheirField)
{
    TuneMetadata record;
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

    // A small box cuts the text rather than overrunning.
    Table table = WithRecord(1, record);
    char small[20];
    BuildDeviceInfoText(table.records, 1, small, sizeof small);
    EXPECT_STREQ(small, "Original Filepath: ");
}

TEST(FileInfoText, OutcomesOfTheLoad)
{
    TuneMetadata record;
    memset(&record, 0xFF, sizeof record);
    EXPECT_EQ(FileText(0, record), "<Error opening file>");
    EXPECT_EQ(FileText(1, record), "<no metadata found>");
    memcpy(record.magic, "6TVK", 4);
    strcpy(record.summary, "s");
    record.description[0] = '\0';
    // Fields are shown as they are: no placeholder for the 0xFF version.
    EXPECT_EQ(FileText(1, record), "Version: " + std::string(11, '\xFF') + "\r\n\r\nSummary: s\r\n\r\nDescription: ");

    TempFolder folder;
    WriteBytes(folder.File("100k.bin"), std::vector<uint8_t>(102400, 0));
    char text[kInfoTextSize];
    BuildFileInfoText(folder.File("100k.bin").c_str(), text, sizeof text);
    EXPECT_STREQ(text, "<no metadata found>");
    BuildFileInfoText("", text, sizeof text);
    EXPECT_STREQ(text, "<Error opening file>");
}

TEST(ShortenPathForDisplay, FiftySixCharactersAndMore)
{
    char out[260];
    std::string path55(55, 'a');
    EXPECT_EQ(ShortenPathForDisplay(path55.c_str(), 260, out, sizeof out), 0);
    EXPECT_EQ(std::string(out), path55);
    std::string path56 = "C:\\" + std::string(51, 'b') + "\\x";
    EXPECT_EQ(ShortenPathForDisplay(path56.c_str(), 260, out, sizeof out), 1);
    EXPECT_EQ(std::string(out), "..." + path56.substr(4));

    // A record's 256-byte field without a NUL counts as 255 characters.
    char field[256];
    memset(field, 'd', sizeof field);
    field[254] = 'E';
    EXPECT_EQ(ShortenPathForDisplay(field, sizeof field, out, sizeof out), 1);
    EXPECT_EQ(std::string(out), "..." + std::string(51, 'd') + "E");

    char tiny[8];
    EXPECT_EQ(ShortenPathForDisplay(path56.c_str(), 260, tiny, sizeof tiny), 1);
    EXPECT_STREQ(tiny, "...bbbb");
}
