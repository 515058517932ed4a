// The data resources the program reads from its own file: the version block, the icon
// sizes and the job sounds.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "t6_version.h"

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

// The title shows the first three parts; the fourth and the text are what file properties
// show, and must agree with them. t6tool.exe and t6linkcheck.exe, which ship beside it, carry
// the same version from the same build.
TEST(Embedded, VersionReadsFromTheProgramFiles)
{
    char own[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, own, sizeof(own));
    const char* programs[] = {own, getenv("T6_TOOL_EXE"), getenv("T6_LINKCHECK_EXE")};
    for (const char* path : programs) {
        ASSERT_NE(path, nullptr);
        DWORD ignored = 0;
        std::vector<BYTE> block(GetFileVersionInfoSizeA(path, &ignored));
        ASSERT_FALSE(block.empty()) << path;
        ASSERT_TRUE(GetFileVersionInfoA(path, 0, DWORD(block.size()), block.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        WORD* language = nullptr;
        char* text = nullptr;
        UINT size = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
        EXPECT_EQ(fixed->dwFileVersionMS, DWORD(MAKELONG(T6_VERSION_MINOR, T6_VERSION_MAJOR))) << path;
        EXPECT_EQ(fixed->dwFileVersionLS, DWORD(MAKELONG(T6_VERSION_TWEAK, T6_VERSION_PATCH))) << path;
        EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
        ASSERT_TRUE(
            VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&language), &size));
        char query[64];
        snprintf(query, sizeof(query), "\\StringFileInfo\\%04x%04x\\FileVersion", language[0], language[1]);
        ASSERT_TRUE(VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&text), &size));
        EXPECT_STREQ(text, T6_VERSION_TEXT) << path;
    }
}

TEST(Embedded, IconGroupHoldsEachSizeDrawnExactly)
{
    std::vector<BYTE> group = ResourceBytes(IDI_APP, RT_GROUP_ICON);
    ASSERT_FALSE(group.empty());
    for (int size : {16, 32, 48}) {
        // The best match must be this size itself, not one the system would scale.
        std::vector<BYTE> image = ResourceBytes(LookupIconIdFromDirectoryEx(group.data(), TRUE, size, size, 0), RT_ICON);
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER)) << size;
        EXPECT_EQ(Word32(image, 4), DWORD(size));      // width
        EXPECT_EQ(Word32(image, 8), DWORD(2 * size));  // colour rows and mask rows
        HICON icon = CreateIconFromResourceEx(image.data(), DWORD(image.size()), TRUE, 0x00030000, size, size, 0);
        EXPECT_NE(icon, nullptr) << size;
        DestroyIcon(icon);
    }
}

// What PlaySoundA needs to play a resource: a whole RIFF/WAVE file whose format chunk is
// 8-bit mono PCM (1 byte a frame, as many bytes a second as samples), then its samples.
TEST(Embedded, EverySoundIsAnEightBitMonoPcmWave)
{
    const std::string head("WAVEfmt \x10\0\0\0\x01\0\x01\0", 16), tail("\x01\0\x08\0" "data", 8);
    for (int id = IDS_SOUND_WRITE_OK; id <= IDS_SOUND_VERIFY_OK; ++id) {
        std::vector<BYTE> wave = ResourceBytes(id, "WAVE");
        ASSERT_GT(wave.size(), 44u) << id;
        const std::string bytes(wave.begin(), wave.end());
        EXPECT_EQ(bytes.substr(0, 4) + bytes.substr(8, 16) + bytes.substr(32, 8), "RIFF" + head + tail) << id;
        EXPECT_EQ(Word32(wave, 4) + 8, wave.size()) << id;
        EXPECT_EQ(Word32(wave, 24), Word32(wave, 28)) << id;
        EXPECT_GT(Word32(wave, 40), 0u) << id;
        EXPECT_LE(Word32(wave, 40) + 44, wave.size()) << id;
    }
}

}  // namespace
