// Writes the seed corpora of the fuzz targets into <folder>/tune_file, <folder>/layout_settings
// and <folder>/info_text: small valid and nearly valid inputs of every sort.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "tune/metadata.h"

typedef std::vector<uint8_t> Bytes;

static void Save(const std::string& folder, const std::string& name, const Bytes& bytes)
{
    mkdir(folder.c_str(), 0755);
    std::string path = folder + "/" + name;
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        return;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

template <typename T>
static Bytes BytesOf(const T& block)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&block);
    return Bytes(p, p + sizeof block);
}

static TuneMetadata Record(uint32_t size, BankOrder order)
{
    TuneMetadata record;
    memset(&record, 0xFF, sizeof record);
    StampMetadata(&record, "C:\\Users\\tuner\\Documents\\tunes\\street calibration.bin", size, order);
    strcpy(record.version, "1.0.3");
    strcpy(record.summary, "Street tune");
    strcpy(record.description, "Richer at full load.\r\nTiming +2 above 4000 rpm.");
    return record;
}

// The start of a bank body of the given kind, 64 bytes long.
static Bytes Part(int bank)
{
    Bytes part(64, 0x20);
    const uint8_t start[4] = {0xFF, 0xFA, 0x27, 0xFE};
    switch (bank) {
    case -1: part[0] = part[1] = 0xFF; break;
    case 0:
    case 9:
        memcpy(part.data(), start, 4);
        if (bank == 9)
            memcpy(part.data() + 20, "Copyright Ford", 14);
        break;
    case 8: part[0] = 0xFF; part[1] = 0xFA; break;
    default: part[0] = 0x01; break;
    }
    return part;
}

static void TuneSeeds(const std::string& folder)
{
    const int orders[][4] = {{0, 1, 8, 9}, {9, 8, 1, 0}, {8, 1, -1, -1}, {0, -1, 8, 9}, {1, 1, 1, 1}};
    for (int form = 0; form < 10; ++form) {
        for (size_t o = 0; o < sizeof orders / sizeof orders[0]; ++o) {
            Bytes input = {uint8_t(form)};
            for (int bank : orders[o]) {
                Bytes part = Part(bank);
                input.insert(input.end(), part.begin(), part.end());
            }
            Save(folder, "form" + std::to_string(form) + "-" + std::to_string(o), input);
        }
    }
    for (uint8_t selector : {uint8_t(0x13), uint8_t(0x18), uint8_t(0x38)}) {
        Bytes input = {selector};
        Bytes record = BytesOf(Record(selector == 0x13 ? 65536 : kTuneImageSize, kBankOrderImage));
        input.insert(input.end(), record.begin(), record.end());
        Save(folder, "record" + std::to_string(selector), input);
    }
}

static void LayoutSeeds(const std::string& folder)
{
    SettingsBlock settings = {};
    settings.settingsVersion = kSettingsVersion;
    strcpy(settings.layoutPath, "C:\\layouts\\street.t6layout");
    settings.layout.layoutVersion = kLayoutVersion;
    strcpy(settings.layout.positionPaths[0].path, "C:\\tunes\\a.bin");
    memset(settings.layout.positionPaths[9].path, 'x', 200);
    settings.allowSoftwarePositionSelection = 1;
    Save(folder, "settings", BytesOf(settings));
    Bytes layout = BytesOf(settings.layout);
    Save(folder, "layout", layout);
    layout[0] = 2;
    Save(folder, "layout-newer", layout);
    layout.resize(100);
    Save(folder, "layout-short", layout);
    Save(folder, "empty", Bytes());
}

static void InfoSeeds(const std::string& folder)
{
    Bytes stamped = BytesOf(Record(114688, kBankOrderTwoBanks));
    Save(folder, "stamped", stamped);
    stamped.push_back(15);
    Save(folder, "stamped-row16", stamped);
    TuneMetadata odd = Record(229376, 0x0908FE00);
    odd.uploadTime = {0xFFFFFFFF, 0xFFFFFFFF};
    odd.version[0] = char(0xFF);
    odd.summary[0] = '\0';
    Save(folder, "missing-texts", BytesOf(odd));
    Bytes full(sizeof(TuneMetadata), 'A');
    memcpy(full.data(), "6TVK", 4);
    Save(folder, "no-nul", full);
    Save(folder, "erased", Bytes(sizeof(TuneMetadata), 0xFF));
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: make_seeds <folder>\n");
        return 2;
    }
    std::string root = argv[1];
    mkdir(root.c_str(), 0755);
    TuneSeeds(root + "/tune_file");
    LayoutSeeds(root + "/layout_settings");
    InfoSeeds(root + "/info_text");
    return 0;
}
