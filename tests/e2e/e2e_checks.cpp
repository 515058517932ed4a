#include "tests/e2e/e2e_checks.h"

#include <gtest/gtest.h>

#include "tests/e2e/window_driver.h"

std::string Title(const char* hardware, char modified)
{
    return kMainTitleStart + std::string(hardware) + " - " + modified;
}

static std::string Shortened(const char* path, size_t pathSize)
{
    char text[kShortPathLength + 1];
    ShortenPathForDisplay(path, pathSize, text, sizeof text);
    return text;
}

std::string GridText(const LayoutBlock& layout, const TuneMetadata* records)
{
    std::string text;
    for (int p = 0; p < 8; ++p) {
        const PositionEntry& entry = layout.positionPaths[p];
        text += Shortened(entry.path, sizeof entry.path) + "\t";
        if (records != nullptr && HasMetadataMagic(records[p]))
            text += Shortened(records[p].originalPath, sizeof records[p].originalPath);
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> Paths(const LayoutBlock& layout)
{
    std::vector<std::string> paths;
    for (const PositionEntry& entry : layout.positionPaths)
        paths.push_back(std::string(entry.path, strnlen(entry.path, sizeof entry.path)));
    return paths;
}

std::vector<uint8_t> BytesOf(const SettingsBlock& settings)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&settings);
    return std::vector<uint8_t>(p, p + sizeof settings);
}

void ExpectSettingsFile(const std::string& folder, const std::string& layoutPath, const LayoutBlock& layout,
                        uint32_t allowSoftwarePosition)
{
    SettingsBlock written;
    ASSERT_TRUE(ReadBlockFile(folder + "settings.dat", &written));
    EXPECT_EQ(written.settingsVersion, kSettingsVersion);
    EXPECT_EQ(std::string(written.layoutPath, strnlen(written.layoutPath, kPathFieldSize)), layoutPath);
    EXPECT_EQ(Paths(written.layout), Paths(layout));
    EXPECT_EQ(written.allowSoftwarePositionSelection, allowSoftwarePosition);
}

void CloseModified(ProgramRun& program, HWND main, int button, const std::string& savePath)
{
    PostCommand(main, IDCANCEL);
    EXPECT_EQ(AnswerMessageBox(program.processId(), "Save Layout?", button, kAnswerMs), "Layout Modified, Save?");
    if (!savePath.empty()) {
        EXPECT_TRUE(AnswerFileDialog(program.processId(), "Select File...", savePath.c_str(), kAnswerMs));
    }
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(kExitMs, &code)) << "the program did not end after Close";
    EXPECT_EQ(code, 0u);
}
