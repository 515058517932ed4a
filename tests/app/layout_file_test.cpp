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

    LayoutBlock loaded;
    memset(&loaded, 0, sizeof loaded);
    ASSERT_EQ(ReadLayoutFile(path.c_str(), &loaded), kLayoutRead);
    std::string again = folder.File("b.t6layout");
    ASSERT_EQ(WriteLayoutFile(again.c_str(), &loaded), 1);
    EXPECT_EQ(ReadBytes(again), stored);
    EXPECT_EQ(WriteLayoutFile("", &block), 0);
    EXPECT_EQ(WriteLayoutFile(path.c_str(), nullptr), 0);
}

TEST(LayoutFile, ReadOutcomesLeaveTheBlockAloneOnFailure)
{
    TempFolder folder;
    std::vector<uint8_t> image = BytesOf(SomeLayout());
    std::vector<uint8_t> longer = image;
    longer.push_back(0x99);
    WriteBytes(folder.File("long"), longer);
    WriteBytes(folder.File("short"), std::vector<uint8_t>(image.begin(), image.end() - 1));
    std::vector<uint8_t> newer = image;
    newer[0] = 2;
    WriteBytes(folder.File("newer"), newer);
    std::vector<uint8_t> zero = image;
    zero[0] = 0;
    WriteBytes(folder.File("zero"), zero);

    LayoutBlock block;
    memset(&block, 0x11, sizeof block);
    const std::vector<uint8_t> before = BytesOf(block);
    EXPECT_EQ(ReadLayoutFile(folder.File("short").c_str(), &block), kLayoutUnreadable);
    EXPECT_EQ(ReadLayoutFile(folder.File("newer").c_str(), &block), kLayoutTooNew);
    EXPECT_EQ(ReadLayoutFile(folder.File("missing").c_str(), &block), kLayoutUnreadable);
    EXPECT_EQ(ReadLayoutFile(folder.File("").c_str(), &block), kLayoutUnreadable);
    EXPECT_EQ(BytesOf(block), before);

    EXPECT_EQ(ReadLayoutFile(folder.File("long").c_str(), &block), kLayoutRead);
    EXPECT_EQ(BytesOf(block), image);
    EXPECT_EQ(ReadLayoutFile(folder.File("zero").c_str(), &block), kLayoutRead);
    EXPECT_EQ(block.layoutVersion, 0u);

    // A path filling its whole field is ended inside it.
    std::vector<uint8_t> unended = image;
    memset(unended.data() + 4 + 260 * 2, 'x', 260);
    WriteBytes(folder.File("unended"), unended);
    ASSERT_EQ(ReadLayoutFile(folder.File("unended").c_str(), &block), kLayoutRead);
    EXPECT_EQ(std::string(block.positionPaths[2].path), std::string(259, 'x'));
}

#if !defined(_WIN32)
TEST(LayoutFile, InterruptedWriteKeepsTheOldFile)
{
    TempFolder folder;
    std::string path = folder.File("keep.t6layout");
    LayoutBlock old = SomeLayout();
    ASSERT_EQ(WriteLayoutFile(path.c_str(), &old), 1);

    // The file system stops the write part-way, as a full disk would.
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    LayoutBlock fresh = SomeLayout();
    strcpy(fresh.positionPaths[0].path, "D:\\new.bin");
    int result = WriteLayoutFile(path.c_str(), &fresh);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_DFL);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(path), BytesOf(old));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"keep.t6layout"});
}
#endif

TEST(ModuleDirectory, CutAfterTheLastSeparator)
{
    char out[260];
    DirectoryOfPath("C:\\Program Files\\T6\\t6.exe", out, sizeof out);
    EXPECT_STREQ(out, "C:\\Program Files\\T6\\");
    DirectoryOfPath("t6.exe", out, sizeof out);
    EXPECT_STREQ(out, "");
    DirectoryOfPath("\\t6.exe", out, sizeof out);  // the first character is never looked at
    EXPECT_STREQ(out, "");
    DirectoryOfPath("", out, sizeof out);
    EXPECT_STREQ(out, "");
    char small[4];
    DirectoryOfPath("C:\\T6\\t6.exe", small, sizeof small);
    EXPECT_STREQ(small, "C:\\");

    ModuleDirectory(out, sizeof out);
    std::string folder = out;
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(folder.back() == '\\' || folder.back() == '/');
}
