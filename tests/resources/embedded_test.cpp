// The data resources the program reads from its own file: the version block, the icon
// sizes and the job sounds.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

// The raw bytes of a resource of this program, empty when it is missing.
std::vector<BYTE> ResourceBytes(int id, const char* type)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (found == nullptr)
        return {};
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    return std::vector<BYTE>(bytes, bytes + SizeofResource(module, found));
}

DWORD Word32(const std::vector<BYTE>& bytes, size_t at)
{
    DWORD value = 0;
    memcpy(&value, bytes.data() + at, 4);
    return value;
}

TEST(Embedded, VersionReadsFromTheProgramFile)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof(path));
    DWORD ignored = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeA(path, &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, DWORD(block.size()), block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(MAKELONG(0, 1), LONG(fixed->dwFileVersionMS));  // 1.0
    EXPECT_EQ(MAKELONG(1, 0), LONG(fixed->dwFileVersionLS));  // .0.1
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);

    // The texts are found through the block's own language and code page.
    WORD* language = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&language), &size));
    char query[64];
    snprintf(query, sizeof(query), "\\StringFileInfo\\%04x%04x\\FileVersion", language[0], language[1]);
    char* text = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&text), &size));
    EXPECT_STREQ("1.0.0.1", text);
}

TEST(Embedded, IconGroupHoldsEachSizeDrawnExactly)
{
    std::vector<BYTE> group = ResourceBytes(IDI_APP, RT_GROUP_ICON);
    ASSERT_FALSE(group.empty());
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE("size " + std::to_string(size));
        // The best match must be this size itself, not one the system would scale.
        int id = LookupIconIdFromDirectoryEx(group.data(), TRUE, size, size, LR_DEFAULTCOLOR);
        std::vector<BYTE> image = ResourceBytes(id, RT_ICON);
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(DWORD(size), Word32(image, 4));      // width
        EXPECT_EQ(DWORD(2 * size), Word32(image, 8));  // colour rows and mask rows
        HICON icon = CreateIconFromResourceEx(image.data(), DWORD(image.size()), TRUE, 0x00030000, size, size,
                                              LR_DEFAULTCOLOR);
        EXPECT_NE(icon, nullptr);
        DestroyIcon(icon);
    }
}

// What PlaySoundA needs to play a resource: a whole RIFF/WAVE file whose format chunk is
// 8-bit mono PCM, followed by its samples.
TEST(Embedded, EverySoundIsAnEightBitMonoPcmWave)
{
    // RIFF, WAVE, a 16-byte format chunk: PCM, 1 channel; 1 byte a frame, 8 bits; data.
    const std::string head = std::string("WAVEfmt \x10\0\0\0\x01\0\x01\0", 16);
    const std::string tail = std::string("\x01\0\x08\0" "data", 8);
    for (int id = IDS_SOUND_WRITE_OK; id <= IDS_SOUND_VERIFY_OK; ++id) {
        SCOPED_TRACE("sound " + std::to_string(id));
        std::vector<BYTE> wave = ResourceBytes(id, "WAVE");
        ASSERT_GT(wave.size(), 44u);
        EXPECT_EQ(0, memcmp(wave.data(), "RIFF", 4));
        EXPECT_EQ(Word32(wave, 4) + 8, wave.size());
        EXPECT_EQ(0, memcmp(wave.data() + 8, head.data(), head.size()));
        EXPECT_EQ(Word32(wave, 24), Word32(wave, 28));  // bytes a second = samples a second
        EXPECT_EQ(0, memcmp(wave.data() + 32, tail.data(), tail.size()));
        EXPECT_GT(Word32(wave, 40), 0u);
        EXPECT_LE(Word32(wave, 40) + 44, wave.size());  // and a pad byte after an odd count
    }
}

}  // namespace
