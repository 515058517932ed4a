// The layout commands of the File menu: load, save, save as and clear, with the user's
// questions, the file dialogs and the grid behind LayoutUi, which the main window fills.
#pragma once
#include <cstddef>
#include <cstdint>

#include "app/app_state.h"

// Texts of the questions and dialogs the main window shows for these commands.
extern const char kLayoutModifiedText[];      // "Layout Modified, Save?"
extern const char kLayoutModifiedTitle[];     // "Save Layout?"
extern const char kLayoutTooNewText[];        // "Layout version is newer than is supported."
extern const char kLayoutTooNewTitle[];       // "Incompatible Layout"
extern const char kLayoutNotSavedText[];      // "The layout was not saved. This file could not be written:"
extern const char kLayoutNotSavedTitle[];     // "Layout Not Saved"
extern const char kLayoutNotReadText[];       // "The layout was not loaded. This file could not be read as a layout:"
extern const char kLayoutNotReadTitle[];      // "Layout Not Loaded"
extern const char kLayoutDialogTitle[];       // "Select File..."
extern const char kLayoutDialogFilter[];      // "Layout Files (*.t6layout)", "*.t6layout", double NUL
extern const char kLayoutDefaultExtension[];  // "t6layout"

enum LayoutAnswer { kAnswerYes, kAnswerNo, kAnswerCancel };

// What the commands need from the main window. Every member may be null: a missing
// question answers Cancel, a missing dialog is a cancelled one, the rest do nothing.
struct LayoutUi {
    void* context;
    // kLayoutModifiedText, Yes/No/Cancel.
    LayoutAnswer (*askSaveModified)(void* context);
    // The open (forSaving 0) or save (1) dialog for layout files; 1 with the chosen path.
    int (*chooseLayoutFile)(void* context, int forSaving, char* path, size_t pathSize);
    // kLayoutTooNewText, OK with a stop icon.
    void (*reportLayoutTooNew)(void* context);
    // The grid: its row count, and the "File Selection" cell (column 1) of a row.
    int (*gridRowCount)(void* context);
    void (*setFileCell)(void* context, int row, const char* text);
    // The "View Extended Positions" command: the grid switches to 16 positions.
    void (*viewExtendedPositions)(void* context);
    // After a load: selection on cell (1, 1) and the file info box for row 1.
    void (*showFirstPosition)(void* context);
    void (*updateTitle)(void* context);
    void (*showSoftwarePositionSelector)(void* context, uint32_t show);
    // kLayoutNotSavedText and the file that could not be written, OK with a stop icon.
    void (*reportLayoutNotSaved)(void* context, const char* path);
    // kLayoutNotReadText and the file that is missing, unreadable or cut short, OK with a
    // stop icon.
    void (*reportLayoutNotRead)(void* context, const char* path);
};

// The commands use this one from now on; null detaches.
void SetLayoutUi(const LayoutUi* ui);

void ShowSoftwarePositionSelector(uint32_t show);

// Before the layout in memory is given up (a load, closing): a modified layout asks
// "Layout Modified, Save?" and Yes saves it. Returns 1 when the caller may go on (nothing to
// save, saved, or No); 0 for Cancel, and for Yes when the save dialog was cancelled or the
// file could not be written (the user is told which), so the edits are not lost.
int OfferToSaveModifiedLayout();

// Save Layout (0) and Save Layout As (1) as the user runs them: the current file, or a chosen
// one when asked for or when there is none. A file that cannot be written is reported, since
// the edits are only safe once written. 1 when saved; 0 when not (or the dialog was cancelled).
int SaveLayoutCommand(int chooseFile);

// Loads a layout file (with null, asks for one). Returns 1 when a layout was loaded. A file
// that cannot be read whole, or is of a newer version, leaves the layout in memory as it was;
// so does a modified layout that the user chose to save when the save fails or is cancelled.
// A file that cannot be read as a layout is reported.
int LoadLayout(const char* path);
// At start-up: the layout file of settings.dat, without a report when it cannot be read.
int ReopenLastLayout();
// Writes the layout to path (null or "": asks for one). Returns 1 when the file was written.
int SaveLayout(const char* path);
int SaveLayoutAs();
// Empties the layout in memory and the grid's file column; the layout path and the modified
// flag stay as they were.
void ClearLayout();
// Shows a layout in the grid's file column, switching to 16 positions when it uses 8 to F.
void DisplayLayout(const LayoutBlock* block);
