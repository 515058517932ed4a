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

// The commands work on the program's own blocks and its settings.dat beside the test; the
// fixture stands in for the main window and records what the commands ask of it.
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
        SetLayoutUi(&ui_);
    }
    void TearDown() override
    {
        SetLayoutUi(nullptr);
        std::remove(settingsPath_.c_str());
    }

    // A layout naming one tune in the given position; written to a file when named.
    static LayoutBlock Layout(int position, const char* tune)
    {
        LayoutBlock block = {};
        block.layoutVersion = 1;
        snprintf(block.positionPaths[position].path, kPathFieldSize, "%s", tune);
        return block;
    }
    std::string LayoutFile(const std::string& name, int position, const char* tune)
    {
        WriteBytes(folder_.File(name), BytesOf(Layout(position, tune)));
        return folder_.File(name);
    }
    static std::string Stored(int position) { return g_settings.layout.positionPaths[position].path; }
    static std::string LayoutPath() { return g_settings.layoutPath; }

    LayoutAnswer answer_ = kAnswerCancel;
    int dialogResult_ = 1;    // what the dialog returns, with dialogPath_ as the chosen file
    std::string dialogPath_;  // "" although the dialog returned 1 counts as cancelled
    Calls calls_;
    std::string cells_[17];
    TempFolder folder_;
    std::string settingsPath_;

    static LayoutCommands& Of(void* c) { return *static_cast<LayoutCommands*>(c); }
    static void Log(void* c, const std::string& call) { Of(c).calls_.push_back(call); }
    const LayoutUi ui_ = {
        this,
        [](void* c) { return Log(c, "ask"), Of(c).answer_; },
        [](void* c, int forSaving, char* path, size_t size) {
            Log(c, forSaving ? "save dialog" : "open dialog");
            snprintf(path, size, "%s", Of(c).dialogPath_.c_str());
            return Of(c).dialogResult_;
        },
        [](void* c) { Log(c, "too new"); },
        nullptr,  // the grid's row count: only clearing asks for it
        [](void* c, int row, const char* text) { Of(c).cells_[row] = text; },
        [](void* c) { Log(c, "extend"), g_app.positionCount = 16; },
        [](void* c) { Log(c, "first"); },
        [](void* c) { Log(c, "title"); },
        [](void* c, uint32_t show) { Log(c, "selector " + std::to_string(show)); },
        [](void* c, const char* path) { Log(c, std::string("not saved ") + path); },
        [](void* c, const char* path) { Log(c, std::string("not read ") + path); },
    };
};
}

TEST_F(LayoutCommands, LoadShowsTheLayoutRemembersItAndKeepsItWhenALoadFails)
{
    std::string longTune = "C:\\" + std::string(60, 'n') + ".bin";
    std::string path = LayoutFile("a.t6layout", 9, longTune.c_str());
    g_settings.allowSoftwarePositionSelection = 1;
    ASSERT_EQ(LoadLayout(path.c_str()), 1);
    // Entry 9 switches the grid to 16 positions ("extend" below); its long path is shortened.
    EXPECT_EQ(cells_[10], "..." + longTune.substr(longTune.size() - 52));
    // settings.dat beside the program brings the layout back at the next start.
    memset(&g_settings, 0, sizeof g_settings);
    ASSERT_EQ(LoadSettings(), 1);
    EXPECT_EQ(calls_, (Calls{"extend", "first", "title", "selector 1"}));
    EXPECT_EQ(LayoutPath(), path);
    EXPECT_EQ(Stored(9), longTune);

    // Asked for a file: a cancelled dialog loads nothing.
    calls_.clear();
    dialogResult_ = 0;
    EXPECT_EQ(LoadLayout(nullptr), 0);
    EXPECT_EQ(calls_, Calls{"open dialog"});
    EXPECT_EQ(LayoutPath(), path);

    // A file that is newer, short or missing loads nothing and says why: the layout in
    // memory stays, and the grid is redrawn from it. Reopened at start-up, a missing file
    // says nothing.
    const std::string good = LayoutFile("b.t6layout", 0, "C:\\b.bin");
    ASSERT_EQ(LoadLayout(good.c_str()), 1);
    Bytes image = ReadBytes(good);
    WriteBytes(folder_.File("short"), Bytes(image.begin(), image.end() - 1));
    image[0] = 2;
    WriteBytes(folder_.File("newer"), image);
    for (const char* name : {"newer", "short", "missing"}) {
        calls_.clear();
        cells_[1] = "stale";
        EXPECT_EQ(LoadLayout(folder_.File(name).c_str()), 0) << name;
        EXPECT_EQ(Stored(0), "C:\\b.bin") << name;
        EXPECT_EQ(LayoutPath(), good) << name;
        EXPECT_EQ(cells_[1], "C:\\b.bin") << name;
        EXPECT_EQ(calls_, Calls{std::string(name) == "newer" ? "too new" : "not read " + folder_.File(name)});
    }
    snprintf(g_settings.layoutPath, sizeof g_settings.layoutPath, "%s", folder_.File("missing").c_str());
    calls_.clear();
    EXPECT_EQ(ReopenLastLayout(), 0);
    EXPECT_EQ(calls_, Calls{});
}

TEST_F(LayoutCommands, ModifiedLayoutQuestion)
{
    std::string current = LayoutFile("current", 0, "C:\\old.bin"), other = LayoutFile("other", 1, "C:\\other.bin");
    ASSERT_EQ(LoadLayout(current.c_str()), 1);
    g_settings.layout = Layout(0, "C:\\edited.bin");
    g_app.layoutModified = 1;
    answer_ = kAnswerCancel;
    EXPECT_EQ(LoadLayout(other.c_str()), 0);
    EXPECT_EQ(Stored(0), "C:\\edited.bin");
    EXPECT_EQ(g_app.layoutModified, 1u);
    // Yes, but the save fails (the file is now a folder), to the current file or to one
    // chosen in Save As, or Save As is cancelled: nothing loads, the edits stay, and a file
    // that could not be written is named.
    answer_ = kAnswerYes;
    std::remove(current.c_str());
    std::filesystem::create_directory(current);
    const struct {
        std::string layoutPath, chosen;  // chosen "": the Save As dialog is cancelled
        Calls calls;
    } failedSaves[] = {
        {current, "", {"ask", "not saved " + current}},
        {"", current, {"ask", "save dialog", "not saved " + current}},
        {"", "", {"ask", "save dialog"}},
    };
    for (const auto& save : failedSaves) {
        snprintf(g_settings.layoutPath, sizeof g_settings.layoutPath, "%s", save.layoutPath.c_str());
        dialogPath_ = save.chosen;
        calls_.clear();
        EXPECT_EQ(LoadLayout(other.c_str()), 0) << save.chosen;
        EXPECT_EQ(calls_, save.calls) << save.chosen;
        EXPECT_EQ(Stored(0), "C:\\edited.bin") << save.chosen;
        EXPECT_EQ(g_app.layoutModified, 1u) << save.chosen;
        EXPECT_EQ(LayoutPath(), save.layoutPath) << save.chosen;
    }
    std::filesystem::remove(current);
    snprintf(g_settings.layoutPath, sizeof g_settings.layoutPath, "%s", current.c_str());
    // Saved to the current file, then the other one loads.
    EXPECT_EQ(LoadLayout(other.c_str()), 1);
    EXPECT_EQ(Stored(1), "C:\\other.bin");
    answer_ = kAnswerNo;  // dropped; the current file shows the edit saved before
    g_settings.layout = Layout(5, "C:\\discarded.bin");
    g_app.layoutModified = 1;
    EXPECT_EQ(LoadLayout(current.c_str()), 1);
    EXPECT_EQ(BytesOf(g_settings.layout), BytesOf(Layout(0, "C:\\edited.bin")));
    EXPECT_EQ(g_app.layoutModified, 0u);
}

TEST_F(LayoutCommands, SaveAndSaveAs)
{
    g_settings.layout = Layout(4, "C:\\four.bin");
    g_settings.layout.layoutVersion = 0;
    g_app.layoutModified = 1;
    // No layout path: the save dialog, asked once; with no file chosen, still modified.
    EXPECT_EQ(SaveLayout(g_settings.layoutPath), 0);
    EXPECT_EQ(calls_, Calls{"save dialog"});
    EXPECT_EQ(g_app.layoutModified, 1u);

    dialogPath_ = folder_.File("new.t6layout");
    EXPECT_EQ(SaveLayoutAs(), 1);
    EXPECT_EQ(LayoutPath(), dialogPath_);
    EXPECT_EQ(g_app.layoutModified, 0u);
    EXPECT_EQ(ReadBytes(dialogPath_), BytesOf(Layout(4, "C:\\four.bin")));  // stored as version 1

    // A failed write: 0, still modified, the path unchanged; the commands say so, and
    // Save Layout As asks for a file although there is one.
    g_app.layoutModified = 1;
    const std::string current = dialogPath_;
    dialogPath_ = folder_.File("no/such/folder.t6layout");
    calls_.clear();
    EXPECT_EQ(SaveLayout(dialogPath_.c_str()), 0);
    EXPECT_EQ(SaveLayoutCommand(1), 0);
    EXPECT_EQ(calls_, (Calls{"save dialog", "not saved " + dialogPath_}));
    EXPECT_EQ(g_app.layoutModified, 1u);
    EXPECT_EQ(LayoutPath(), current);
}
