#include "tests/e2e/e2e_checks.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/e2e/window_driver.h"

const char kReady[] = "Hardware ready.\r\nOrrery Programmer v1.5.Z";

std::string TestName()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    for (char& c : name)
        if (c == '/')
            c = '-';
    return name;
}

std::string Shortened(const char* path, size_t pathSize)
{
    char text[kShortPathLength + 1];
    ShortenPathForDisplay(path, pathSize, text, sizeof text);
    return text;
}

std::string GridText(const LayoutBlock& layout, const TuneMetadata* records, int rows)
{
    std::string text;
    for (int p = 0; p < rows; ++p) {
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

HWND StartProgramWithDevice(const std::string& folder, const std::vector<std::string>& simOptions, SimSession& sim,
                            ProgramRun& program)
{
    if (!sim.Start(folder + "sim\\", kSimCom, simOptions)) {
        ADD_FAILURE() << "the simulator did not start: " << sim.Output();
        return nullptr;
    }
    if (!program.Start(folder)) {
        ADD_FAILURE() << "the program did not start";
        return nullptr;
    }
    HWND main = program.WaitForMainWindow(kWindowMs);
    if (main == nullptr)
        ADD_FAILURE() << "no main window";
    return main;
}

void CloseAndExpectExit(ProgramRun& program, HWND main)
{
    PostCommand(main, IDCANCEL);
    DWORD code = 1;
    ASSERT_TRUE(program.WaitForExit(kExitMs, &code)) << "the program did not end after Close";
    EXPECT_EQ(code, 0u);
}

std::string FirstDifference(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected)
{
    if (actual.size() != expected.size())
        return std::to_string(actual.size()) + " bytes instead of " + std::to_string(expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] != expected[i]) {
            char text[80];
            snprintf(text, sizeof text, "at 0x%zX: 0x%02X instead of 0x%02X", i, actual[i], expected[i]);
            return text;
        }
    }
    return "";
}
