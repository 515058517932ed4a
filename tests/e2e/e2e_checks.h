// What the end-to-end cases share: their time limits, what the window shows, and the
// checks a session ends with (the grid, settings.dat, a clean exit).
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "tests/e2e/e2e_setup.h"
#include "tests/e2e/program_run.h"
#include "tune/metadata.h"

// Discovery scans the prefix's ports and the query reads 16 records: a few seconds, more
// on a loaded machine. A job writes up to three positions in 256-byte frames.
enum : DWORD { kWindowMs = 20000, kQueryMs = 30000, kAnswerMs = 10000, kExitMs = 15000, kJobMs = 90000 };

// The title with no layout file: the hardware ("No Hardware" or the device's description),
// and "*" while the layout has unsaved changes.
std::string Title(const char* hardware, char modified);

// The grid's two columns of positions 0 to 7 as Copy gives them: the layout's files, and
// what the device holds (records null: nothing known of the device).
std::string GridText(const LayoutBlock& layout, const TuneMetadata* records);

std::vector<std::string> Paths(const LayoutBlock& layout);
std::vector<uint8_t> BytesOf(const SettingsBlock& settings);

// A file of exactly one block, read into it; false for any other size.
template <class Block>
bool ReadBlockFile(const std::string& path, Block* block)
{
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    if (bytes.size() != sizeof *block)
        return false;
    memcpy(block, bytes.data(), sizeof *block);
    return true;
}

// settings.dat as the program left it: whole, version 2, the given layout and option.
void ExpectSettingsFile(const std::string& folder, const std::string& layoutPath, const LayoutBlock& layout,
                        uint32_t allowSoftwarePosition);

// Closes the window of a modified layout, answers "Save Layout?" with the button (Yes:
// into savePath through the save dialog), and expects the program to end cleanly.
void CloseModified(ProgramRun& program, HWND main, int button, const std::string& savePath = "");
