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
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);

    // The texts are found through the block's own language and code page.
    WORD* language = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&language), &size));
    ASSERT_GE(size, 4u);
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
        int id = LookupIconIdFromDirectoryEx(group.data(), TRUE, size, size, LR_DEFAULTCOLOR);
        std::vector<BYTE> image = ResourceBytes(id, RT_ICON);
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        // The best match must be this size itself, not one the system would scale.
        BITMAPINFOHEADER header;
        memcpy(&header, image.data(), sizeof(header));
        EXPECT_EQ(size, header.biWidth);
        EXPECT_EQ(2 * size, header.biHeight);  // colour rows and mask rows
        HICON icon = CreateIconFromResourceEx(image.data(), DWORD(image.size()), TRUE, 0x00030000, size, size,
                                              LR_DEFAULTCOLOR);
        EXPECT_NE(icon, nullptr);
        DestroyIcon(icon);
    }
}

DWORD Word32(const std::vector<BYTE>& bytes, size_t at)
{
    DWORD value = 0;
    memcpy(&value, bytes.data() + at, 4);
    return value;
}

WORD Word16(const std::vector<BYTE>& bytes, size_t at)
{
    WORD value = 0;
    memcpy(&value, bytes.data() + at, 2);
    return value;
}

// What PlaySoundA needs to play a resource: a RIFF/WAVE file with an 8-bit mono PCM
// format chunk and a data chunk inside the resource.
TEST(Embedded, EverySoundIsAnEightBitMonoPcmWave)
{
    for (int id = IDS_SOUND_WRITE_OK; id <= IDS_SOUND_VERIFY_OK; ++id) {
        SCOPED_TRACE("sound " + std::to_string(id));
        std::vector<BYTE> wave = ResourceBytes(id, "WAVE");
        ASSERT_GE(wave.size(), 12u);
        EXPECT_EQ(0, memcmp(wave.data(), "RIFF", 4));
        EXPECT_EQ(0, memcmp(wave.data() + 8, "WAVE", 4));
        EXPECT_LE(Word32(wave, 4) + 8, wave.size());
        bool format = false;
        DWORD dataSize = 0;
        for (size_t at = 12; at + 8 <= wave.size();) {
            DWORD chunk = Word32(wave, at + 4);
            ASSERT_LE(at + 8 + chunk, wave.size());
            if (memcmp(wave.data() + at, "fmt ", 4) == 0) {
                ASSERT_GE(chunk, 16u);
                EXPECT_EQ(1, Word16(wave, at + 8));                            // PCM
                EXPECT_EQ(1, Word16(wave, at + 10));                           // channels
                EXPECT_EQ(Word32(wave, at + 12), Word32(wave, at + 16));       // bytes a second = rate
                EXPECT_EQ(8, Word16(wave, at + 22));                           // bits a sample
                format = true;
            } else if (memcmp(wave.data() + at, "data", 4) == 0) {
                dataSize = chunk;
            }
            at += 8 + chunk + (chunk & 1);
        }
        EXPECT_TRUE(format);
        EXPECT_GT(dataSize, 0u);
    }
}

}  // namespace
