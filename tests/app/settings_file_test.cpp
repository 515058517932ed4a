#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/settings_file.h"
#include "tests/tune/temp_folder.h"

namespace {
std::vector<uint8_t> BytesOf(const SettingsBlock& settings)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&settings);
    return std::vector<uint8_t>(p, p + sizeof settings);
}

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset)
{
    uint32_t value;
    memcpy(&value, bytes.data() + offset, 4);
    return value;
}
}

TEST(SettingsFile, ByteImageRoundTrips)
{
    TempFolder folder;
    std::string path = folder.File("settings.dat");
    WriteBytes(path, std::vector<uint8_t>(5000, 0xEE));  // a longer old file is replaced whole

    SettingsBlock settings;
    memset(&settings, 0, sizeof settings);
    strcpy(settings.layoutPath, "C:\\layouts\\street.t6layout");
    settings.layout.layoutVersion = 1;
    strcpy(settings.layout.positionPaths[0].path, "C:\\tunes\\0.bin");
    strcpy(settings.layout.positionPaths[15].path, "C:\\tunes\\F.bin");
    settings.allowSoftwarePositionSelection = 1;
    ASSERT_EQ(WriteSettingsFile(path.c_str(), &settings), 1);

    std::vector<uint8_t> stored = ReadBytes(path);
    ASSERT_EQ(stored.size(), 4432u);
    EXPECT_EQ(U32At(stored, 0), 2u);
    EXPECT_STREQ(reinterpret_cast<const char*>(stored.data() + 4), "C:\\layouts\\street.t6layout");
    EXPECT_EQ(U32At(stored, 264), 1u);
    EXPECT_STREQ(reinterpret_cast<const char*>(stored.data() + 268), "C:\\tunes\\0.bin");
    EXPECT_STREQ(reinterpret_cast<const char*>(stored.data() + 268 + 260 * 15), "C:\\tunes\\F.bin");
    EXPECT_EQ(U32At(stored, 4428), 1u);

    SettingsBlock loaded;
    memset(&loaded, 0x77, sizeof loaded);
    ASSERT_EQ(ReadSettingsFile(path.c_str(), &loaded), 1);
    EXPECT_EQ(BytesOf(loaded), stored);
}

TEST(SettingsFile, MissingForeignAndShortFiles)
{
    TempFolder folder;
    SettingsBlock settings;
    const SettingsBlock zero = {};

    // A missing file is created empty and gives all zeros.
    memset(&settings, 0x55, sizeof settings);
    std::string fresh = folder.File("settings.dat");
    ASSERT_EQ(ReadSettingsFile(fresh.c_str(), &settings), 1);
    EXPECT_EQ(BytesOf(settings), BytesOf(zero));
    EXPECT_EQ(ReadBytes(fresh).size(), 0u);

    // Another version: all zeros.
    std::vector<uint8_t> foreign(4432, 0x41);
    foreign[0] = 3;
    WriteBytes(fresh, foreign);
    memset(&settings, 0x55, sizeof settings);
    ASSERT_EQ(ReadSettingsFile(fresh.c_str(), &settings), 1);
    EXPECT_EQ(BytesOf(settings), BytesOf(zero));

    // A short file with version 2 keeps what it holds, zeros after it; a path without a NUL
    // ends in its field.
    std::vector<uint8_t> shortFile(300, 'p');
    memcpy(shortFile.data(), "\x02\0\0\0", 4);
    WriteBytes(fresh, shortFile);
    ASSERT_EQ(ReadSettingsFile(fresh.c_str(), &settings), 1);
    EXPECT_EQ(std::string(settings.layoutPath), std::string(259, 'p'));
    EXPECT_EQ(settings.layout.layoutVersion, 0x70707070u);
    EXPECT_EQ(std::string(settings.layout.positionPaths[0].path), std::string(32, 'p'));
    EXPECT_EQ(settings.allowSoftwarePositionSelection, 0u);

    // Neither readable nor creatable: zeros and 0.
    std::filesystem::create_directory(folder.File("dir"));
    EXPECT_EQ(ReadSettingsFile(folder.File("dir").c_str(), &settings), 0);
    EXPECT_EQ(BytesOf(settings), BytesOf(zero));
    EXPECT_EQ(WriteSettingsFile(folder.File("dir").c_str(), &settings), 0);
}
