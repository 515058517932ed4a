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

#include "resources/resource.h"
#include "tests/support/dialog_driver.h"
#include "tests/tune/temp_folder.h"
#include "tune/metadata.h"
#include "tune/metadata_editor.h"

namespace {

const char kEditorTitle[] = "Tune File Metadata Editor";
const char kSaveTitle[] = "Choose output file...";
const char kFormatQuestion[] = "Overwrite in new format?";

// A file of `size` bytes that no two places of it are alike in.
Bytes TuneBytes(uint32_t size)
{
    Bytes bytes(size);
    for (uint32_t i = 0; i < size; ++i)
        bytes[i] = uint8_t(i * 7 + i / 251);
    return bytes;
}

struct Texts {
    std::string version, summary, description;
};

// The record the editor writes: the image's bytes there, then the stamp and the texts, each
// text ended by a NUL with the rest of its field as it was.
TuneMetadata ExpectedRecord(const Bytes& image, const std::string& path, uint32_t size, BankOrder order,
                            const Texts& texts)
{
    TuneMetadata record;
    memcpy(&record, image.data() + kMetadataOffset, sizeof record);
    memcpy(record.magic, "6TVK", 4);
    record.originalSize = size;
    record.bankOrder = order;
    memset(record.originalPath, 0, sizeof record.originalPath);
    memcpy(record.originalPath, path.data(), path.size());
    memcpy(record.version, texts.version.c_str(), texts.version.size() + 1);
    memcpy(record.summary, texts.summary.c_str(), texts.summary.size() + 1);
    memcpy(record.description, texts.description.c_str(), texts.description.size() + 1);
    return record;
}

// The saved file is the expected image with the expected record, stamped with a time (how
// a stamp is made: the record tests).
void ExpectSavedImage(const std::string& path, Bytes image, const TuneMetadata& record)
{
    Bytes saved = ReadBytes(path);
    ASSERT_EQ(saved.size(), size_t(kTuneImageSize)) << path;
    TuneMetadata stored;
    memcpy(&stored, saved.data() + kMetadataOffset, sizeof stored);
    EXPECT_TRUE(UploadTimePresent(stored.uploadTime));
    TuneMetadata expected = record;
    expected.uploadTime = stored.uploadTime;
    memcpy(image.data() + kMetadataOffset, &expected, sizeof expected);
    EXPECT_TRUE(saved == image) << "the saved image differs";
}

// The image a 112 KB file makes: its two banks at 0x12000 and 0x22000 over 0xFF.
Bytes ImageOf112(const Bytes& file)
{
    Bytes image(kTuneImageSize, 0xFF);
    std::copy(file.begin(), file.begin() + 0xE000, image.begin() + 0x12000);
    std::copy(file.begin() + 0xE000, file.end(), image.begin() + 0x22000);
    return image;
}

class MetadataEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner_ = CreateWindowExA(0, "STATIC", "Editor test", WS_OVERLAPPEDWINDOW, 100, 100, 600, 400, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override { DestroyWindow(owner_); }

    // Runs the editor on path while `script` drives it from another thread with the
    // editor's window; whatever the script leaves open is closed. Returns the editor's
    // result; path then holds what the editor put there.
    INT_PTR Edit(char (&path)[kEditorPathSize], const std::function<void(HWND)>& script)
    {
        std::thread driver([&] {
            HWND editor = WaitForWindow(kEditorTitle, IDC_EDITOR_VERSION);
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

    // Writes the file and names it in the editor's path buffer.
    static std::string Place(char (&path)[kEditorPathSize], const std::string& file, const Bytes& bytes)
    {
        WriteBytes(file, bytes);
        snprintf(path, kEditorPathSize, "%s", file.c_str());
        return file;
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
        if (!chosen.empty()) {
            SendMessageA(GetDlgItem(dialog, 1148), WM_SETTEXT, 0, LPARAM(chosen.c_str()));
            PressButton(dialog, IDOK);
            return;
        }
        PressButton(dialog, IDCANCEL);
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

// Saving over the loaded 112 KB file asks first: No keeps the editor and the file, and
// cancelling the save dialog keeps the texts. Saved under a new name, it becomes the 256 KB
// image with its banks in place and a record of the new texts, cut by the edit limits as
// they are typed.
TEST_F(MetadataEditorTest, SavedUnderANewNameAsTheWholeImageAfterTheFormatQuestion)
{
    const Bytes file = TuneBytes(0x1C000);
    char path[kEditorPathSize];
    const std::string original = Place(path, folder_.File("street.bin"), file);
    const std::string saved = folder_.File("street-v2.bin");
    Texts shown, typed, afterCancel;
    std::string replace, question;
    bool openAfterNo = false;
    Bytes afterNo;
    INT_PTR result = Edit(path, [&](HWND editor) {
        shown = TextsOf(editor);
        // Typed one character past each limit, and a line break in the description.
        const std::pair<int, std::string> keys[] = {{IDC_EDITOR_VERSION, "V2.0-street"},
                                                    {IDC_EDITOR_SUMMARY, std::string(63, 's')},
                                                    {IDC_EDITOR_DESCRIPTION, std::string(509, 'd') + "\r"}};
        for (const auto& key : keys) {
            for (char c : key.second + "!")
                SendDlgItemMessageA(editor, key.first, WM_CHAR, WPARAM(c), 0);
        }
        typed = TextsOf(editor);
        SaveAs(editor, original);
        replace = Answer(kSaveTitle, IDYES);
        question = Answer(kFormatQuestion, IDNO);
        openAfterNo = IsWindow(editor) && IsWindowEnabled(editor);
        afterNo = ReadBytes(original);
        SaveAs(editor, "");
        afterCancel = TextsOf(editor);
        SaveAs(editor, saved);
    });
    EXPECT_NE(replace.find("already exists"), std::string::npos) << replace;
    EXPECT_EQ(question,
              "Your original tune file is in a different format. If you overwrite it, it may break compatibility "
              "with your tune software. Continue?");
    EXPECT_TRUE(openAfterNo);
    EXPECT_TRUE(afterNo == file) << "No changed the file";
    EXPECT_EQ(result, 1);
    EXPECT_EQ(std::string(path), saved);
    EXPECT_EQ(shown.version + shown.summary + shown.description, "") << "a file without a record";
    const Texts kept = {"V2.0-street", std::string(63, 's'), std::string(509, 'd') + "\r\n"};
    EXPECT_EQ(typed.version, kept.version);
    EXPECT_EQ(typed.summary, kept.summary);
    EXPECT_EQ(typed.description, kept.description);
    EXPECT_EQ(afterCancel.description, kept.description);
    Bytes image = ImageOf112(file);
    ExpectSavedImage(saved, image, ExpectedRecord(image, saved, 0x1C000, kBankOrderTwoBanks, kept));
    EXPECT_TRUE(ReadBytes(original) == file) << "the original changed";
}

// A whole 256 KB image shows its record's texts (one erased to 0xFF shows as empty) and is
// saved over without the format question.
TEST_F(MetadataEditorTest, AWholeImageIsSavedOverWithoutTheQuestion)
{
    Bytes file = TuneBytes(kTuneImageSize);
    TuneMetadata record;
    memset(&record, 0xFF, sizeof record);
    StampMetadata(&record, "C:\\tunes\\old.bin", 65536, 0xFFFFFFFF);
    snprintf(record.version, sizeof record.version, "OLD");
    snprintf(record.description, sizeof record.description, "kept");
    memcpy(file.data() + kMetadataOffset, &record, sizeof record);
    char path[kEditorPathSize];
    const std::string tune = Place(path, folder_.File("whole.bin"), file);
    Texts shown;
    bool asked = false;
    INT_PTR result = Edit(path, [&](HWND editor) {
        shown = TextsOf(editor);
        SetDlgItemTextA(editor, IDC_EDITOR_SUMMARY, "new summary");
        SaveAs(editor, tune);
        Answer(kSaveTitle, IDYES);
        WaitUntil([&] { return !IsWindow(editor) || FindWindowA(nullptr, kFormatQuestion) != nullptr; });
        asked = FindWindowA(nullptr, kFormatQuestion) != nullptr;
    });
    EXPECT_EQ(shown.version, "OLD");
    EXPECT_EQ(shown.summary, "");
    EXPECT_EQ(shown.description, "kept");
    EXPECT_FALSE(asked);
    EXPECT_EQ(result, 1);
    ExpectSavedImage(tune, file,
                     ExpectedRecord(file, tune, kTuneImageSize, kBankOrderImage, {"OLD", "new summary", "kept"}));
}

// A write that fails part-way for want of space leaves the original tune whole and no
// other file beside it; the editor says so and stays open with the texts.
TEST_F(MetadataEditorTest, AFailedWriteLeavesTheOriginalWhole)
{
    const char* disk = getenv("T6_SMALL_DISK");
    if (disk == nullptr)
        GTEST_SKIP() << "no small disk to fill (scripts/with-small-disk.sh could not mount one)";
    const Bytes file = TuneBytes(0x1C000);
    char path[kEditorPathSize];
    const std::string tune = Place(path, std::string(disk) + "tune.bin", file);
    std::string failure;
    Texts kept;
    INT_PTR result = Edit(path, [&](HWND editor) {
        SetDlgItemTextA(editor, IDC_EDITOR_SUMMARY, "lost?");
        SaveAs(editor, tune);
        Answer(kSaveTitle, IDYES);
        Answer(kFormatQuestion, IDYES);
        failure = Answer("Save Failed", IDOK);
        kept = TextsOf(editor);
        PressButton(editor, IDCANCEL);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(failure, "The file could not be written:\n" + tune);
    EXPECT_EQ(kept.summary, "lost?");
    EXPECT_EQ(std::string(path), tune);
    EXPECT_TRUE(ReadBytes(tune) == file) << "the original changed";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk), std::filesystem::directory_iterator()), 1);
    DeleteFileA(tune.c_str());
}

// A file whose bytes the image cannot carry is never saved over: the editor says why and
// stays open.
TEST_F(MetadataEditorTest, AFileOfUnknownSizeIsNotSavedOver)
{
    const Bytes file = TuneBytes(100 * 1024);
    char path[kEditorPathSize];
    const std::string tune = Place(path, folder_.File("odd.bin"), file);
    std::string told;
    INT_PTR result = Edit(path, [&](HWND editor) {
        SaveAs(editor, tune);
        Answer(kSaveTitle, IDYES);
        told = Answer("Cannot Overwrite", IDOK);
        PressButton(editor, IDCANCEL);
    });
    EXPECT_EQ(result, 0);
    EXPECT_NE(told.find("would lose its contents"), std::string::npos) << told;
    EXPECT_TRUE(ReadBytes(tune) == file) << "the original changed";
}

// Loading alone, without a window: what each kind of file leaves in the state (none of
// them has a record). A 56 KB file keeps the zeroed bank order, so its record will show
// "0 " four times; a file the image cannot carry leaves the image zero.
TEST_F(MetadataEditorTest, LoadingEveryKindOfFile)
{
    const struct {
        const char* name;
        int64_t size;  // -1: no file; -2: 100 bytes held open without sharing
        uint32_t fileSize;
        bool losesFile;
        BankOrder order;
    } cases[] = {
        {"missing", -1, 0, false, 0},
        {"empty", 0, 0, false, 0},
        {"locked", -2, 0, true, 0},
        {"oversized", 300 * 1024, 300 * 1024, true, 0},
        {"unknown", 100 * 1024, 100 * 1024, true, 0},
        {"56 KB", 57344, 57344, false, 0},
        {"224 KB", 0x38000, 0x38000, false, 0x01010101},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<EditorState> state(new EditorState());
        if (c.size != -1)
            Place(state->path, folder_.File(c.name), TuneBytes(uint32_t(c.size < 0 ? 100 : c.size)));
        else
            snprintf(state->path, sizeof state->path, "%s", folder_.File(c.name).c_str());
        HANDLE lock = c.size == -2 ? CreateFileA(state->path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                   : INVALID_HANDLE_VALUE;
        EXPECT_EQ(LoadEditorFile(state.get()), 0);
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        EXPECT_EQ(state->fileSize, c.fileSize);
        EXPECT_EQ(state->overwriteLosesFile, c.losesFile);
        EXPECT_EQ(state->bankOrder, c.order);
        if (c.losesFile || c.size <= 0) {
            EXPECT_TRUE(Bytes(state->image.bytes, state->image.bytes + kTuneImageSize) == Bytes(kTuneImageSize, 0));
        }
    }
}

} // namespace
