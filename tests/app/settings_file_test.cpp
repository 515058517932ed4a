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

const SettingsBlock kZero = {};
}

TEST(SettingsFile, ByteImageRoundTrips)
{
    TempFolder folder;
    std::string path = folder.File("settings.dat");
    SettingsBlock settings = {};
    strcpy(settings.layoutPath, "C:\\layouts\\street.t6layout");
    settings.layout.layoutVersion = 1;
    strcpy(settings.layout.positionPaths[15].path, "C:\\tunes\\F.bin");
    settings.allowSoftwarePositionSelection = 1;
    ASSERT_EQ(WriteSettingsFile(path.c_str(), &settings), 1);

    std::vector<uint8_t> stored = ReadBytes(path);
    ASSERT_EQ(stored.size(), 4432u);
    EXPECT_EQ(stored[0], 2);
    EXPECT_STREQ(reinterpret_cast<const char*>(stored.data() + 4), "C:\\layouts\\street.t6layout");
    EXPECT_EQ(stored[264], 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(stored.data() + 268 + 260 * 15), "C:\\tunes\\F.bin");
    EXPECT_EQ(stored[4428], 1);

    SettingsBlock loaded;
    memset(&loaded, 0x77, sizeof loaded);
    ASSERT_EQ(ReadSettingsFile(path.c_str(), &loaded), 1);
    EXPECT_EQ(BytesOf(loaded), stored);
}

TEST(SettingsFile, MissingForeignAndShortFiles)
{
    TempFolder folder;
    std::string path = folder.File("settings.dat");
    SettingsBlock settings;

    // A missing file is created empty; it and a file of another version give all zeros.
    memset(&settings, 0x55, sizeof settings);
    ASSERT_EQ(ReadSettingsFile(path.c_str(), &settings), 1);
    EXPECT_EQ(BytesOf(settings), BytesOf(kZero));
    EXPECT_EQ(ReadBytes(path).size(), 0u);
    std::vector<uint8_t> foreign(4432, 0x41);
    WriteBytes(path, foreign);
    ASSERT_EQ(ReadSettingsFile(path.c_str(), &settings), 1);
    EXPECT_EQ(BytesOf(settings), BytesOf(kZero));

    // A short file of version 2 keeps what it holds, zeros after it; a path without a NUL
    // ends in its field.
    std::vector<uint8_t> shortFile(300, 'p');
    memcpy(shortFile.data(), "\x02\0\0\0", 4);
    WriteBytes(path, shortFile);
    ASSERT_EQ(ReadSettingsFile(path.c_str(), &settings), 1);
    EXPECT_EQ(std::string(settings.layoutPath), std::string(259, 'p'));
    EXPECT_EQ(std::string(settings.layout.positionPaths[0].path), std::string(32, 'p'));
    EXPECT_EQ(settings.allowSoftwarePositionSelection, 0u);

    // Neither readable nor creatable: zeros and 0.
    std::filesystem::create_directory(folder.File("dir"));
    EXPECT_EQ(ReadSettingsFile(folder.File("dir").c_str(), &settings), 0);
    EXPECT_EQ(BytesOf(settings), BytesOf(kZero));
}
