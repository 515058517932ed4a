#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/command_line.h"
#include "app/file_log.h"
#include "app/split_path.h"
#include "tests/tune/temp_folder.h"

TEST(SplitPath, TailAndHeadByDepth)
{
    struct Case {
        const char* path;
        int depth;
        const char* tail;
        const char* head;
    } cases[] = {
        {"C:\\a\\b\\c\\d.t6layout", 2, "b\\c\\d.t6layout", "C:\\a\\"},
        {"C:\\a\\b\\c\\d.t6layout", 0, "d.t6layout", "C:\\a\\b\\c\\"},
        // Too few separators: the whole path, and a head of the first character only.
        {"C:\\d.t6layout", 2, "C:\\d.t6layout", "C"},
        {"/x/y", 2, "/x/y", "/"},
        // Forward slashes count, and index 0 is never a separator.
        {"\\share/dir\\f.bin", 1, "dir\\f.bin", "\\share/"},
        {"name", 0, "name", "n"},
    };
    for (const Case& c : cases) {
        char tail[64] = "?";
        char head[64] = "?";
        SplitPath(c.path, tail, sizeof tail, head, sizeof head, c.depth);
        EXPECT_STREQ(tail, c.tail) << c.path << " depth " << c.depth;
        EXPECT_STREQ(head, c.head) << c.path << " depth " << c.depth;
    }

    // An empty path writes nothing; the buffers are optional and bounded.
    char untouched[8] = "kept";
    SplitPath("", untouched, sizeof untouched, nullptr, 0, 2);
    EXPECT_STREQ(untouched, "kept");
    char small[6];
    SplitPath("C:\\a\\b\\longname.bin", small, sizeof small, nullptr, 0, 0);
    EXPECT_STREQ(small, "longn");
}

TEST(CommandLine, FindsTheLogFile)
{
    struct Case {
        const char* line;
        const char* path;  // null: no log
    } cases[] = {
        {"/log C:\\t6.log", "C:\\t6.log"},
        {"  /LOG   \"C:\\my logs\\t6.log\"  /other", "C:\\my logs\\t6.log"},
        {"ignored /log z.txt", "z.txt"},
        {"/log", nullptr},
        {"/logfile x", nullptr},
        {"-log x", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        char path[64] = "?";
        EXPECT_EQ(FindLogFileOption(c.line, path, sizeof path), c.path != nullptr) << c.line;
        EXPECT_STREQ(path, c.path != nullptr ? c.path : "") << c.line;
    }
    // A name that does not fit is no name: a cut one would be another file.
    char small[8];
    EXPECT_FALSE(FindLogFileOption("/log C:\\far\\too\\long.log", small, sizeof small));
    EXPECT_STREQ(small, "");
}

TEST(FileLog, EveryLineIsInTheFileAtOnce)
{
    TempFolder folder;
    std::string path = folder.File("device.log");
    LogSink* sink = OpenFileLog(path.c_str());
    ASSERT_NE(sink, nullptr);
    LogPrintf(sink, "KVSerial: %s", "first");
    LogPrintf(sink, "second");
    // Read while the log is still open: nothing waits in a buffer for a crash to lose.
    Bytes written = ReadBytes(path);
    EXPECT_EQ(std::string(written.begin(), written.end()), "KVSerial: first\r\nsecond\r\n");
    CloseFileLog(sink);
    EXPECT_EQ(OpenFileLog(folder.File("missing/dir/x.log").c_str()), nullptr);
}
