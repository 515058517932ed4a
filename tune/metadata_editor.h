// The "Tune File Metadata Editor": edits the version, summary and description of a tune
// file and saves the file with them in the 256 KB image form, record at 0x31C00.
#pragma once
#include <windows.h>

#include <cstdint>

#include "tune/tune_image.h"

enum { kEditorPathSize = 260 };

// What the loaded file is to the image.
enum EditorFileKind {
    kEditorFileNotRead,   // no path, missing, or could not be opened or read
    kEditorFileNotATune,  // empty, of an unknown size, or larger than 256 KB: the image carries none of it
    kEditorFileTune,      // a size the image is made from, so the image stands for the file
};

// One per open editor, on the heap (it holds two 256 KB blocks), zero-filled.
struct EditorState {
    HWND dialog;
    char* callerPath;  // the caller's kEditorPathSize buffer; takes the saved path; may be null
    char path[kEditorPathSize];
    uint8_t fileBytes[kTuneImageSize];
    uint32_t fileSize;
    BankOrder bankOrder;  // starts 0, as the record of a 56 KB file keeps it
    TuneImage image;
    // Only a tune is saved: any other file would give an image of zeros, and saving over it
    // would lose its bytes.
    EditorFileKind fileKind;
};

// Makes state->path a full path (the save dialog may change the current folder), reads the
// file into the image and shows its record's texts; a file that is not a tune leaves the
// boxes empty and the image zero. Returns 1 when the texts came from a record, else 0.
int LoadEditorFile(EditorState* state);

// Stores the boxes' texts into the record, asks for the output file and writes the whole
// image there. 1: saved, and the chosen path is now the state's and the caller's; 0: not
// saved (the file is not a tune, the save was cancelled, or the user said No or was told
// why not); -1: the file could not be written (the user is told), and whatever was there
// before is as it was. The editor stays open unless the result is 1.
int SaveEditorFile(EditorState* state);

// The dialog (template 142). Its creation parameter is the caller's path buffer; it
// ends with 1 when the file was saved, 0 when it was closed without saving.
INT_PTR CALLBACK MetadataEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the editor modally, owned by owner, on the file named in path; on 1 (saved) path
// holds the saved file's path.
INT_PTR RunMetadataEditor(HWND owner, char (&path)[kEditorPathSize]);
