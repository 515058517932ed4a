#include "app/layout_commands.h"

#include <cstdio>
#include <cstring>

#include "app/layout_file.h"
#include "app/position_paths.h"
#include "app/settings_file.h"
#include "tune/metadata.h"

const char kLayoutModifiedText[] = "Layout Modified, Save?";
const char kLayoutModifiedTitle[] = "Save Layout?";
const char kLayoutTooNewText[] = "Layout version is newer than is supported.";
const char kLayoutTooNewTitle[] = "Incompatible Layout";
const char kLayoutNotSavedText[] = "The layout was not saved. This file could not be written:";
const char kLayoutNotSavedTitle[] = "Layout Not Saved";
const char kLayoutNotReadText[] = "The layout was not loaded. This file could not be read as a layout:";
const char kLayoutNotReadTitle[] = "Layout Not Loaded";
const char kLayoutDialogTitle[] = "Select File...";
const char kLayoutDialogFilter[] = "Layout Files (*.t6layout)\0*.t6layout\0";
const char kLayoutDefaultExtension[] = "t6layout";

static const LayoutUi* g_layoutUi = nullptr;

void SetLayoutUi(const LayoutUi* ui)
{
    g_layoutUi = ui;
}

#define UI_HAS(member) (g_layoutUi != nullptr && g_layoutUi->member != nullptr)

static LayoutAnswer AskSaveModified()
{
    return UI_HAS(askSaveModified) ? g_layoutUi->askSaveModified(g_layoutUi->context) : kAnswerCancel;
}

static int ChooseLayoutFile(int forSaving, char* path, size_t pathSize)
{
    path[0] = '\0';
    if (!UI_HAS(chooseLayoutFile) || !g_layoutUi->chooseLayoutFile(g_layoutUi->context, forSaving, path, pathSize))
        return 0;
    path[pathSize - 1] = '\0';
    return path[0] != '\0';
}

static void SetFileCell(int row, const char* text)
{
    if (UI_HAS(setFileCell))
        g_layoutUi->setFileCell(g_layoutUi->context, row, text);
}

static void UpdateTitle()
{
    if (UI_HAS(updateTitle))
        g_layoutUi->updateTitle(g_layoutUi->context);
}

void ShowSoftwarePositionSelector(uint32_t show)
{
    if (UI_HAS(showSoftwarePositionSelector))
        g_layoutUi->showSoftwarePositionSelector(g_layoutUi->context, show);
}

static void CopyPath(char* field, const char* path)
{
    snprintf(field, kPathFieldSize, "%s", path);
}

void DisplayLayout(const LayoutBlock* block)
{
    if (block == nullptr)
        return;
    for (int i = 0; i < kPositionCount; ++i) {
        const char* path = block->positionPaths[i].path;
        if (path[0] == '\0') {
            SetFileCell(i + 1, "");
            continue;
        }
        if (i >= g_app.positionCount && UI_HAS(viewExtendedPositions))
            g_layoutUi->viewExtendedPositions(g_layoutUi->context);
        char shown[kPathFieldSize];
        ShortenPathForDisplay(path, sizeof block->positionPaths[i].path, shown, sizeof shown);
        SetFileCell(i + 1, shown);
    }
}

void ClearLayout()
{
    LayoutBlock empty = {};
    empty.layoutVersion = kLayoutVersion;
    StoreLayout(empty);
    int rows = UI_HAS(gridRowCount) ? g_layoutUi->gridRowCount(g_layoutUi->context) : 0;
    for (int row = 1; row <= rows; ++row)
        SetFileCell(row, "");
}

int OfferToSaveModifiedLayout()
{
    if (!g_app.layoutModified)
        return 1;
    LayoutAnswer answer = AskSaveModified();
    if (answer != kAnswerYes)
        return answer == kAnswerNo;
    return SaveLayoutCommand(0);
}

int SaveLayoutCommand(int chooseFile)
{
    char chosen[kPathFieldSize];
    const char* path = g_settings.layoutPath;
    if (chooseFile || path[0] == '\0') {
        if (!ChooseLayoutFile(1, chosen, sizeof chosen))
            return 0;
        path = chosen;
    }
    if (SaveLayout(path))
        return 1;
    if (UI_HAS(reportLayoutNotSaved))
        g_layoutUi->reportLayoutNotSaved(g_layoutUi->context, path);
    return 0;
}

// The user's loads say when a file is not a layout; reopening the last one at start-up
// does not, since that file may simply be gone.
static int LoadLayoutFrom(const char* path, bool reportUnreadable)
{
    // Edits that could not be saved are not dropped for the new layout.
    if (!OfferToSaveModifiedLayout())
        return 0;

    char chosen[kPathFieldSize] = "";
    LayoutReadResult read = kLayoutUnreadable;
    if (path != nullptr)
        CopyPath(chosen, path);
    if (path != nullptr || ChooseLayoutFile(0, chosen, sizeof chosen)) {
        // Read aside: only a good file replaces the layout the user has now.
        LayoutBlock loaded;
        read = ReadLayoutFile(chosen, &loaded);
        if (read == kLayoutRead)
            StoreLayout(loaded);
        else if (read == kLayoutTooNew && UI_HAS(reportLayoutTooNew))
            g_layoutUi->reportLayoutTooNew(g_layoutUi->context);
        else if (read != kLayoutRead && reportUnreadable && UI_HAS(reportLayoutNotRead))
            g_layoutUi->reportLayoutNotRead(g_layoutUi->context, chosen);
    }

    DisplayLayout(&g_settings.layout);
    if (read != kLayoutRead)
        return 0;
    CopyPath(g_settings.layoutPath, chosen);
    if (UI_HAS(showFirstPosition))
        g_layoutUi->showFirstPosition(g_layoutUi->context);
    g_app.layoutModified = 0;
    SaveSettings();
    UpdateTitle();
    return 1;
}

int LoadLayout(const char* path)
{
    return LoadLayoutFrom(path, true);
}

int ReopenLastLayout()
{
    return LoadLayoutFrom(g_settings.layoutPath, false);
}

int SaveLayout(const char* path)
{
    if (path == nullptr || path[0] == '\0')
        return SaveLayoutAs();
    g_settings.layout.layoutVersion = kLayoutVersion;
    if (!WriteLayoutFile(path, &g_settings.layout))
        return 0;
    if (path != g_settings.layoutPath) {
        CopyPath(g_settings.layoutPath, path);
        SaveSettings();
    }
    g_app.layoutModified = 0;
    UpdateTitle();
    return 1;
}

int SaveLayoutAs()
{
    char chosen[kPathFieldSize];
    if (!ChooseLayoutFile(1, chosen, sizeof chosen))
        return 0;
    return SaveLayout(chosen);
}
