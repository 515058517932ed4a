#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "tests/tune/temp_folder.h"
#include "tune/metadata.h"

namespace {
// 2024-03-05 07:08:09 UTC.
const uint64_t kSomeUpload = 133540960890000000ULL;

struct Table {
    TuneMetadata records[16];
};

// A device table of erased positions, with one stamped record in the given row.
Table WithRecord(int row, const TuneMetadata& record)
{
    Table table;
    memset(&table, 0xFF, sizeof table);
    table.records[row - 1] = record;
    return table;
}

TuneMetadata Stamped(const char* path, uint32_t size, BankOrder order)
{
    TuneMetadata record;
    memset(&record, 0xFF, sizeof record);
    StampMetadata(&record, path, size, order);
    record.uploadTime = {0xFFFFFFFF, 0xFFFFFFFF};
    return record;
}

std::string DeviceText(const Table& table, int row)
{
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

void SetUploadTime(TuneMetadata& record, uint64_t ticks)
{
    record.uploadTime = {uint32_t(ticks), uint32_t(ticks >> 32)};
}
}

TEST(DeviceInfoText, LinesAndBreaks)
{
    TuneMetadata record = Stamped("C:\\tunes\\two.bin", 114688, 0xFF0801FF);
    strcpy(record.version, "1.2");
    strcpy(record.summary, "street");
    strcpy(record.description, "line one\r\nline two");
    EXPECT_EQ(DeviceText(WithRecord(3, record), 3),
              "Original Filepath: C:\\tunes\\two.bin\r\n"
              "Original Bank Order: 1 8 \r\n"
              "Original File Size: 112 KB\r\n"
              "\r\nTune Version: 1.2\r\n"
              "\r\nSummary: street\r\n"
              "\r\nDescription: line one\r\nline two");

    // Missing texts, the N/A sizes, a blank place, and the last row.
    record = Stamped("C:\\x.bin", 262144, 0x0908FE00);
    record.summary[0] = '\0';
    EXPECT_EQ(DeviceText(WithRecord(16, record), 16),
              "Original Filepath: C:\\x.bin\r\n"
              "Original Bank Order: N/A\r\n"
              "Original File Size: 256 KB\r\n"
              "\r\nTune Version: <No Version Info>\r\n"
              "\r\nSummary: <No Summary Info>\r\n"
              "\r\nDescription: <No Description>");
    record.originalSize = 65536;
    EXPECT_NE(DeviceText(WithRecord(1, record), 1).find("Order: N/A\r\n"), std::string::npos);
    record.originalSize = 229376;
    EXPECT_NE(DeviceText(WithRecord(1, record), 1).find("Order: 0 ? 8 9 \r\n"), std::string::npos);
    record.bankOrder = 0x7F05FFFF;  // values that are no bank show nothing
    EXPECT_NE(DeviceText(WithRecord(1, record), 1).find("Order: \r\n"), std::string::npos);
}

TEST(DeviceInfoText, NoRecordOrNoRow)
{
    Table erased;
    memset(&erased, 0xFF, sizeof erased);
    EXPECT_EQ(DeviceText(erased, 1), "<Unrecognized metadata>");
    memset(&erased, 0x00, sizeof erased);
    EXPECT_EQ(DeviceText(erased, 8), "<Unrecognized metadata>");
    EXPECT_EQ(DeviceText(erased, 0), "");
    EXPECT_EQ(DeviceText(erased, 17), "");
}

TEST(DeviceInfoText, UploadTimeInTheLocalZone)
{
    TuneMetadata record = Stamped("C:\\a.bin", 57344, kBankOrderUnknown);
    SetUploadTime(record, kSomeUpload);
    std::string text = DeviceText(WithRecord(2, record), 2);
#if defined(_WIN32)
    // The zone is the machine's; whatever it is, the seconds and the shape hold.
    ASSERT_EQ(text.rfind("Upload Time: ", 0), 0u) << text;
    EXPECT_NE(text.find(":09\r\nOriginal Filepath: C:\\a.bin\r\n"), std::string::npos) << text;
#else
    const char* saved = getenv("TZ");
    std::string previous = saved ? saved : "";
    setenv("TZ", "UTC0", 1);
    tzset();
    EXPECT_EQ(DeviceText(WithRecord(2, record), 2).substr(0, 32), "Upload Time: 3/5/2024 07:08:09\r\n");
    setenv("TZ", "XST-3", 1);  // three hours east of UTC
    tzset();
    EXPECT_EQ(DeviceText(WithRecord(2, record), 2).substr(0, 32), "Upload Time: 3/5/2024 10:08:09\r\n");
    SetUploadTime(record, 10000000);  // one second into 1601: the year keeps four digits
    setenv("TZ", "UTC0", 1);
    tzset();
    EXPECT_EQ(DeviceText(WithRecord(2, record), 2).substr(0, 32), "Upload Time: 1/1/1601 00:00:01\r\n");
    if (saved)
        setenv("TZ", previous.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
#endif
    // Times no calendar can show are left out, like absent ones.
    SetUploadTime(record, 0x8000000000000000ULL);
    EXPECT_EQ(DeviceText(WithRecord(2, record), 2).rfind("Original Filepath: ", 0), 0u);
}

TEST(DeviceInfoText, FieldsWithoutNulStayInTheirField)
{
    TuneMetadata record;
    memset(&record, 'A', sizeof record);
    memcpy(record.magic, "6TVK", 4);
    record.originalSize = 2048;
    record.bankOrder = kBankOrderImage;
    record.uploadTime = {0, 0};
    std::string text = DeviceText(WithRecord(1, record), 1);
    EXPECT_EQ(text, "Original Filepath: " + std::string(255, 'A') +
                        "\r\nOriginal Bank Order: 0 1 8 9 \r\nOriginal File Size: 2 KB"
                        "\r\n\r\nTune Version: " + std::string(11, 'A') +
                        "\r\n\r\nSummary: " + std::string(63, 'A') +
                        "\r\n\r\nDescription: " + std::string(511, 'A'));
    EXPECT_EQ(FileText(1, record), "Version: " + std::string(11, 'A') + "\r\n\r\nSummary: " +
                                       std::string(63, 'A') + "\r\n\r\nDescription: " + std::string(511, 'A'));

    // A small box cuts the text rather than overrunning.
    char small[20];
    memset(small, 'z', sizeof small);
    Table table = WithRecord(1, record);
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
    EXPECT_EQ(FileText(1, record), "Version: \xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\r\n\r\nSummary: s\r\n\r\nDescription: ");

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

    std::string path56 = "C:\\" + std::string(51, 'b') + "\\x";  // 56 characters
    ASSERT_EQ(path56.size(), 56u);
    EXPECT_EQ(ShortenPathForDisplay(path56.c_str(), 260, out, sizeof out), 1);
    EXPECT_EQ(std::string(out), "..." + path56.substr(4));

    std::string path259(259, 'c');
    path259[200] = 'Q';
    EXPECT_EQ(ShortenPathForDisplay(path259.c_str(), 260, out, sizeof out), 1);
    EXPECT_EQ(std::string(out), "..." + path259.substr(207));

    // A record's 256-byte field without a NUL counts as 255 characters.
    char field[256];
    memset(field, 'd', sizeof field);
    field[254] = 'E';
    EXPECT_EQ(ShortenPathForDisplay(field, sizeof field, out, sizeof out), 1);
    EXPECT_EQ(std::string(out), "..." + std::string(51, 'd') + "E");

    char tiny[8];
    EXPECT_EQ(ShortenPathForDisplay(path56.c_str(), 260, tiny, sizeof tiny), 1);
    EXPECT_STREQ(tiny, "...bbbb");
    EXPECT_EQ(ShortenPathForDisplay(nullptr, 260, out, sizeof out), 0);
    EXPECT_STREQ(out, "");
}
