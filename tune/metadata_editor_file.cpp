#include "tune/metadata_editor.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>

#include "resources/resource.h"
#include "tune/file_io.h"
#include "tune/metadata.h"
#include "tune/same_file.h"

namespace {

struct TextBox {
    int id;
    size_t offset;  // of the field in the record
    size_t size;
};

const TextBox kTextBoxes[] = {
    {IDC_EDITOR_VERSION, offsetof(TuneMetadata, version), sizeof(TuneMetadata::version)},
    {IDC_EDITOR_SUMMARY, offsetof(TuneMetadata, summary), sizeof(TuneMetadata::summary)},
    {IDC_EDITOR_DESCRIPTION, offsetof(TuneMetadata, description), sizeof(TuneMetadata::description)},
};

TuneMetadata RecordOf(const EditorState& state)
{
    TuneMetadata record;
    memcpy(&record, state.image.bytes + kMetadataOffset, sizeof record);
    return record;
}

void PutRecord(EditorState& state, const TuneMetadata& record)
{
    memcpy(state.image.bytes + kMetadataOffset, &record, sizeof record);
}

// A field of a file's record need not end inside itself; one that is not present (0x00 or
// an erased 0xFF first) shows as empty.
void ShowRecordTexts(HWND dialog, const TuneMetadata* record)
{
    for (const TextBox& box : kTextBoxes) {
        char text[sizeof(TuneMetadata::description)] = "";
        if (record != nullptr) {
            const char* field = reinterpret_cast<const char*>(record) + box.offset;
            if (RecordTextPresent(field))
                snprintf(text, sizeof text, "%.*s", int(FieldLength(field, box.size)), field);
        }
        SetDlgItemTextA(dialog, box.id, text);
    }
}

// Reads the file whole when it has a size the image is made from.
EditorFileKind ReadEditorFile(EditorState& state)
{
    HANDLE file = CreateFileA(state.path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return kEditorFileNotRead;
    LARGE_INTEGER size;
    EditorFileKind kind = kEditorFileNotRead;
    if (GetFileSizeEx(file, &size)) {
        kind = kEditorFileNotATune;
        if (size.QuadPart <= kTuneImageSize && IsTuneFileSize(uint32_t(size.QuadPart))) {
            state.fileSize = uint32_t(size.QuadPart);
            DWORD got = 0;
            bool read = ReadFile(file, state.fileBytes, state.fileSize, &got, nullptr) && got == state.fileSize;
            kind = read ? kEditorFileTune : kEditorFileNotRead;
        }
    }
    CloseHandle(file);
    return kind;
}

// A path the current folder no longer changes; kept as it is when the full one does not fit.
void MakeFullPath(char (&path)[kEditorPathSize])
{
    char full[kEditorPathSize];
    DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (length != 0 && length < sizeof full)
        memcpy(path, full, length + 1);
}

// An image made from this file would be zeros, so there is nothing to save.
void TellNotATune(const EditorState& state)
{
    MessageBoxA(state.dialog,
                state.fileKind == kEditorFileNotATune
                    ? "This file is not a tune file in a size the device can hold. Nothing was saved."
                    : "This file could not be read, so there is no tune to save. Nothing was saved.",
                "Cannot Save", MB_OK | MB_ICONINFORMATION);
}

bool ChooseOutputFile(const EditorState& state, char (&chosen)[kEditorPathSize])
{
    snprintf(chosen, sizeof chosen, "%s", state.path);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    // The editor owns it, so Save cannot be pressed again while it is open.
    dialog.hwndOwner = state.dialog;
    dialog.lpstrFilter = "All Files (*.*)\0*.*\0";
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = sizeof chosen;
    dialog.lpstrTitle = "Choose output file...";
    dialog.lpstrDefExt = "bin";
    // The current folder stays, so the layout's relative paths keep naming their files.
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&dialog))
        return false;
    chosen[sizeof chosen - 1] = '\0';
    return chosen[0] != '\0';
}

// Saving over the file that was loaded in the image's form: asked about when the file
// had another size.
bool MayOverwriteLoadedFile(const EditorState& state)
{
    return state.fileSize == kTuneImageSize ||
           MessageBoxA(state.dialog,
                       "Your original tune file is in a different format. If you overwrite it, it may break "
                       "compatibility with your tune software. Continue?",
                       "Overwrite in new format?", MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

} // namespace

int LoadEditorFile(EditorState* state)
{
    if (state == nullptr || state->path[0] == '\0')
        return 0;
    MakeFullPath(state->path);
    state->fileKind = ReadEditorFile(*state);
    if (state->fileKind != kEditorFileTune)
        return 0;
    RecogniseTuneFile(state->fileBytes, state->fileSize, state->image.bytes, kTuneImageSize, &state->bankOrder);
    TuneMetadata record = RecordOf(*state);
    bool present = HasMetadataMagic(record);
    ShowRecordTexts(state->dialog, present ? &record : nullptr);
    return present ? 1 : 0;
}

int SaveEditorFile(EditorState* state)
{
    if (state == nullptr)
        return 0;
    if (state->fileKind != kEditorFileTune) {
        TellNotATune(*state);
        return 0;
    }
    TuneMetadata record = RecordOf(*state);
    for (const TextBox& box : kTextBoxes)
        GetDlgItemTextA(state->dialog, box.id, reinterpret_cast<char*>(&record) + box.offset, int(box.size));
    PutRecord(*state, record);

    char chosen[kEditorPathSize];
    if (!ChooseOutputFile(*state, chosen))
        return 0;
    if (SameFile(chosen, state->path) && !MayOverwriteLoadedFile(*state))
        return 0;
    StampMetadata(&record, chosen, state->fileSize, state->bankOrder);
    PutRecord(*state, record);
    if (!WriteFileReplacing(chosen, state->image.bytes, kTuneImageSize)) {
        char text[kEditorPathSize + 64];
        snprintf(text, sizeof text, "The file could not be written:\n%s", chosen);
        MessageBoxA(state->dialog, text, "Save Failed", MB_OK | MB_ICONERROR);
        return -1;
    }
    snprintf(state->path, sizeof state->path, "%s", chosen);
    if (state->callerPath != nullptr)
        snprintf(state->callerPath, kEditorPathSize, "%s", chosen);
    return 1;
}
