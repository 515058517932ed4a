#include <gtest/gtest.h>

#include <cstring>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/layout_file.h"
#include "app/module_directory.h"
#include "app/settings_file.h"
#include "tests/tune/temp_folder.h"
#include "tune/file_platform.h"

namespace {
LayoutBlock SomeLayout()
{
    LayoutBlock block;
    memset(&block, 0xAB, sizeof block);  // bytes after a path's NUL are stored as they are
    block.layoutVersion = 1;
    for (int i = 0; i < 16; ++i)
        snprintf(block.positionPaths[i].path, 260, "C:\\tunes\\position %X.bin", i);
    block.positionPaths[3].path[0] = '\0';
    return block;
}

SettingsBlock SomeSettings()
{
    SettingsBlock settings;
    memset(&settings, 0xCD, sizeof settings);
    strcpy(settings.layoutPath, "C:\\layouts\\street.t6layout");
    settings.layout = SomeLayout();
    settings.allowSoftwarePositionSelection = 1;
    return settings;
}

// A block stored and read back is byte for byte the same, and a file once written is replaced
// whole or not at all: a longer file before it is gone, and failed writes, down to one the
// file system stops part-way, leave it as it was with no temporary file beside it.
template <class Block, class Write, class Read>
void ExpectStoredWhole(Write write, Read read, Block old, Block fresh)
{
    TempFolder folder;
    std::string path = folder.File("target");
    WriteBytes(path, Bytes(9000, 0x77));
    ASSERT_EQ(write(path.c_str(), &old), 1);
    EXPECT_EQ(ReadBytes(path), BytesOf(old));
    Block loaded;
    ASSERT_EQ(read(path.c_str(), &loaded), 1);
    EXPECT_EQ(BytesOf(loaded), BytesOf(old));

    std::filesystem::create_directory(folder.File("sub"));
    EXPECT_EQ(write(folder.File("sub").c_str(), &fresh), 0);  // cannot be replaced
#if !defined(_WIN32)
    rlimit saved, small;
    getrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_IGN);
    small = saved;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    int result = write(path.c_str(), &fresh);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(result, 0);
#endif
    EXPECT_EQ(ReadBytes(path), BytesOf(old));
    EXPECT_EQ(folder.EntryCount(), 2u);
}

// The replacing write's temporary-file numbers: 0xABCD first, then 0x1234.
int g_numbersGiven;
uint32_t TakenNumberFirst()
{
    return g_numbersGiven++ == 0 ? 0xABCDu : 0x1234u;
}

#if defined(_WIN32)
// ReplaceFileA failing after it took the old file away, as it may without a backup name:
// 1176 leaves it gone, 1177 moved to another name; the replacement keeps its own name.
DWORD g_replaceError;
bool ReplaceFailingHalfWay(const char* replaced, const char*)
{
    if (g_replaceError == ERROR_UNABLE_TO_MOVE_REPLACEMENT)
        DeleteFileA(replaced);
    else
        MoveFileA(replaced, (std::string(replaced) + ".aside").c_str());
    SetLastError(g_replaceError);
    return false;
}
#endif

// A folder in the temporary one whose path, with its trailing separator, is `length`
// characters long.
std::string FolderOfLength(const TempFolder& folder, size_t length)
{
    std::string path = folder.File("");
    while (path.size() < length) {
        size_t remaining = length - path.size();
        path += std::string(remaining - 1 <= 200 ? remaining - 1 : 100, 'd');
        std::filesystem::create_directory(path);
        path += char(std::filesystem::path::preferred_separator);
    }
    return path;
}
}

TEST(StateFiles, LayoutFilesAndSettingsStoredWhole)
{
    LayoutBlock layout = SomeLayout();
    strcpy(layout.positionPaths[0].path, "D:\\new.bin");
    ExpectStoredWhole(WriteLayoutFile, ReadLayoutFile, SomeLayout(), layout);
    // settings.dat is stored with version 2 whatever the block held.
    SettingsBlock settings = SomeSettings();
    settings.allowSoftwarePositionSelection = 0;
    ExpectStoredWhole(WriteSettingsFile, ReadSettingsFile, SomeSettings(), settings);
}

// A replaced file changes only its bytes: it keeps its permissions or attributes, a link
// is written through to its target, and any folder that holds the path holds the
// temporary file beside it too. A temporary file a crash left where the write would put
// its own stays as it was.
TEST(StateFiles, ReplacedFilesStayWhatTheyWere)
{
    TempFolder folder;
    const LayoutBlock layout = SomeLayout();
    {
        TempFolder crashed;
        const std::string target = crashed.File("layout"), leftover = crashed.File("~t60000ABCD");
        WriteBytes(leftover, Bytes(5, 9));
        uint32_t (*const systemNumber)() = g_temporaryNumber;
        g_numbersGiven = 0;
        g_temporaryNumber = TakenNumberFirst;
        EXPECT_EQ(WriteLayoutFile(target.c_str(), &layout), 1);
        g_temporaryNumber = systemNumber;
        EXPECT_EQ(ReadBytes(target), BytesOf(layout));
        EXPECT_EQ(ReadBytes(leftover), Bytes(5, 9));
        EXPECT_EQ(crashed.EntryCount(), 2u);
    }
    std::string deep = FolderOfLength(folder, 248) + std::string(11, 'f');  // 259 characters
    EXPECT_EQ(WriteLayoutFile(deep.c_str(), &layout), 1);
    EXPECT_EQ(ReadBytes(deep), BytesOf(layout));

    std::string plain = folder.File("plain"), link = folder.File("link");
    WriteBytes(plain, Bytes(10, 1));
#if defined(_WIN32)
    ASSERT_TRUE(SetFileAttributesA(plain.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(WriteLayoutFile(plain.c_str(), &layout), 1);
    EXPECT_EQ(GetFileAttributesA(plain.c_str()) & FILE_ATTRIBUTE_HIDDEN, DWORD(FILE_ATTRIBUTE_HIDDEN));

    // A replace that fails after taking the old file away still ends with the new bytes in
    // place, and no temporary file beside them.
    bool (*const systemReplace)(const char*, const char*) = g_replaceFile;
    g_replaceFile = ReplaceFailingHalfWay;
    for (DWORD error : {DWORD(ERROR_UNABLE_TO_MOVE_REPLACEMENT), DWORD(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)}) {
        TempFolder failing;
        const std::string target = failing.File("layout");
        WriteBytes(target, Bytes(10, 1));
        g_replaceError = error;
        EXPECT_EQ(WriteLayoutFile(target.c_str(), &layout), 1) << error;
        EXPECT_EQ(ReadBytes(target), BytesOf(layout)) << error;
        EXPECT_EQ(failing.EntryCount(), error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ? 1u : 2u) << error;
    }
    g_replaceFile = systemReplace;
#else
    ASSERT_EQ(chmod(plain.c_str(), 0604), 0);
    EXPECT_EQ(WriteLayoutFile(plain.c_str(), &layout), 1);
    struct stat st;
    ASSERT_EQ(stat(plain.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    ASSERT_EQ(symlink("plain", link.c_str()), 0);
    const LayoutBlock empty = {};
    EXPECT_EQ(WriteLayoutFile(link.c_str(), &empty), 1);
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadBytes(plain), BytesOf(empty));

    // Only two characters of a name fit beside this one.
    TempFolder other;
    std::string tight = FolderOfLength(other, 257) + "xy";
    EXPECT_EQ(WriteLayoutFile(tight.c_str(), &layout), 1);
    EXPECT_EQ(ReadBytes(tight), BytesOf(layout));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::path(tight).parent_path()),
                            std::filesystem::directory_iterator()),
              1);
#endif
}

// What odd files load as. A layout: bytes past it are ignored, version 0 loads like 1, and
// a path filling its whole field is ended inside it (refused files: the layout command
// tests). settings.dat: a missing one is created empty, and it and one of another version
// give all zeros; a short one of version 2 keeps what it holds, its path ended in its field.
TEST(StateFiles, OddFilesLoadWhatTheyHold)
{
    TempFolder folder;
    Bytes image = BytesOf(SomeLayout());
    image[0] = 0;
    memset(image.data() + 4 + 260 * 2, 'x', 260);
    image.push_back(0x99);
    WriteBytes(folder.File("odd"), image);
    LayoutBlock block;
    ASSERT_EQ(ReadLayoutFile(folder.File("odd").c_str(), &block), kLayoutRead);
    image[4 + 260 * 3 - 1] = '\0';
    image.pop_back();
    EXPECT_EQ(BytesOf(block), image);

    const Bytes zeros(sizeof(SettingsBlock), 0);
    Bytes shortFile(300, 'p');  // version 2, with a layout path that has no NUL
    memcpy(shortFile.data(), "\x02\0\0\0", 4);
    WriteBytes(folder.File("short"), shortFile);
    WriteBytes(folder.File("foreign"), Bytes(4432, 0x41));
    shortFile[263] = '\0';
    shortFile.resize(zeros.size());
    const struct {
        const char* name;
        const Bytes& block;
    } rows[] = {{"missing", zeros}, {"foreign", zeros}, {"short", shortFile}};
    for (const auto& row : rows) {
        SettingsBlock settings;
        memset(&settings, 0x55, sizeof settings);
        EXPECT_EQ(ReadSettingsFile(folder.File(row.name).c_str(), &settings), 1) << row.name;
        EXPECT_EQ(BytesOf(settings), row.block) << row.name;
    }
    EXPECT_EQ(std::filesystem::file_size(folder.File("missing")), 0u);
}

// settings.dat that is there but cannot be read at start (here a folder in its place; one
// held open by another program or without read permission takes the same path) gives all
// zeros, and they do not replace it at exit: the user's layout path and layout stay.
// Without a known program folder (a path cut off at 260 characters) no settings.dat is
// read or written: the current folder's, which every file dialog changes, may be anyone's.
TEST(SettingsFile, UnreadableOrUnknownIsLeftAlone)
{
    char path[300];
    SettingsFilePath(path, sizeof path);
    std::filesystem::create_directory(path);
    EXPECT_EQ(LoadSettings(), 0);
    EXPECT_EQ(BytesOf(g_settings), Bytes(sizeof(SettingsBlock), 0));
    std::filesystem::remove(path);
    SettingsBlock stored = SomeSettings();
    stored.settingsVersion = 2;
    WriteBytes(path, BytesOf(stored));
    EXPECT_EQ(SaveSettings(), 0);
    EXPECT_EQ(ReadBytes(path), BytesOf(stored));
    // Read at the next start, it is written again.
    EXPECT_EQ(LoadSettings(), 1);
    EXPECT_EQ(SaveSettings(), 1);
    EXPECT_EQ(ReadBytes(path), BytesOf(stored));
    std::remove(path);

    TempFolder current;
    const std::filesystem::path startFolder = std::filesystem::current_path();
    std::filesystem::current_path(current.File(""));
    WriteBytes("settings.dat", BytesOf(stored));
    // As GetModuleFileNameA cuts a path off: the buffer filled, no NUL, its size returned.
    SetProgramPathSource([](char* buffer, size_t size) {
        for (size_t i = 0; i < size; ++i)
            buffer[i] = i % 10 == 2 ? '\\' : 'p';
        return size;
    });
    EXPECT_EQ(LoadSettings(), 0);
    EXPECT_EQ(BytesOf(g_settings), Bytes(sizeof(SettingsBlock), 0));
    strcpy(g_settings.layoutPath, "C:\\other.t6layout");
    EXPECT_EQ(SaveSettings(), 0);
    SetProgramPathSource(nullptr);
    std::filesystem::current_path(startFolder);
    EXPECT_EQ(ReadBytes(current.File("settings.dat")), BytesOf(stored));
    EXPECT_EQ(current.EntryCount(), 1u);
}

// The folder of the running program, with its separator; "" when the program's path does
// not fit 260 characters (this program, copied to a long path, runs this test again and
// reports what it found).
TEST(ModuleDirectory, FolderOfTheProgramOrNone)
{
    char out[260];
    ModuleDirectory(out, sizeof out);
    if (const char* report = getenv("T6_MODULE_DIRECTORY_REPORT"))
        return WriteBytes(report, Bytes(out, out + strlen(out) + 1));
    std::string folder = out;
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(folder.back() == '\\' || folder.back() == '/');
    DirectoryOfPath("C:\\Program Files\\T6\\t6.exe", out, sizeof out);
    EXPECT_STREQ(out, "C:\\Program Files\\T6\\");
#if !defined(_WIN32)
    TempFolder temp;
    std::filesystem::path deep = std::filesystem::path(temp.File(std::string(150, 'd'))) / std::string(150, 'e');
    std::filesystem::create_directories(deep);
    std::filesystem::copy_file("/proc/self/exe", deep / "app_tests");
    std::string report = temp.File("report");
    setenv("T6_MODULE_DIRECTORY_REPORT", report.c_str(), 1);
    std::string command = "'" + (deep / "app_tests").string() + "' --gtest_filter=ModuleDirectory.* >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    unsetenv("T6_MODULE_DIRECTORY_REPORT");
    EXPECT_EQ(ReadBytes(report), Bytes(1, 0));
#endif
}
