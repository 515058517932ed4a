#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/tune/temp_folder.h"
#include "tune/clock.h"
#include "tune/metadata.h"

namespace {
std::vector<uint8_t> RecordBytes(const TuneMetadata& record)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&record);
    return std::vector<uint8_t>(p, p + sizeof record);
}
}

TEST(TuneMetadata, StampWritesItsFieldsInPlace)
{
    TuneMetadata record;
    memset(&record, 0xFF, sizeof record);
    strcpy(record.version, "v2");
    uint64_t before = CurrentFileTimeTicks();
    ASSERT_EQ(StampMetadata(&record, "C:\\tunes\\a.bin", 114688, 0xFF0801FF), 1);
    uint64_t after = CurrentFileTimeTicks();

    std::vector<uint8_t> bytes = RecordBytes(record);
    const uint8_t head[12] = {'6', 'T', 'V', 'K', 0x00, 0xC0, 0x01, 0x00, 0xFF, 0x01, 0x08, 0xFF};
    EXPECT_EQ(memcmp(bytes.data(), head, 12), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data() + 12), "C:\\tunes\\a.bin");
    uint64_t stamped = 0;
    memcpy(&stamped, bytes.data() + 268, 8);
    EXPECT_GE(stamped, before - before % 10000);  // Windows stamps whole milliseconds
    EXPECT_LE(stamped, after);
    // Reserved bytes and the texts keep what the image held.
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 276, bytes.begin() + 372), std::vector<uint8_t>(96, 0xFF));
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data() + 372), "v2");
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 384, bytes.end()), std::vector<uint8_t>(512, 0xFF));

    // A 260-character path keeps its first 255.
    std::string longPath(260, 'p');
    StampMetadata(&record, longPath.c_str(), 1, 1);
    EXPECT_EQ(std::string(record.originalPath), longPath.substr(0, 255));
    EXPECT_EQ(StampMetadata(nullptr, "x", 1, 1), 0);
}

TEST(TuneMetadata, LoadFromFilesOfEverySort)
{
    TempFolder folder;
    TuneMetadata stamped;
    memset(&stamped, 0xFF, sizeof stamped);
    StampMetadata(&stamped, "C:\\t.bin", 65536, kBankOrderUnknown);
    std::vector<uint8_t> record = RecordBytes(stamped);

    // A 64 KB file is quarter 3, so its record sits at file offset 0x1C00.
    std::vector<uint8_t> quarter(65536, 0x00), image(kTuneImageSize, 0x00);
    std::copy(record.begin(), record.end(), quarter.begin() + 0x1C00);
    std::copy(record.begin(), record.end(), image.begin() + kMetadataOffset);
    WriteBytes(folder.File("q.bin"), quarter);
    WriteBytes(folder.File("image.bin"), image);
    for (const char* name : {"q.bin", "image.bin"}) {
        TuneMetadata loaded = {};
        EXPECT_EQ(LoadTuneMetadataFromFile(folder.File(name).c_str(), &loaded), 1) << name;
        EXPECT_EQ(RecordBytes(loaded), record) << name;
    }

    // Read, but no record: one byte too long, no known size, empty, record in the fill.
    image.push_back(0);
    WriteBytes(folder.File("long.bin"), image);
    WriteBytes(folder.File("100k.bin"), std::vector<uint8_t>(102400, 0));
    WriteBytes(folder.File("empty.bin"), {});
    WriteBytes(folder.File("banks.bin"), std::vector<uint8_t>(0x1C000, 0x20));
    for (const char* name : {"long.bin", "100k.bin", "empty.bin", "banks.bin"}) {
        TuneMetadata untouched;
        memset(&untouched, 0x5A, sizeof untouched);
        EXPECT_EQ(LoadTuneMetadataFromFile(folder.File(name).c_str(), &untouched), 1) << name;
        EXPECT_EQ(untouched.magic[0], 0x5A) << name;
    }
    TuneMetadata out;
    EXPECT_EQ(LoadTuneMetadataFromFile(folder.File("missing.bin").c_str(), &out), 0);
    EXPECT_EQ(LoadTuneMetadataFromFile("", &out), 0);
}
