// The metadata editor, created from the real template and owned by a test window. The
// editor runs modally on the test's thread while a driver thread types, presses its
// buttons and answers the real save dialog and message boxes; saved files are checked
// byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "resources/resource.h"
#include "tests/support/dialog_driver.h"
#include "tests/tune/temp_folder.h"
#include "tune/metadata.h"
#include "tune/metadata_editor.h"

namespace {

const char kSaveTitle[] = "Choose output file...";
const char kFormatQuestion[] = "Overwrite in new format?";

// The version, summary and description.
typedef std::vector<std::string> Texts;

// The saved file is `image` with the record the editor writes there: the image's own
// bytes, stamped with the path, size and bank order (and a time: how a stamp is made, the
// record tests), each text ended by a NUL with the rest of its field as it was.
void ExpectSaved(const std::string& path, Bytes image, uint32_t size, BankOrder order, const Texts& texts)
{
    const Bytes saved = ReadBytes(path);
    ASSERT_EQ(saved.size(), size_t(kTuneImageSize)) << path;
    TuneMetadata record;
    memcpy(&record, &image[kMetadataOffset], sizeof record);
    StampMetadata(&record, path.c_str(), size, order);
    memcpy(&record.uploadTime, &saved[kMetadataOffset + offsetof(TuneMetadata, uploadTime)], 8);
    EXPECT_TRUE(UploadTimePresent(record.uploadTime));
    char* const fields[] = {record.version, record.summary, record.description};
    for (size_t i = 0; i < 3; ++i)
        memcpy(fields[i], texts[i].c_str(), texts[i].size() + 1);
    memcpy(&image[kMetadataOffset], &record, sizeof record);
    EXPECT_TRUE(saved == image) << "the saved image differs";
}

class MetadataEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner_ = CreateWindowExA(0, "STATIC", "Editor test", WS_OVERLAPPEDWINDOW, 100, 100, 600, 400, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override { DestroyWindow(owner_); }

    // Runs the editor on the file, written with these bytes, while `script` drives it from
    // another thread; whatever the script leaves open is closed. Returns the editor's
    // result; path then holds what the editor put there.
    INT_PTR Edit(const std::string& file, const Bytes& bytes, char (&path)[kEditorPathSize],
                 const std::function<void(HWND)>& script)
    {
        WriteBytes(file, bytes);
        snprintf(path, kEditorPathSize, "%s", file.c_str());
        std::thread driver([&] {
            HWND editor = WaitForWindow("Tune File Metadata Editor", IDC_EDITOR_VERSION);
            if (editor != nullptr)
                script(editor);
            if (!WaitUntil([&] { return editor == nullptr || !IsWindow(editor); }, 10000)) {
                ADD_FAILURE() << "the editor was left open";
                CloseEveryDialog();
            }
        });
        INT_PTR result = RunMetadataEditor(owner_, path);
        driver.join();
        return result;
    }

    static Texts TextsOf(HWND editor)
    {
        return {ControlText(editor, IDC_EDITOR_VERSION), ControlText(editor, IDC_EDITOR_SUMMARY),
                ControlText(editor, IDC_EDITOR_DESCRIPTION)};
    }

    // Presses Save and picks `chosen` in the real save dialog by its name box; "" cancels
    // the save dialog instead, and waits until it is gone.
    static void SaveAs(HWND editor, const std::string& chosen)
    {
        PressButton(editor, IDOK);
        HWND dialog = WaitForWindow(kSaveTitle, 1148);
        if (dialog == nullptr)
            return;
        SendMessageA(GetDlgItem(dialog, 1148), WM_SETTEXT, 0, LPARAM(chosen.c_str()));
        PressButton(dialog, chosen.empty() ? IDCANCEL : IDOK);
        if (chosen.empty())
            WaitUntil([&] { return !IsWindow(dialog); });
    }

    // Answers a message box with this title and returns its text; "" when none came.
    static std::string Answer(const char* title, int button)
    {
        HWND box = WaitForWindow(title, IDYES == button || IDNO == button ? button : IDOK, 1148);
        if (box == nullptr)
            return "";
        std::string text = ControlText(box, 0xFFFF);
        PressButton(box, button);
        WaitUntil([&] { return !IsWindow(box); });
        return text;
    }

    HWND owner_ = nullptr;
    TempFolder folder_;
};

// A 64 KB file (quarter 3, which holds the record) shows its record's texts, an erased one
// as empty, and typing stops at each box's limit. Saving over it asks first: No keeps the
// editor, its texts and the file, and so does cancelling the save dialog. On a disk too
// small for the image, the write fails part-way and leaves the file whole, no other file
// beside it, and the editor open with the texts. Saved under a new name at last, it
// becomes the 256 KB image with the typed texts.
TEST_F(MetadataEditorTest, SavingOverTheFileAsksFirstAndAFailedWriteKeepsIt)
{
    const char* disk = getenv("T6_SMALL_DISK");
    Bytes file = Pattern(0x10000, 3);
    TuneMetadata old;
    memset(&old, 0xFF, sizeof old);
    StampMetadata(&old, "C:\\tunes\\old.bin", 0x10000, kBankOrderUnknown);
    snprintf(old.version, sizeof old.version, "OLD");
    snprintf(old.description, sizeof old.description, "kept");
    memcpy(&file[0x1C00], &old, sizeof old);
    const std::string tune = disk != nullptr ? std::string(disk) + "tune.bin" : folder_.File("tune.bin");
    const std::string saved = folder_.File("tune-v2.bin");
    char path[kEditorPathSize];
    Texts shown, typed;
    std::string replace, question, failure;
    INT_PTR result = Edit(tune, file, path, [&](HWND editor) {
        shown = TextsOf(editor);
        // Typed one character past each limit, and a line break in the description.
        const std::pair<int, std::string> keys[] = {{IDC_EDITOR_VERSION, "V2.0-street!"},
                                                    {IDC_EDITOR_SUMMARY, std::string(63, 's') + "!"},
                                                    {IDC_EDITOR_DESCRIPTION, std::string(509, 'd') + "\r!"}};
        for (const auto& key : keys) {
            SetDlgItemTextA(editor, key.first, "");
            for (char c : key.second)
                SendDlgItemMessageA(editor, key.first, WM_CHAR, WPARAM(c), 0);
        }
        typed = TextsOf(editor);
        SaveAs(editor, tune);
        replace = Answer(kSaveTitle, IDYES);
        question = Answer(kFormatQuestion, IDNO);
        SaveAs(editor, "");
        if (disk != nullptr) {
            SaveAs(editor, tune);
            Answer(kSaveTitle, IDYES);
            Answer(kFormatQuestion, IDYES);
            failure = Answer("Save Failed", IDOK);
        }
        SaveAs(editor, saved);
    });
    EXPECT_EQ(shown, (Texts{"OLD", "", "kept"}));
    const Texts limited = {"V2.0-street", std::string(63, 's'), std::string(509, 'd') + "\r\n"};
    EXPECT_EQ(typed, limited);
    EXPECT_NE(replace.find("already exists"), std::string::npos) << replace;
    EXPECT_EQ(question,
              "Your original tune file is in a different format. If you overwrite it, it may break compatibility "
              "with your tune software. Continue?");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(std::string(path), saved);
    Bytes image(kTuneImageSize, 0xFF);
    std::copy(file.begin(), file.end(), image.begin() + 0x30000);
    // The bank order a 64 KB file leaves is the editor's zeroed one.
    ExpectSaved(saved, image, 0x10000, 0, limited);
    EXPECT_TRUE(ReadBytes(tune) == file) << "the original changed";
    if (disk == nullptr)
        GTEST_SKIP() << "no small disk to fill (scripts/with-small-disk.sh could not mount one): no failed write";
    EXPECT_EQ(failure, "The file could not be written:\n" + tune);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk), std::filesystem::directory_iterator()), 1);
    DeleteFileA(tune.c_str());
}

// A whole 256 KB image is saved over without the format question; a file of a size the
// image cannot carry is never saved over, and the editor says why and stays open.
TEST_F(MetadataEditorTest, AWholeImageIsSavedOverWithoutTheQuestionAndAnUnknownSizeNever)
{
    const Bytes whole = Pattern(kTuneImageSize, 4), odd = Pattern(100 * 1024, 5);
    const std::string tune = folder_.File("whole.bin"), oddTune = folder_.File("odd.bin");
    char path[kEditorPathSize];
    bool asked = true;
    INT_PTR result = Edit(tune, whole, path, [&](HWND editor) {
        SetDlgItemTextA(editor, IDC_EDITOR_SUMMARY, "new summary");
        SaveAs(editor, tune);
        Answer(kSaveTitle, IDYES);
        WaitUntil([&] { return !IsWindow(editor) || FindWindowA(nullptr, kFormatQuestion) != nullptr; });
        asked = FindWindowA(nullptr, kFormatQuestion) != nullptr;
    });
    EXPECT_FALSE(asked);
    EXPECT_EQ(result, 1);
    ExpectSaved(tune, whole, kTuneImageSize, kBankOrderImage, {"", "new summary", ""});

    std::string told;
    result = Edit(oddTune, odd, path, [&](HWND editor) {
        SaveAs(editor, oddTune);
        Answer(kSaveTitle, IDYES);
        told = Answer("Cannot Overwrite", IDOK);
        PressButton(editor, IDCANCEL);
    });
    EXPECT_EQ(result, 0);
    EXPECT_NE(told.find("would lose its contents"), std::string::npos) << told;
    EXPECT_TRUE(ReadBytes(oddTune) == odd) << "the original changed";
}

// Loading alone, without a window: a missing file has nothing to lose when it is saved
// over; a file the image cannot carry would lose its bytes, and none of them is loaded.
TEST_F(MetadataEditorTest, LoadingTellsWhichFilesSavingOverWouldLose)
{
    for (bool there : {false, true}) {
        std::unique_ptr<EditorState> state(new EditorState());
        snprintf(state->path, sizeof state->path, "%s", folder_.File("tune.bin").c_str());
        if (there)
            WriteBytes(state->path, Pattern(300 * 1024, 6));
        EXPECT_EQ(LoadEditorFile(state.get()), 0);
        EXPECT_EQ(state->overwriteLosesFile, there);
        EXPECT_TRUE(Bytes(state->image.bytes, state->image.bytes + kTuneImageSize) == Bytes(kTuneImageSize, 0));
    }
}

} // namespace
