// Demo material of our own making: sample tune files of the recognised sizes, a layout of
// them, a settings.dat that restores it, and the 4 MB memory of a simulated device with a
// few positions holding stamped images of those files. Built with tune/ and app/'s own
// code, so the demo never carries a second idea of the formats.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "tune/tune_image.h"

struct DemoTune {
    const char* fileName;
    uint32_t size;
    // The bank each 56 KB piece (or the shorter piece the size's form takes) holds, in
    // file order; the 256 KB and 64 KB forms hold banks 0, 1, 8, 9 and bank 9.
    int pieceBanks[4];
    BankOrder expectedOrder;  // what RecogniseTuneFile must report for the file
    int devicePosition;       // the position the demo device holds it in, -1 for none
    const char* version;
    const char* summary;
    const char* description;
};

// One entry a position, 0 to kDemoTuneCount - 1, in layout order.
extern const DemoTune kDemoTunes[];
extern const int kDemoTuneCount;
enum : uint32_t { kDemoDeviceSize = 16 * kTuneImageSize };

// Where the program will find the demo files: the folder in its own path form (for the
// program under Wine, "Z:\...\"), ending in its separator.
std::string DemoTunePath(const std::string& programFolder, const DemoTune& tune);
std::string DemoLayoutPath(const std::string& programFolder);

// The bytes of one tune file; a 256 KB file carries its own stamped record.
std::vector<uint8_t> BuildDemoTuneFile(const DemoTune& tune, const std::string& programFolder);
// Stamps the record inside a 256 KB image as an upload of the tune's file would, with the
// tune's texts.
void StampDemoRecord(const DemoTune& tune, const std::string& programFolder, BankOrder order, uint8_t* image);
// "" when the recogniser takes the file as the demo means it, else what went wrong.
std::string CheckDemoTuneFile(const DemoTune& tune, const std::vector<uint8_t>& bytes);

// The device memory: every position erased (0xFF) but the demo's, which hold the image
// of their file with a record stamped as an upload would stamp it.
std::vector<uint8_t> BuildDemoDeviceMemory(const std::string& programFolder);
// The record the demo device holds in a position (all 0xFF for an erased one).
TuneMetadata DemoDeviceRecord(const std::vector<uint8_t>& memory, int position);

void BuildDemoLayout(const std::string& programFolder, LayoutBlock* layout);
// settings.dat of the demo: the demo layout, its file as the current layout, and the
// software position selector shown.
void BuildDemoSettings(const std::string& programFolder, SettingsBlock* settings);

// Writes tunes/*.bin, demo.t6layout, settings.dat and device.bin into writeFolder (a
// path the caller can open, ending in its separator); programFolder is the same folder
// as the program will see it. "" on success, else the first failure.
std::string WriteDemoMaterial(const std::string& writeFolder, const std::string& programFolder);
extern const char kDemoDeviceFile[];  // "device.bin"
extern const char kDemoTuneFolder[];  // "tunes"
