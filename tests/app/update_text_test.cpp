// What the update check makes of the update-information file: the version comparison,
// the line reading, and the page that sends the browser to a download address.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/update_file.h"
#include "app/update_page.h"
#include "app/update_version.h"
#include "tests/tune/temp_folder.h"

TEST(UpdateText, IsNewerVersion)
{
    const struct {
        const char* current;
        const char* candidate;
        int newer;
    } cases[] = {
        {"1.00.0000.00", "1.0.0", 0},          // equal, the fourth part ignored
        {"1.00.0000.00", "1.00.0000.99", 0},
        {"1.00.0000.00", "1.0.1\n", 1},        // a line end does not matter
        {"1.00.0000.00", "2", 1},              // missing parts are 0
        {"1.00.0000.00", "1..1", 1},           // empty parts skipped: 1.1.0
        {"1.9.9", "2.0.0", 1},                 // the first part counts most
        {"2.0.0", "1.9.9", 0},
        {"1.2.3", " 1. 2.4", 1},               // leading blanks skipped
        {"1.0.2", "1.0.65537", 0},             // 16 bits: 65537 is 1
        {"1.0.0", "-1", 0},                    // no digits: 0, not 65535
        {"0.0.0", "0.0.00000000000000000000000009", 0},  // only 29 characters are read
        {nullptr, "9", 0},
        {"1.0.0", nullptr, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsNewerVersion(c.current, c.candidate), c.newer)
            << (c.current ? c.current : "null") << " -> " << (c.candidate ? c.candidate : "null");
    }
}

// Lines are read as the check reads them: 49 characters for the version, 299 for each
// address. An over-long line is cut and its rest skipped, never taken as the next line;
// a file that names no version is told apart from one that names an old one.
TEST(UpdateText, UpdateFileLines)
{
    const std::string longLine(1000, '7');
    const struct {
        std::string bytes;
        std::vector<std::string> lines;  // version, address, address
        bool namesVersion;
    } cases[] = {
        {"1.0.1\r\nhttp://a/\nhttps://b/", {"1.0.1\r\n", "http://a/\n", "https://b/"}, true},
        {"2", {"2", "", ""}, true},
        {longLine + "\nhttp://a/\n", {std::string(49, '7'), "http://a/\n", ""}, true},
        {"1.0\n" + longLine, {"1.0\n", std::string(299, '7'), ""}, true},
        {"", {"", "", ""}, false},
        {std::string("\xff\xfe\x00\x01\n", 5), {"\xff\xfe", "", ""}, false},
        {"\n1.0.1\n", {"\n", "1.0.1\n", ""}, false},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        std::string path = folder.File("T6UD.TXT");
        WriteBytes(path, Bytes(c.bytes.begin(), c.bytes.end()));
        FILE* file = fopen(path.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        char version[50], first[300], second[300];
        ReadUpdateLine(file, version, sizeof version);
        ReadUpdateLine(file, first, sizeof first);
        ReadUpdateLine(file, second, sizeof second);
        fclose(file);
        EXPECT_EQ((std::vector<std::string>{version, first, second}), c.lines) << c.bytes.substr(0, 20);
        EXPECT_EQ(IsVersionLine(version), c.namesVersion) << c.bytes.substr(0, 20);
    }
}

// Only web addresses are opened, and what the server wrote cannot leave the attribute.
TEST(UpdateText, RedirectPage)
{
    const std::vector<std::pair<const char*, bool>> addresses = {
        {"http://t6.example/new\n", true}, {"https://t6.example/", true}, {"HTTPS://T6.EXAMPLE/", true},
        {"javascript:alert(1)", false},    {"file:///c:/x.exe", false},  {" http://t6.example/", false},
        {"\n", false},                     {"", false},                  {"ftp://t6.example/", false},
    };
    for (const auto& address : addresses)
        EXPECT_EQ(IsWebAddress(address.first), address.second) << address.first;

    char page[kRedirectPageSize];
    ASSERT_TRUE(BuildRedirectPage("http://x/?a=1&b=\"><script>'%20\n", page, sizeof page));
    EXPECT_STREQ(page, "<html>\n<head>\n<title>Launching Web Site ...</title>\n"
                       "<meta http-equiv=refresh content=\"1; URL=http://x/?a=1&amp;b=&quot;&gt;&lt;script&gt;"
                       "&#39;%20\n\">\n</head>\n<body bgcolor=\"#FFFFFF\" text=\"#000000\">\nPlease wait ...\n"
                       "</body>\n</html>");
    // The longest address the file can hold fits escaped whole; a page that does not fit
    // is not written at all, never cut.
    std::string worst = "http://" + std::string(292, '"');
    ASSERT_TRUE(BuildRedirectPage(worst.c_str(), page, sizeof page));
    EXPECT_NE(std::string(page).find("&quot;\">\n</head>"), std::string::npos);
    EXPECT_FALSE(BuildRedirectPage(worst.c_str(), page, 600));
    EXPECT_STREQ(page, "");
}
