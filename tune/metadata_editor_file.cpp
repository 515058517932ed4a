#include "tune/metadata_editor.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>

#include "resources/resource.h"
#include "tune/file_io.h"
#include "tune/metadata.h"

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

// Reads the whole file, at most one image of it; false when it cannot be opened or read.
// fileSize is set whenever the file opened.
bool ReadEditorFile(EditorState& state)
{
    HANDLE file = CreateFileA(state.path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    bool read = size != INVALID_FILE_SIZE && high == 0;
    if (read) {
        state.fileSize = size;
        DWORD got = 0;
        read = size <= kTuneImageSize && (size == 0 || (ReadFile(file, state.fileBytes, size, &got, nullptr) &&
                                                        got == size));
    }
    CloseHandle(file);
    return read;
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
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT;
    if (!GetSaveFileNameA(&dialog))
        return false;
    chosen[sizeof chosen - 1] = '\0';
    return chosen[0] != '\0';
}

// Saving over the file that was loaded: refused when that would lose what the image does
// not carry, and asked about when the file had another size.
bool MayOverwriteLoadedFile(const EditorState& state)
{
    if (state.overwriteLosesFile) {
        MessageBoxA(state.dialog,
                    "Your original file is not a tune file of a known size, so saving over it would lose its "
                    "contents. Please choose another file.",
                    "Cannot Overwrite", MB_OK | MB_ICONINFORMATION);
        return false;
    }
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
    bool read = ReadEditorFile(*state);
    // A file that is not there has nothing to lose.
    state->overwriteLosesFile = read ? state->fileSize != 0 && !IsTuneFileSize(state->fileSize)
                                     : !FileMissing(state->path);
    if (!read || state->fileSize == 0)
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
    TuneMetadata record = RecordOf(*state);
    for (const TextBox& box : kTextBoxes)
        GetDlgItemTextA(state->dialog, box.id, reinterpret_cast<char*>(&record) + box.offset, int(box.size));
    PutRecord(*state, record);

    char chosen[kEditorPathSize];
    if (!ChooseOutputFile(*state, chosen))
        return 0;
    // Windows names one file in any case.
    if (_stricmp(chosen, state->path) == 0 && !MayOverwriteLoadedFile(*state))
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
