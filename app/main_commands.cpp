#include "app/main_commands.h"

#include "app/about_box.h"
#include "app/app_state.h"
#include "app/closing.h"
#include "app/edit_file_info.h"
#include "app/job_commands.h"
#include "app/layout_commands.h"
#include "app/position_commands.h"
#include "app/software_position.h"
#include "app/update_dialog.h"
#include "resources/resource.h"

static void OnMoveUp()
{
    MoveSelectionUp();
}

static void OnMoveDown()
{
    MoveSelectionDown();
}

static void OnLoadLayout()
{
    LoadLayout(nullptr);
}

static void OnSaveLayout()
{
    SaveLayoutCommand(0);
}

static void OnSaveLayoutAs()
{
    SaveLayoutCommand(1);
}

struct MainCommand {
    WORD id;
    void (*run)();
};

// A menu item and its button run the same code.
static const MainCommand kMainCommands[] = {
    {IDM_QUERY_DEVICE, OnQueryDevice},
    {IDC_QUERY_DEVICE, OnQueryDevice},
    {IDM_WRITE_SELECTION, OnWriteSelection},
    {IDC_WRITE_SELECTION, OnWriteSelection},
    {IDM_WRITE_ALL, OnWriteAll},
    {IDC_WRITE_ALL, OnWriteAll},
    {IDM_VERIFY_SELECTION, OnVerifySelection},
    {IDC_VERIFY_SELECTION, OnVerifySelection},
    {IDM_VERIFY_ALL, OnVerifyAll},
    {IDM_ERASE_SELECTION, OnEraseSelection},
    {IDC_ERASE_SELECTION, OnEraseSelection},
    {IDM_ERASE_DEVICE, OnEraseDevice},
    {IDC_ERASE_ALL, OnEraseDevice},
    {IDM_MOVE_UP, OnMoveUp},
    {IDC_MOVE_UP, OnMoveUp},
    {IDM_MOVE_DOWN, OnMoveDown},
    {IDC_MOVE_DOWN, OnMoveDown},
    {IDM_BROWSE, OnBrowse},
    {IDC_BROWSE, OnBrowse},
    {IDM_LOAD_LAYOUT, OnLoadLayout},
    {IDM_SAVE_LAYOUT, OnSaveLayout},
    {IDM_SAVE_LAYOUT_AS, OnSaveLayoutAs},
    {IDM_CLEAR_LAYOUT, ClearLayout},
    {IDM_VIEW_EXTENDED, ToggleExtendedPositions},
    {IDM_ALLOW_SOFTWARE_POSITION, ToggleSoftwarePositionOption},
    {IDC_EDIT_FILE_INFO, EditFileInfo},
    {IDM_CHECK_UPDATE, ShowUpdateDialog},
    {IDM_ABOUT, ShowAboutBox},
    {IDCANCEL, CloseMainWindow},
    {IDM_EXIT, CloseMainWindow},
};

void RunMainCommand(WORD id)
{
    for (const MainCommand& command : kMainCommands) {
        if (command.id == id) {
            command.run();
            return;
        }
    }
}
