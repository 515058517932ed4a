// Arbitrary bytes as a layout file and as settings.dat: whatever they hold, the readers end
// every path inside its field, a refused layout leaves the block as it was, and what was
// read is written back byte for byte.
#include <cstring>

#include "app/layout_commands.h"
#include "app/layout_file.h"
#include "app/settings_file.h"
#include "fuzz/fuzz_support.h"

static bool PathEnds(const char* field)
{
    return memchr(field, '\0', kPathFieldSize) != nullptr;
}

static void CheckCell(void*, int row, const char* text)
{
    FUZZ_CHECK(row >= 1 && row <= kPositionCount);
    FUZZ_CHECK(strlen(text) <= kShortPathLength);
}

static void Extend(void*)
{
    g_app.positionCount = 16;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ScratchFile input("input");
    static ScratchFile copy("copy");
    static const LayoutUi ui = {nullptr, nullptr, nullptr, nullptr, nullptr, CheckCell,
                                Extend, nullptr, nullptr, nullptr, nullptr, nullptr};
    SetLayoutUi(&ui);
    if (!WriteScratch(input.path, data, size))
        return 0;

    LayoutBlock layout;
    memset(&layout, 0x3C, sizeof layout);
    LayoutReadResult read = ReadLayoutFile(input.path.c_str(), &layout);
    if (read == kLayoutRead) {
        FUZZ_CHECK(size >= sizeof layout && layout.layoutVersion <= 1);
        for (const PositionEntry& entry : layout.positionPaths)
            FUZZ_CHECK(PathEnds(entry.path));
        g_app.positionCount = 8;
        DisplayLayout(&layout);
        FUZZ_CHECK(WriteLayoutFile(copy.path.c_str(), &layout) == 1);
        LayoutBlock again;
        FUZZ_CHECK(ReadLayoutFile(copy.path.c_str(), &again) == kLayoutRead);
        FUZZ_CHECK(memcmp(&again, &layout, sizeof layout) == 0);
    } else {
        for (size_t i = 0; i < sizeof layout; ++i)
            FUZZ_CHECK(reinterpret_cast<const uint8_t*>(&layout)[i] == 0x3C);
    }

    SettingsBlock settings;
    FUZZ_CHECK(ReadSettingsFile(input.path.c_str(), &settings) == 1);
    if (settings.settingsVersion != kSettingsVersion) {
        const SettingsBlock zero = {};
        FUZZ_CHECK(memcmp(&settings, &zero, sizeof zero) == 0);
    }
    FUZZ_CHECK(PathEnds(settings.layoutPath));
    for (const PositionEntry& entry : settings.layout.positionPaths)
        FUZZ_CHECK(PathEnds(entry.path));
    return 0;
}
