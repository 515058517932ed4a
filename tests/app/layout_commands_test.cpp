#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/layout_commands.h"
#include "app/layout_file.h"
#include "app/settings_file.h"
#include "tests/tune/temp_folder.h"

namespace {
typedef std::vector<std::string> Calls;

// Stands in for the main window: records what the commands ask of it.
struct FakeWindow {
    LayoutAnswer answer = kAnswerCancel;
    std::string dialogPath;  // "" cancels the dialog
    int rows = 8;
    Calls calls;
    std::string cells[17];

    static FakeWindow& Of(void* context) { return *static_cast<FakeWindow*>(context); }
    static LayoutAnswer Ask(void* c) { return Of(c).calls.push_back("ask"), Of(c).answer; }
    static int Choose(void* c, int forSaving, char* path, size_t size)
    {
        Of(c).calls.push_back(forSaving ? "save dialog" : "open dialog");
        return snprintf(path, size, "%s", Of(c).dialogPath.c_str()) > 0;
    }
    static void TooNew(void* c) { Of(c).calls.push_back("too new"); }
    static int Rows(void* c) { return Of(c).rows; }
    static void SetCell(void* c, int row, const char* text) { Of(c).cells[row] = text; }
    static void Extend(void* c)
    {
        Of(c).calls.push_back("extend");
        g_app.positionCount = Of(c).rows = 16;
    }
    static void First(void* c) { Of(c).calls.push_back("first"); }
    static void Title(void* c) { Of(c).calls.push_back("title"); }
    static void Selector(void* c, uint32_t show) { Of(c).calls.push_back("selector " + std::to_string(show)); }

    LayoutUi ui = {this, Ask, Choose, TooNew, Rows, SetCell, Extend, First, Title, Selector};
};

// The commands work on the program's own blocks and its settings.dat beside the test.
class LayoutCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        char path[300];
        SettingsFilePath(path, sizeof path);
        settingsPath_ = path;
        std::remove(path);
        memset(&g_settings, 0, sizeof g_settings);
        g_app.positionCount = 8;
        g_app.layoutModified = 0;
        SetLayoutUi(&window_.ui);
    }
    void TearDown() override
    {
        SetLayoutUi(nullptr);
        std::remove(settingsPath_.c_str());
    }

    // A layout naming one tune in the given position; written to a file when named.
    LayoutBlock Layout(int position, const char* tune)
    {
        LayoutBlock block = {};
        block.layoutVersion = 1;
        strcpy(block.positionPaths[position].path, tune);
        return block;
    }
    std::string LayoutFile(const std::string& name, int position, const char* tune)
    {
        LayoutBlock block = Layout(position, tune);
        std::string path = folder_.File(name);
        EXPECT_EQ(WriteLayoutFile(path.c_str(), &block), 1);
        return path;
    }
    std::string Stored(int position) { return g_settings.layout.positionPaths[position].path; }

    TempFolder folder_;
    FakeWindow window_;
    std::string settingsPath_;
};
}

TEST_F(LayoutCommands, SettingsBesideTheProgram)
{
    // A fresh installation: settings.dat is created empty and the selector hidden.
    g_settings.allowSoftwarePositionSelection = 1;
    EXPECT_EQ(LoadSettings(), 1);
    EXPECT_EQ(g_settings.allowSoftwarePositionSelection, 0u);
    EXPECT_EQ(ReadBytes(settingsPath_).size(), 0u);
    g_settings.allowSoftwarePositionSelection = 1;
    EXPECT_EQ(SaveSettings(), 1);
    EXPECT_EQ(ReadBytes(settingsPath_).size(), 4432u);
    EXPECT_EQ(LoadSettings(), 1);
    EXPECT_EQ(window_.calls, (Calls{"selector 0", "selector 1"}));
}

TEST_F(LayoutCommands, LoadShowsTheLayoutAndRemembersIt)
{
    std::string longTune = "C:\\" + std::string(60, 'n') + ".bin";
    std::string path = LayoutFile("a.t6layout", 9, longTune.c_str());
    ASSERT_EQ(LoadLayout(path.c_str()), 1);
    EXPECT_EQ(std::string(g_settings.layoutPath), path);
    EXPECT_EQ(Stored(9), longTune);
    // Entry 9 switches the grid to 16 positions before its cell is set.
    EXPECT_EQ(window_.calls, (Calls{"extend", "first", "title"}));
    EXPECT_EQ(window_.cells[10], "..." + longTune.substr(longTune.size() - 52));
    SettingsBlock stored;
    ASSERT_EQ(ReadSettingsFile(settingsPath_.c_str(), &stored), 1);
    EXPECT_EQ(std::string(stored.layout.positionPaths[9].path), longTune);

    // Asked for a file: cancelling changes nothing; a chosen file loads.
    window_.calls.clear();
    EXPECT_EQ(LoadLayout(nullptr), 0);
    EXPECT_EQ(window_.calls, Calls{"open dialog"});
    EXPECT_EQ(std::string(g_settings.layoutPath), path);
    window_.dialogPath = LayoutFile("b.t6layout", 0, "C:\\b.bin");
    EXPECT_EQ(LoadLayout(nullptr), 1);
    EXPECT_EQ(std::string(g_settings.layoutPath), window_.dialogPath);
}

TEST_F(LayoutCommands, FailedLoadKeepsTheLayoutInMemory)
{
    std::string good = LayoutFile("good.t6layout", 2, "C:\\kept.bin");
    ASSERT_EQ(LoadLayout(good.c_str()), 1);
    std::vector<uint8_t> image = ReadBytes(good);
    WriteBytes(folder_.File("short"), std::vector<uint8_t>(image.begin(), image.end() - 1));
    image[0] = 7;
    WriteBytes(folder_.File("newer"), image);

    for (const char* name : {"newer", "short", "missing"}) {
        window_.calls.clear();
        window_.cells[3] = "stale";
        EXPECT_EQ(LoadLayout(folder_.File(name).c_str()), 0) << name;
        EXPECT_EQ(Stored(2), "C:\\kept.bin") << name;
        EXPECT_EQ(std::string(g_settings.layoutPath), good) << name;
        EXPECT_EQ(window_.cells[3], "C:\\kept.bin") << name;  // the grid is redrawn from it
        EXPECT_EQ(window_.calls, std::string(name) == "newer" ? Calls{"too new"} : Calls{}) << name;
    }
}

TEST_F(LayoutCommands, ModifiedLayoutQuestion)
{
    std::string current = LayoutFile("current.t6layout", 0, "C:\\old.bin");
    std::string other = LayoutFile("other.t6layout", 1, "C:\\other.bin");
    ASSERT_EQ(LoadLayout(current.c_str()), 1);
    g_settings.layout = Layout(0, "C:\\edited.bin");
    g_app.layoutModified = 1;

    window_.answer = kAnswerCancel;
    EXPECT_EQ(LoadLayout(other.c_str()), 0);
    EXPECT_EQ(Stored(0), "C:\\edited.bin");
    EXPECT_EQ(g_app.layoutModified, 1u);

    window_.answer = kAnswerYes;  // saved to the current file, then the other one loads
    EXPECT_EQ(LoadLayout(other.c_str()), 1);
    EXPECT_EQ(Stored(1), "C:\\other.bin");
    LayoutBlock saved;
    ASSERT_EQ(ReadLayoutFile(current.c_str(), &saved), kLayoutRead);
    EXPECT_EQ(std::string(saved.positionPaths[0].path), "C:\\edited.bin");

    g_settings.layout = Layout(5, "C:\\discarded.bin");
    g_app.layoutModified = 1;
    window_.answer = kAnswerNo;
    EXPECT_EQ(LoadLayout(current.c_str()), 1);
    EXPECT_EQ(Stored(0), "C:\\edited.bin");
    EXPECT_EQ(Stored(5), "");
    EXPECT_EQ(g_app.layoutModified, 0u);
}

TEST_F(LayoutCommands, SaveAndSaveAs)
{
    g_settings.layout = Layout(4, "C:\\four.bin");
    g_settings.layout.layoutVersion = 0;
    g_app.layoutModified = 1;

    // No layout path: the save dialog; cancelled, the layout stays modified.
    EXPECT_EQ(SaveLayout(g_settings.layoutPath), 0);
    EXPECT_EQ(window_.calls, Calls{"save dialog"});
    EXPECT_EQ(g_app.layoutModified, 1u);

    window_.dialogPath = folder_.File("new.t6layout");
    EXPECT_EQ(SaveLayoutAs(), 1);
    EXPECT_EQ(std::string(g_settings.layoutPath), window_.dialogPath);
    EXPECT_EQ(g_app.layoutModified, 0u);
    std::vector<uint8_t> written = ReadBytes(window_.dialogPath);
    ASSERT_EQ(written.size(), 4164u);
    EXPECT_EQ(written[0], 1);

    // A failed write: 0, still modified, the path unchanged.
    g_app.layoutModified = 1;
    EXPECT_EQ(SaveLayout(folder_.File("no/such/folder.t6layout").c_str()), 0);
    EXPECT_EQ(g_app.layoutModified, 1u);
    EXPECT_EQ(std::string(g_settings.layoutPath), window_.dialogPath);
}

TEST_F(LayoutCommands, ClearKeepsPathAndModifiedState)
{
    g_settings.layout = Layout(1, "C:\\one.bin");
    strcpy(g_settings.layoutPath, "C:\\l.t6layout");
    g_app.layoutModified = 1;
    window_.rows = 16;
    for (std::string& cell : window_.cells)
        cell = "x";
    ClearLayout();
    EXPECT_EQ(g_settings.layout.layoutVersion, 1u);
    EXPECT_EQ(Stored(1), "");
    for (int row = 1; row <= 16; ++row)
        EXPECT_EQ(window_.cells[row], "") << row;
    EXPECT_EQ(std::string(g_settings.layoutPath), "C:\\l.t6layout");
    EXPECT_EQ(g_app.layoutModified, 1u);
    EXPECT_TRUE(window_.calls.empty());
}
