#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <csignal>
#include <sys/resource.h>
#endif

#include "app/layout_file.h"
#include "app/module_directory.h"
#include "tests/tune/temp_folder.h"

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

std::vector<uint8_t> BytesOf(const LayoutBlock& block)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&block);
    return std::vector<uint8_t>(p, p + sizeof block);
}
}

TEST(LayoutFile, ByteImageRoundTrips)
{
    TempFolder folder;
    std::string path = folder.File("a.t6layout");
    LayoutBlock block = SomeLayout();
    ASSERT_EQ(WriteLayoutFile(path.c_str(), &block), 1);
    std::vector<uint8_t> stored = ReadBytes(path);
    ASSERT_EQ(stored.size(), 4164u);
    EXPECT_EQ(std::vector<uint8_t>(stored.begin(), stored.begin() + 4), (std::vector<uint8_t>{1, 0, 0, 0}));
    EXPECT_STREQ(reinterpret_cast<const char*>(stored.data() + 4 + 260 * 15), "C:\\tunes\\position F.bin");
    EXPECT_EQ(stored, BytesOf(block));

    LayoutBlock loaded = {};
    ASSERT_EQ(ReadLayoutFile(path.c_str(), &loaded), kLayoutRead);
    std::string again = folder.File("b.t6layout");
    ASSERT_EQ(WriteLayoutFile(again.c_str(), &loaded), 1);
    EXPECT_EQ(ReadBytes(again), stored);
}

TEST(LayoutFile, LongerOldAndUnendedFilesLoad)
{
    // Bytes past a layout are ignored, version 0 loads like 1, and a path filling its whole
    // field is ended inside it. (Refused files: the layout command tests.)
    TempFolder folder;
    std::vector<uint8_t> image = BytesOf(SomeLayout());
    image[0] = 0;
    memset(image.data() + 4 + 260 * 2, 'x', 260);
    image.push_back(0x99);
    WriteBytes(folder.File("odd"), image);
    LayoutBlock block;
    ASSERT_EQ(ReadLayoutFile(folder.File("odd").c_str(), &block), kLayoutRead);
    EXPECT_EQ(block.layoutVersion, 0u);
    EXPECT_EQ(std::string(block.positionPaths[2].path), std::string(259, 'x'));
    EXPECT_EQ(std::string(block.positionPaths[15].path), "C:\\tunes\\position F.bin");
}

TEST(LayoutFile, FailedWritesKeepTheOldFile)
{
    TempFolder folder;
    std::string path = folder.File("keep.t6layout");
    WriteBytes(path, std::vector<uint8_t>(9000, 0x77));
    LayoutBlock old = SomeLayout();
    ASSERT_EQ(WriteLayoutFile(path.c_str(), &old), 1);
    EXPECT_EQ(ReadBytes(path), BytesOf(old));  // the longer file before it is gone whole

    LayoutBlock fresh = SomeLayout();
    strcpy(fresh.positionPaths[0].path, "D:\\new.bin");
    std::filesystem::create_directory(folder.File("sub"));
    EXPECT_EQ(WriteLayoutFile(folder.File("sub").c_str(), &fresh), 0);  // cannot be replaced
    EXPECT_EQ(WriteLayoutFile(folder.File("no/such.t6layout").c_str(), &fresh), 0);
#if !defined(_WIN32)
    // The file system stops the write part-way, as a full disk would.
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    int result = WriteLayoutFile(path.c_str(), &fresh);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(result, 0);
#endif
    EXPECT_EQ(ReadBytes(path), BytesOf(old));
    EXPECT_EQ(folder.Names().size(), 2u);  // no temporary file left behind
}

TEST(ModuleDirectory, CutAfterTheLastSeparator)
{
    char out[260];
    DirectoryOfPath("C:\\Program Files\\T6\\t6.exe", out, sizeof out);
    EXPECT_STREQ(out, "C:\\Program Files\\T6\\");
    DirectoryOfPath("t6.exe", out, sizeof out);
    EXPECT_STREQ(out, "");
    DirectoryOfPath("\\t6.exe", out, sizeof out);  // the first character is never looked at
    EXPECT_STREQ(out, "");

    ModuleDirectory(out, sizeof out);
    std::string folder = out;
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(folder.back() == '\\' || folder.back() == '/');
}
