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
#include "tune/same_file.h"

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
// as empty, and typing stops at each box's limit. Saving over it asks first, however the
// row spells it: No keeps the editor, its texts and the file, and so does cancelling the
// save dialog. On a disk too
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

    // The save dialog gives the file's full long path; the row may hold any other spelling,
    // and a relative one names the file it did before the dialog moved the current folder.
    const std::string longNamed = folder_.File("long-named tune.bin");
    WriteBytes(longNamed, file);
    char shortName[MAX_PATH] = "", upper[MAX_PATH], cwd[MAX_PATH] = "";
    ASSERT_NE(GetShortPathNameA(longNamed.c_str(), shortName, sizeof shortName), 0u);
    snprintf(upper, sizeof upper, "%s", longNamed.c_str());
    CharUpperA(upper);
    const std::filesystem::path folder = std::filesystem::path(longNamed).parent_path();
    GetCurrentDirectoryA(sizeof cwd, cwd);
    SetCurrentDirectoryA(folder.parent_path().string().c_str());
    const std::string relative = ".\\" + folder.filename().string() + "\\long-named tune.bin";
    for (const std::string& spelled :
         {relative, folder_.File("sub/..\\long-named tune.bin"), std::string(shortName), std::string(upper)}) {
        std::string asked;
        Edit(spelled, file, path, [&](HWND editor) {
            SaveAs(editor, longNamed);
            Answer(kSaveTitle, IDYES);
            asked = Answer(kFormatQuestion, IDNO);
            PressButton(editor, IDCANCEL);
        });
        EXPECT_NE(asked, "") << spelled;
        EXPECT_EQ(std::string(path), spelled);
        char now[MAX_PATH] = "";
        GetCurrentDirectoryA(sizeof now, now);
        EXPECT_EQ(std::filesystem::path(now), folder.parent_path()) << "the current folder moved";
    }
    SetCurrentDirectoryA(cwd);
    EXPECT_TRUE(ReadBytes(longNamed) == file) << "the original changed";

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

// A whole 256 KB image is saved over without the format question. A file that is not a
// tune in a size the device holds (empty, of an unknown size), or cannot be read (a folder
// in its place), opens with empty boxes and is not saved under any name: the editor says
// why and stays open, and nothing is written.
TEST_F(MetadataEditorTest, AWholeImageIsSavedOverWithoutTheQuestionAndNoTuneIsSavedAtAll)
{
    const Bytes whole = Pattern(kTuneImageSize, 4);
    const std::string tune = folder_.File("whole.bin");
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

    const char kNoTune[] = "This file is not a tune file in a size the device can hold. Nothing was saved.";
    const struct {
        const char* name;
        Bytes bytes;
        const char* told;
    } refused[] = {{"empty.bin", {}, kNoTune},
                   {"odd.bin", Pattern(100 * 1024, 5), kNoTune},
                   {"folder", {}, "This file could not be read, so there is no tune to save. Nothing was saved."}};
    std::filesystem::create_directory(folder_.File("folder"));
    for (const auto& file : refused) {
        const std::string name = folder_.File(file.name);
        Texts shown;
        std::string told;
        bool stayed = false;
        result = Edit(name, file.bytes, path, [&](HWND editor) {
            shown = TextsOf(editor);
            SetDlgItemTextA(editor, IDC_EDITOR_SUMMARY, "typed");
            PressButton(editor, IDOK);
            told = Answer("Cannot Save", IDOK);
            stayed = IsWindow(editor) && FindWindowA(nullptr, kSaveTitle) == nullptr &&
                     ControlText(editor, IDC_EDITOR_SUMMARY) == "typed";
            PressButton(editor, IDCANCEL);
        });
        EXPECT_EQ(shown, (Texts{"", "", ""})) << file.name;
        EXPECT_EQ(told, file.told) << file.name;
        EXPECT_TRUE(stayed) << file.name;
        EXPECT_EQ(result, 0) << file.name;
        EXPECT_EQ(std::string(path), name);
        if (file.told == kNoTune) {
            EXPECT_TRUE(ReadBytes(name) == file.bytes) << file.name << " changed";
        }
    }
    EXPECT_EQ(folder_.EntryCount(), 4u);
}

// Loading alone, without a window: a missing file cannot be read, a file longer than any
// tune is no tune, and neither loads any bytes.
TEST_F(MetadataEditorTest, LoadingTellsWhichFilesAreTunes)
{
    for (bool there : {false, true}) {
        std::unique_ptr<EditorState> state(new EditorState());
        snprintf(state->path, sizeof state->path, "%s", folder_.File("tune.bin").c_str());
        if (there)
            WriteBytes(state->path, Pattern(300 * 1024, 6));
        EXPECT_EQ(LoadEditorFile(state.get()), 0);
        EXPECT_EQ(state->fileKind, there ? kEditorFileNotATune : kEditorFileNotRead);
        EXPECT_TRUE(Bytes(state->image.bytes, state->image.bytes + kTuneImageSize) == Bytes(kTuneImageSize, 0));
    }
}

// Two names of one file are one file, though no path says so; two files are two. Paths
// that are not there yet are compared as full paths, in any letter case.
TEST_F(MetadataEditorTest, SameFileByTheFilesOrTheirFullPaths)
{
    const std::string one = folder_.File("one.bin"), link = folder_.File("link.bin"), two = folder_.File("two.bin");
    WriteBytes(one, Bytes(1, 1));
    WriteBytes(two, Bytes(1, 1));
    ASSERT_TRUE(CreateHardLinkA(link.c_str(), one.c_str(), nullptr));
    EXPECT_TRUE(SameFile(link.c_str(), one.c_str()));
    EXPECT_FALSE(SameFile(one.c_str(), two.c_str()));
    const std::string absent = folder_.File("new.bin");
    EXPECT_TRUE(SameFile(absent.c_str(), folder_.File("sub\\..\\NEW.BIN").c_str()));
    EXPECT_FALSE(SameFile(absent.c_str(), folder_.File("new.bin.bak").c_str()));
    EXPECT_FALSE(SameFile(absent.c_str(), one.c_str()));
}

} // namespace
