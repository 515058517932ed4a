// What the end-to-end cases share: their time limits, what the window shows once the
// device is found, and the checks a session ends with (the grid, the files the program
// left, the device's memory).
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "tests/e2e/e2e_setup.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sim_session.h"
#include "tune/metadata.h"

// Discovery scans the prefix's ports and the query reads 16 records: a few seconds, more
// on a loaded machine. A read the device never answers costs its 6 s time-out on top.
// A job writes up to three positions in 256-byte frames.
enum : DWORD { kWindowMs = 20000, kQueryMs = 30000, kAnswerMs = 10000, kExitMs = 15000, kJobMs = 90000 };
enum { kSimCom = 7 };

extern const char kReady[];  // the status box once the device is found

// "Suite-Case" of the running case, for its folder.
std::string TestName();

std::string Shortened(const char* path, size_t pathSize);
// The grid's two columns as Copy gives them: the layout's files, and what the device holds
// (records null: nothing known of the device).
std::string GridText(const LayoutBlock& layout, const TuneMetadata* records, int rows);

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

// Starts the simulator serving COM7 with these options (its session in folder's "sim"),
// then the program in folder; the program's main window, or null when either did not come
// (the failure is recorded).
HWND StartProgramWithDevice(const std::string& folder, const std::vector<std::string>& simOptions, SimSession& sim,
                            ProgramRun& program);

void CloseAndExpectExit(ProgramRun& program, HWND main);

// "" when the two are the same bytes, else where they first differ.
std::string FirstDifference(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected);
