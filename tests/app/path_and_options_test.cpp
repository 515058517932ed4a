#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/command_line.h"
#include "app/file_log.h"
#include "app/split_path.h"
#include "tests/tune/temp_folder.h"

// The title shows the last three parts of the layout path; the head is what precedes them.
TEST(SplitPath, TailAndHeadByDepth)
{
    const struct {
        const char* path;
        const char* tail;
        const char* head;
    } cases[] = {
        {"C:\\a\\b\\c\\d.t6layout", "b\\c\\d.t6layout", "C:\\a\\"},
        // Too few separators: the whole path, and a head of the first character only.
        {"C:\\d.t6layout", "C:\\d.t6layout", "C"},
        // Forward slashes count, and index 0 is never a separator.
        {"\\share/dir\\x/f.bin", "dir\\x/f.bin", "\\share/"},
        {"\\a/b\\f.bin", "\\a/b\\f.bin", "\\"},
    };
    for (const auto& c : cases) {
        char tail[64] = "?", head[64] = "?";
        SplitPath(c.path, tail, sizeof tail, head, sizeof head, 2);
        EXPECT_EQ(std::string(tail) + "|" + head, std::string(c.tail) + "|" + c.head) << c.path;
    }
    // An empty path writes nothing; the buffers are optional and bounded.
    char untouched[8] = "kept";
    SplitPath("", untouched, sizeof untouched, nullptr, 0, 2);
    EXPECT_STREQ(untouched, "kept");
    char small[6];
    SplitPath("C:\\a\\b\\longname.bin", small, sizeof small, nullptr, 0, 0);
    EXPECT_STREQ(small, "longn");
}

// "/log" is the whole word in any case and takes the next word; a layout is a word ending
// in ".t6layout", before or after it, and never the log's own file name.
TEST(CommandLine, FindsTheLogFileAndTheLayout)
{
    const struct {
        const char* line;
        const char* log;     // "": no log
        const char* layout;  // "": no layout
    } cases[] = {
        {"  /LOG   \"C:\\my logs\\t6.log\"  /other", "C:\\my logs\\t6.log", ""},
        {"ignored /log z.txt", "z.txt", ""},
        {"/log", "", ""},
        {"/logs x", "", ""},
        {"/log-x y", "", ""},
        {"/LOGFILE x", "", ""},
        {"\"C:\\x y\\a.T6Layout\" /log a.log", "a.log", "C:\\x y\\a.T6Layout"},
        {"/log b.t6layout c.t6layout d.t6layout", "b.t6layout", "c.t6layout"},
        {"e.t6layout.bin t6layout /log", "", ""},
        // A name that does not fit is no name: a cut one would be another file.
        {"/log C:\\far\\too\\long\\for\\the\\buffer.log", "", ""},
        {"C:\\far\\too\\long\\for\\it.t6layout f.t6layout", "", "f.t6layout"},
    };
    for (const auto& c : cases) {
        char log[24] = "?", layout[24] = "?";
        EXPECT_EQ(FindLogFileOption(c.line, log, sizeof log), c.log[0] != '\0') << c.line;
        EXPECT_EQ(FindLayoutFileArgument(c.line, layout, sizeof layout), c.layout[0] != '\0') << c.line;
        EXPECT_EQ(std::string(log) + "|" + layout, std::string(c.log) + "|" + c.layout) << c.line;
    }
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
