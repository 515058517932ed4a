#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/tune/temp_folder.h"
#include "tune/clock.h"
#include "tune/file_io.h"
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
    EXPECT_TRUE(HasMetadataMagic(record));
    EXPECT_TRUE(UploadTimePresent(record.uploadTime));
    EXPECT_EQ(StampMetadata(nullptr, "x", 1, 1), 0);

    // A 260-character path keeps its first 255.
    std::string longPath(260, 'p');
    StampMetadata(&record, longPath.c_str(), 1, 1);
    EXPECT_EQ(std::string(record.originalPath), longPath.substr(0, 255));
}

TEST(TuneMetadata, PresenceRules)
{
    FileTime time = {0, 0};
    EXPECT_FALSE(UploadTimePresent(time));
    time = {0xFFFFFFFF, 0xFFFFFFFF};
    EXPECT_FALSE(UploadTimePresent(time));
    time = {0xFFFFFFFF, 0};
    EXPECT_TRUE(UploadTimePresent(time));
    EXPECT_FALSE(RecordTextPresent("\xFF" "abc"));
    EXPECT_FALSE(RecordTextPresent(""));
    EXPECT_TRUE(RecordTextPresent(" "));
    EXPECT_EQ(FieldLength("abcdef", 4), 3u);
    EXPECT_EQ(FieldLength("ab", 4), 2u);
    EXPECT_EQ(FieldLength("ab", 0), 0u);
}

TEST(TuneMetadata, LoadFromFilesOfEverySort)
{
    TempFolder folder;
    TuneMetadata stamped;
    memset(&stamped, 0xFF, sizeof stamped);
    StampMetadata(&stamped, "C:\\t.bin", 65536, kBankOrderUnknown);
    strcpy(stamped.summary, "sum");
    std::vector<uint8_t> record = RecordBytes(stamped);

    // A 64 KB file is quarter 3, so its record sits at file offset 0x1C00.
    std::vector<uint8_t> quarter(65536, 0x00);
    std::copy(record.begin(), record.end(), quarter.begin() + 0x1C00);
    WriteBytes(folder.File("q.bin"), quarter);
    std::vector<uint8_t> image(kTuneImageSize, 0x00);
    std::copy(record.begin(), record.end(), image.begin() + kMetadataOffset);
    WriteBytes(folder.File("image.bin"), image);

    for (const char* name : {"q.bin", "image.bin"}) {
        TuneMetadata loaded;
        memset(&loaded, 0, sizeof loaded);
        EXPECT_EQ(LoadTuneMetadataFromFile(folder.File(name).c_str(), &loaded), 1) << name;
        EXPECT_EQ(RecordBytes(loaded), record) << name;
    }

    // Opened and read, but no record: the out record is left alone.
    image.push_back(0);
    WriteBytes(folder.File("long.bin"), image);
    WriteBytes(folder.File("100k.bin"), std::vector<uint8_t>(102400, 0));
    WriteBytes(folder.File("empty.bin"), {});
    WriteBytes(folder.File("banks.bin"), std::vector<uint8_t>(0x1C000, 0x20));  // record falls in the fill
    for (const char* name : {"long.bin", "100k.bin", "empty.bin", "banks.bin"}) {
        TuneMetadata untouched;
        memset(&untouched, 0x5A, sizeof untouched);
        EXPECT_EQ(LoadTuneMetadataFromFile(folder.File(name).c_str(), &untouched), 1) << name;
        EXPECT_EQ(untouched.magic[0], 0x5A) << name;
    }

    TuneMetadata out;
    EXPECT_EQ(LoadTuneMetadataFromFile(folder.File("missing.bin").c_str(), &out), 0);
    EXPECT_EQ(LoadTuneMetadataFromFile("", &out), 0);
    EXPECT_EQ(LoadTuneMetadataFromFile(nullptr, &out), 0);
    EXPECT_EQ(LoadTuneMetadataFromFile(folder.File("q.bin").c_str(), nullptr), 0);
}

TEST(FileIo, ReplacingWritesWholeFilesOnly)
{
    TempFolder folder;
    std::string target = folder.File("t.dat");
    WriteBytes(target, std::vector<uint8_t>(9000, 0x77));
    std::vector<uint8_t> fresh(100, 0x01);
    ASSERT_TRUE(WriteFileReplacing(target.c_str(), fresh.data(), uint32_t(fresh.size())));
    EXPECT_EQ(ReadBytes(target), fresh);  // the longer old file is gone, not overwritten in part
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"t.dat"});

    // A target that cannot be replaced (a folder) fails and leaves no temporary file.
    std::filesystem::create_directory(folder.File("sub"));
    EXPECT_FALSE(WriteFileReplacing(folder.File("sub").c_str(), fresh.data(), 100));
    EXPECT_FALSE(WriteFileReplacing(folder.File("nowhere/x.dat").c_str(), fresh.data(), 100));
    EXPECT_EQ(folder.Names().size(), 2u);
    EXPECT_FALSE(WriteFileReplacing("", fresh.data(), 100));

    uint8_t buffer[8];
    EXPECT_EQ(ReadFileStart(target.c_str(), buffer, sizeof buffer), 8);
    EXPECT_EQ(ReadFileStart(folder.File("missing").c_str(), buffer, sizeof buffer), -1);
}
